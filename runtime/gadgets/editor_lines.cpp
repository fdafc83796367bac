#include "runtime/gadgets/editor_lines.h"

namespace zeb {

std::vector<platform::ToolkitString> EditorLines(const platform::ToolkitString& text) {
  std::vector<platform::ToolkitString> lines;
  if (text.empty()) return lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == u'\n' || text[i] == u'\r') {
      lines.emplace_back(text, start, i - start);
      start = i + 1;
    }
  }
  return lines;
}

platform::ToolkitString JoinLines(const std::vector<platform::ToolkitString>& lines) {
  platform::ToolkitString text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += u'\n';
    text += lines[i];
  }
  return text;
}

}  // namespace zeb
