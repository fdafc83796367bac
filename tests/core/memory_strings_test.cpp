// Text read from and written to memory, and the UTF-8 C strings of the runtime.
#include "runtime/core/memory_strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/core/unit_text.h"

namespace zeb {
namespace {

using MemoryStrings = StringBufferTest;

std::string ToUTF8(const Unit* s) {
  char* text = StringToUTF8(s);
  std::string copy(text);
  FreeUTF8(text);
  return copy;
}

TEST_F(MemoryStrings, ReadMemoryStringInEveryFormat) {
  const std::u16string units = u"wide\u20AC";
  const std::string wide(reinterpret_cast<const char*>(units.c_str()), (units.size() + 1) * 2);
  struct Case {
    std::string bytes;
    int64_t length;
    int format;
    std::u16string expected;
  };
  const Case cases[] = {
      {"\xF0\x9F\x98\x80", -1, TextFormatUTF8, u"\U0001F600"},
      {"\x61\x80\x62", -1, TextFormatUTF8, u"a"},  // malformed text stops
      {"\x61\xE2\x82", -1, TextFormatUTF8, u"a"},  // the terminator is not read
      {"h\xC3\xA9llo w\xC3\xB6rld", 4, TextFormatUTF8, u"h\u00E9l"},
      {"abc", -5, TextFormatUTF8, u""},
      {"abc", 0, TextFormatUTF8, u""},
      // Zero bytes inside an explicit length are decoded like any other byte.
      {std::string("a\0b", 3), 3, TextFormatUTF8, std::u16string(u"a\0b", 3)},
      {"caf\xE9", -1, TextFormatAscii, u"caf\u00E9"},
      {"\x80\xFF", 2, TextFormatAscii, u"\u0080\u00FF"},
      {wide, -1, TextFormatUnicode, units},
      {wide, 2, TextFormatUnicode, u"wi"},
      {wide, 100, TextFormatUnicode, units},  // a length past the text stops at its terminator
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << ::testing::PrintToString(c.bytes) << " length " << c.length);
    const int64_t start = TempBufferPosition();
    ReadMemoryString(c.bytes.c_str(), c.length, c.format, start);
    EXPECT_EQ(TempText(start), c.expected);
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
  char bytes[32];
  EXPECT_EQ(WriteMemoryString(bytes, u"\u00E9t\u00E9", -1, TextFormatUTF8), 5);
  EXPECT_STREQ(bytes, "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(WriteMemoryString(bytes, u"\u00E9t\u00E9", 2, TextFormatUTF8), 3);
  EXPECT_STREQ(bytes, "\xC3\xA9t");
  // Units above 0xFF are skipped in one byte per unit.
  EXPECT_EQ(WriteMemoryString(bytes, u"1\u20AC2", 100, TextFormatAscii), 2);
  EXPECT_STREQ(bytes, "12");
  // No terminator: the byte after the text is left alone, the count is the same.
  std::memset(bytes, 'x', sizeof bytes);
  EXPECT_EQ(WriteMemoryString(bytes, u"ab", -1, TextFormatUTF8 | TextNoTerminator), 2);
  EXPECT_EQ(bytes[2], 'x');
  EXPECT_EQ(WriteMemoryString(bytes, nullptr, -1, TextFormatUTF8), 0);
  EXPECT_EQ(bytes[0], 0);
  Unit units[8];
  EXPECT_EQ(WriteMemoryString(units, u"wide", -1, TextFormatUnicode), 8);
  EXPECT_EQ(Text(units), u"wide");
}

TEST_F(MemoryStrings, EncodedLengthHoldsWhatIsWrittenAndStringToUTF8Agrees) {
  EXPECT_EQ(EncodedLength(nullptr, TextFormatUnicode), 0);
  EXPECT_EQ(EncodedLength(u"\u00E9", TextFormatUTF8), 2);
  EXPECT_EQ(EncodedLength(u"\u00E9", TextFormatAscii), 1);
  EXPECT_EQ(EncodedLength(u"\u00E9", TextFormatUnicode), 2);
  EXPECT_EQ(ToUTF8(nullptr), "");
  // A block sized by EncodedLength + 1 always holds what WriteMemoryString writes.
  // A broken pair gives "", and so does a high surrogate at the end in a C string,
  // where the terminator breaks it.
  struct Case {
    std::u16string units;
    std::string written;
    std::string cString;
  };
  const Case cases[] = {{u"\U0001F600", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
                        {u"\xDC00", "\xED\xB0\x80", "\xED\xB0\x80"},
                        {u"\xD83D" u"a", "", ""},
                        {u"ab\xD83D", "ab", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.written));
    const int64_t length = EncodedLength(c.units.c_str(), TextFormatUTF8);
    ASSERT_GE(length, 0);
    std::string block(static_cast<size_t>(length) + 1, '\x7F');
    EXPECT_EQ(WriteMemoryString(block.data(), c.units.c_str(), -1, TextFormatUTF8), length);
    EXPECT_EQ(block.c_str(), c.written);
    EXPECT_EQ(ToUTF8(c.units.c_str()), c.cString);
  }
}

}  // namespace
}  // namespace zeb
