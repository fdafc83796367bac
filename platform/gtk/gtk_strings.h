// Toolkit strings (UTF-16) to and from the UTF-8 text that GTK takes. A lone
// surrogate becomes U+FFFD; invalid UTF-8 from GTK is cut at the fault.
#pragma once

#include <string>

#include "platform/toolkit.h"

namespace zeb::platform {

std::string ToUTF8(const ToolkitString& text);
ToolkitString FromUTF8(const char* text);

// Offsets in code points (GTK's) and in 16-bit units (the contract's).
long UnitsToCharacters(const ToolkitString& text, int64_t units);
int64_t CharactersToUnits(const ToolkitString& text, long characters);

}  // namespace zeb::platform
