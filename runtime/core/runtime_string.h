// The runtime string: a zero-terminated array of 16-bit UTF-16 code units in host
// byte order, with no stored length. Code points above U+FFFF are surrogate pairs.
#pragma once

#include <cstdint>

namespace zeb {

using Unit = char16_t;

// Text formats for ReadMemoryString, WriteMemoryString and EncodedLength.
inline constexpr int TextFormatUTF8 = 2;
inline constexpr int TextFormatAscii = 24;
inline constexpr int TextFormatUnicode = 25;
inline constexpr int TextNoTerminator = 256;

// Code pages for MultiByteToUnicode and UnicodeToMultiByte; any other value
// converts nothing.
inline constexpr int CodePageUTF8 = 65001;
inline constexpr int CodePage8Bit = 0;

}  // namespace zeb
