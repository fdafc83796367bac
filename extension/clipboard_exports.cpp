// ClipboardGetText and ClipboardSetText: the clipboard's plain text.
#include "extension/exports.h"
#include "extension/host_strings.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/files/clipboard.h"

ZEB_EXPORT const char* ClipboardGetText() {
  zeb::HostCall call;
  const int64_t start = zeb::TempBufferPosition();
  zeb::GetClipboardText(start);
  zeb::StringVariable text;
  text.Take(start);
  return call.Text(text.get());
}

ZEB_EXPORT double ClipboardSetText(const char* text) {
  zeb::HostCall call;
  const zeb::StringVariable decoded = zeb::DecodeHostString(text, zeb::BadText::kReplace);
  zeb::SetClipboardText(decoded.get());
  return call.Number(0);
}
