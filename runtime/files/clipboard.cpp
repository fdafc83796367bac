#include "runtime/files/clipboard.h"

#include "platform/toolkit.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/core/toolkit_strings.h"

namespace zeb {

void GetClipboardText(int64_t start) {
  const std::optional<platform::ToolkitString> text = platform::CurrentToolkit().pasteboard().Text();
  if (!text) {
    EmptyTempResult(start);
    return;
  }
  ToolkitStringToTempString(&*text, start);
}

int SetClipboardText(const Unit* text) {
  platform::CurrentToolkit().pasteboard().SetText(StringToToolkitString(text));
  return 1;
}

}  // namespace zeb
