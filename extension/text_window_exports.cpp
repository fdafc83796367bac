// GetText: the modal text window with a multi-line editor and a confirm button.
#include <algorithm>
#include <cstdint>

#include "extension/exports.h"
#include "extension/host_strings.h"
#include "runtime/core/string_functions.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/events/application.h"
#include "runtime/gadgets/text_window.h"
#include "runtime/requesters/scripted_dialogs.h"

namespace {

// Field `index` of the size text ("width,height") as an integer; a missing field is 0.
int32_t SizeField(const zeb::Unit* size, int32_t index) {
  const int64_t start = zeb::TempBufferPosition();
  zeb::ExtractField(size, index, u",", start);
  const int64_t value = zeb::StringToInteger(zeb::TempStringAddress(start));
  zeb::SetTempBufferPosition(start);
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

ZEB_EXPORT const char* GetText(const char* size, const char* title, const char* text, const char* buttonText) {
  zeb::HostCall call;
  // From another thread the window cannot be made.
  if (!zeb::OnApplicationThread()) return call.Text(u"");
  zeb::ScriptedDialog scripted("GetText", {{"size", zeb::JsonString(size)},
                                           {"title", zeb::JsonString(title)},
                                           {"text", zeb::JsonString(text)},
                                           {"button", zeb::JsonString(buttonText)}});
  const zeb::StringVariable decodedSize = zeb::DecodeHostString(size);
  const zeb::StringVariable decodedTitle = zeb::DecodeHostString(title);
  const zeb::StringVariable decodedText = zeb::DecodeHostString(text);
  const zeb::StringVariable decodedButton = zeb::DecodeHostString(buttonText);
  const int32_t width = SizeField(decodedSize.get(), 1);
  const int32_t height = SizeField(decodedSize.get(), 2);
  const int64_t start = zeb::TempBufferPosition();
  zeb::TextWindow(width, height, decodedTitle.get(), decodedText.get(), decodedButton.get(), start);
  return scripted.Answered(call.Text(zeb::TempStringAddress(start)));
}
