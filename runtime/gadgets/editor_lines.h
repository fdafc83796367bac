// The lines of an editor's text, its items: every "\r" counts as a line break of
// its own (so "\r\n" makes an empty line between), and the empty text has no
// lines. Lines are joined with "\n" (the editor writing its lines back, the
// file paths of a drop).
#pragma once

#include <vector>

#include "platform/toolkit.h"

namespace zeb {

std::vector<platform::ToolkitString> EditorLines(const platform::ToolkitString& text);
platform::ToolkitString JoinLines(const std::vector<platform::ToolkitString>& lines);

}  // namespace zeb
