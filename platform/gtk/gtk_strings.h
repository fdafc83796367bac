// Toolkit strings (UTF-16) to and from the UTF-8 text that GTK and other X
// programs use. A lone surrogate, and a byte that starts no valid UTF-8 sequence,
// become U+FFFD.
#pragma once

#include <string>
#include <string_view>

#include "platform/toolkit.h"

namespace zeb::platform {

std::string ToUTF8(const ToolkitString& text);
ToolkitString FromUTF8(std::string_view text);
// Null reads as the empty text.
ToolkitString FromUTF8(const char* text);

// A file name's bytes as toolkit text and back, as the runtime carries names: a
// byte that starts no valid UTF-8 sequence is the unit 0xDC00 + byte, which
// becomes that byte again.
ToolkitString FromFileName(std::string_view bytes);
std::string ToFileName(const ToolkitString& text);

// Offsets in code points (GTK's) and in 16-bit units (the contract's).
long UnitsToCharacters(const ToolkitString& text, int64_t units);
int64_t CharactersToUnits(const ToolkitString& text, long characters);

}  // namespace zeb::platform
