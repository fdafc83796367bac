// The conversion calls beside the UTF-8 rules: terminated text, null sources and
// negative sizes, and the code pages that convert nothing. (The one-byte code page's
// bytes and units are MemoryStrings' text formats.)
#include "runtime/core/text_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace zeb {
namespace {

constexpr Unit kGuardUnit = 0xBEEF;
constexpr char kGuardByte = '\x5A';

// Writing mode into a destination of `room` units followed by guards, which must
// stay untouched; the units the call answers it wrote.
std::u16string Decode(const std::string& bytes, int64_t room, int codePage) {
  std::u16string destination(static_cast<size_t>(std::max<int64_t>(room, 0)) + 8, kGuardUnit);
  const int64_t result =
      MultiByteToUnicode(codePage, 0, bytes.data(), static_cast<int64_t>(bytes.size()), destination.data(), room);
  EXPECT_EQ(destination.substr(destination.size() - 8), std::u16string(8, kGuardUnit));
  return destination.substr(0, static_cast<size_t>(result));
}

std::string Encode(const std::u16string& units, int64_t size, int codePage) {
  std::string destination(static_cast<size_t>(std::max<int64_t>(size, 0)) + 8, kGuardByte);
  const int64_t result =
      UnicodeToMultiByte(codePage, 0, units.data(), static_cast<int64_t>(units.size()), destination.data(), size);
  EXPECT_EQ(destination.substr(destination.size() - 8), std::string(8, kGuardByte));
  return destination.substr(0, static_cast<size_t>(result));
}

TEST(Conversions, TerminatedTextNullSourcesNegativeSizesAndOtherCodePages) {
  Unit destination[4] = {1, 1, 1, 1};
  EXPECT_EQ(MultiByteToUnicode(CodePageUTF8, 0, "h\xC3\xA9", -1, nullptr, 0), 3);
  EXPECT_EQ(MultiByteToUnicode(CodePageUTF8, 0, "h\xC3\xA9", -1, destination, 4), 3);
  EXPECT_EQ(std::u16string(destination, 3), std::u16string(u"h\u00E9\0", 3));
  EXPECT_EQ(MultiByteToUnicode(CodePageUTF8, 0, "", -1, nullptr, 0), 1);
  // With length -1 the terminator follows a trailing high surrogate: a broken pair.
  char buffer[16];
  EXPECT_EQ(UnicodeToMultiByte(CodePageUTF8, 0, u"x\xD83D", -1, nullptr, 0), 1);
  EXPECT_EQ(UnicodeToMultiByte(CodePageUTF8, 0, u"x\xD83D", -1, buffer, 16), 0);
  EXPECT_EQ(UnicodeToMultiByte(CodePageUTF8, 0, u"h\u00E9", -1, buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), std::string("h\xC3\xA9\0", 4));
  EXPECT_EQ(UnicodeToMultiByte(CodePage8Bit, 0, u"\u20ACx", -1, nullptr, 0), 2);
  EXPECT_EQ(MultiByteToUnicode(CodePage8Bit, 0, "ab", -1, nullptr, 0), 3);
  // A null source, or a length below -1, is an empty range; a size below 0 takes nothing.
  destination[0] = 1;
  char bytes[8] = {1};
  for (int codePage : {CodePageUTF8, CodePage8Bit}) {
    SCOPED_TRACE(codePage);
    EXPECT_EQ(MultiByteToUnicode(codePage, 0, nullptr, 5, nullptr, 0), 0);
    EXPECT_EQ(MultiByteToUnicode(codePage, 0, nullptr, -1, destination, 4), 0);
    EXPECT_EQ(MultiByteToUnicode(codePage, 0, "abc", -2, destination, 4), 0);
    EXPECT_EQ(UnicodeToMultiByte(codePage, 0, nullptr, -1, nullptr, 0), 0);
    EXPECT_EQ(UnicodeToMultiByte(codePage, 0, nullptr, 3, bytes, 8), 0);
    EXPECT_EQ(UnicodeToMultiByte(codePage, 0, u"abc", -2, bytes, 8), 0);
    EXPECT_EQ(Decode("abc", -4, codePage), u"");
    EXPECT_EQ(Encode(u"abc", -3, codePage), "");
    // A destination shorter than the text takes what fits.
    EXPECT_EQ(Decode("abc", 2, codePage), u"ab");
    EXPECT_EQ(Encode(u"abc", 2, codePage), "ab");
  }
  EXPECT_EQ(destination[0], 1);
  EXPECT_EQ(bytes[0], 1);
  // Other code pages convert nothing.
  EXPECT_EQ(Decode("abc", 4, 1252), u"");
  EXPECT_EQ(Encode(u"abc", 4, 1252), "");
}

}  // namespace
}  // namespace zeb
