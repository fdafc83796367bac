// Text read from and written to memory, and the UTF-8 C strings of the runtime.
#include "runtime/core/memory_strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "tests/core/unit_text.h"

namespace zeb {
namespace {

using MemoryStrings = StringBufferTest;

TEST_F(MemoryStrings, ReadMemoryStringInEveryFormat) {
  const std::u16string units = u"wide\u20AC";
  const std::string wide(reinterpret_cast<const char*>(units.c_str()), (units.size() + 1) * 2);
  const std::tuple<std::string, int64_t, int, std::u16string> cases[] = {
      {"abc", -5, TextFormatUTF8, u""},
      {"caf\xE9\x80\xFF", -1, TextFormatAscii, u"caf\u00E9\u0080\u00FF"},
      {wide, -1, TextFormatUnicode, units},
      {wide, 2, TextFormatUnicode, u"wi"},
  };
  for (const auto& [bytes, length, format, expected] : cases) {
    SCOPED_TRACE(::testing::Message() << ::testing::PrintToString(bytes) << " length " << length);
    const int64_t start = TempBufferPosition();
    ReadMemoryString(bytes.c_str(), length, format, start);
    EXPECT_EQ(TempText(start), expected);
  }
  const int64_t start = TempBufferPosition();
  ReadMemoryString(nullptr, 10, TextFormatUnicode, start);
  ReadMemoryString(nullptr, 10, TextFormatUTF8, start);
  EXPECT_EQ(TempBufferPosition(), start);
}

TEST_F(MemoryStrings, UTF8ToTempStringDecodesTheTerminatorToo) {
  auto fromUTF8 = [](const char* text) {
    const int64_t start = TempBufferPosition();
    UTF8ToTempString(text, start);
    return Text(TempStringAddress(start));
  };
  EXPECT_EQ(fromUTF8("\x61\xE2\x82"), (std::u16string{0x61, 0x82}));
  EXPECT_EQ(fromUTF8("\x80" "abc"), u"");
  EXPECT_EQ(fromUTF8(nullptr), u"");
  // Results nest one after another.
  const int64_t first = TempBufferPosition();
  fromUTF8("one");
  fromUTF8("tw\xC3\xB6");
  EXPECT_EQ(Text(TempStringAddress(first)), u"onetw\u00F6");
}

TEST_F(MemoryStrings, WriteMemoryStringInEveryFormat) {
  // What is written into a block that held 'x', and the two bytes after it; the
  // count returned is the bytes written, and EncodedLength's answer for the whole
  // text. A broken pair gives nothing.
  const std::tuple<const Unit*, int64_t, int, std::string> kCases[] = {
      {u"x\xD83D" u"a", -1, TextFormatUTF8, std::string("\0x", 2)},
      {u"ab\xD83D", -1, TextFormatUTF8, std::string("ab\0x", 4)},
      {u"1\u20AC2", 100, TextFormatAscii, std::string("12\0x", 4)},  // units above 0xFF are skipped
      {u"\u00E9", -1, TextFormatAscii, std::string("\xE9\0x", 3)},
      {u"ab", -1, TextFormatUTF8 | TextNoTerminator, "abxx"},
      {nullptr, -1, TextFormatUTF8, std::string("\0x", 2)},
      {u"wi", -1, TextFormatUnicode, std::string("w\0i\0\0\0", 6)},
  };
  for (const auto& [units, length, flags, expected] : kCases) {
    SCOPED_TRACE(::testing::PrintToString(expected));
    char bytes[32];
    std::memset(bytes, 'x', sizeof bytes);
    const int64_t count = WriteMemoryString(bytes, units, length, flags);
    ASSERT_TRUE(count >= 0 && count < 30);
    EXPECT_EQ(std::string(bytes, static_cast<size_t>(count) + 2), expected);
    if (length == -1) {
      EXPECT_EQ(EncodedLength(units, flags & ~TextNoTerminator), count);
    }
  }
}

TEST_F(MemoryStrings, StringToUTF8GivesNothingForABrokenPair) {
  // A high surrogate at the end is broken too: the C string's terminator follows it.
  const std::pair<const Unit*, std::string> kCases[] = {
      {u"\U0001F600", "\xF0\x9F\x98\x80"}, {u"ab\xD83D", ""}, {nullptr, ""}};
  for (const auto& [units, utf8] : kCases) {
    char* text = StringToUTF8(units);
    EXPECT_EQ(text, utf8);
    FreeUTF8(text);
  }
}

}  // namespace
}  // namespace zeb
