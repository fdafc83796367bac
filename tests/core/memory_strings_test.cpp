// Text read from and written to memory, and the UTF-8 C strings of the runtime.
#include "runtime/core/memory_strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/core/temp_string_buffer.h"
#include "tests/core/unit_text.h"

namespace zeb {
namespace {

class MemoryStrings : public ::testing::Test {
 protected:
  void SetUp() override { InitStringBuffer(); }
  void TearDown() override { FreeStringBuffer(); }

  // The result of ReadMemoryString at the current buffer position, checked to be
  // terminated at the buffer position.
  std::u16string Read(const std::string& bytes, int64_t length, int format) {
    const int64_t start = TempBufferPosition();
    ReadMemoryString(bytes.c_str(), length, format, start);
    EXPECT_EQ(TempStringAddress(TempBufferPosition())[0], 0);
    return std::u16string(TempStringAddress(start), (TempBufferPosition() - start) / 2);
  }

  std::u16string FromUTF8(const char* text) {
    const int64_t start = TempBufferPosition();
    UTF8ToTempString(text, start);
    EXPECT_EQ(TempStringAddress(TempBufferPosition())[0], 0);
    return std::u16string(TempStringAddress(start), (TempBufferPosition() - start) / 2);
  }

  static std::string ToUTF8(const Unit* s) {
    char* text = StringToUTF8(s);
    std::string copy(text);
    FreeUTF8(text);
    return copy;
  }
};

TEST_F(MemoryStrings, ReadUTF8StopsAndContinuesByTheRules) {
  EXPECT_EQ(Read("\xF0\x9F\x98\x80", -1, TextFormatUTF8), (std::u16string{0xD83D, 0xDE00}));
  EXPECT_EQ(Read("\xC3\x41", -1, TextFormatUTF8), (std::u16string{0x0003}));
  EXPECT_EQ(Read("\x61\xE2\x82", -1, TextFormatUTF8), u"a");
  EXPECT_EQ(Read("\x61\x80\x62", -1, TextFormatUTF8), u"a");
  EXPECT_EQ(Read("\xF4\x90\x80\x80", -1, TextFormatUTF8), u"");
  EXPECT_EQ(Read("\xED\xA0\x80", -1, TextFormatUTF8), (std::u16string{0xD800}));
  EXPECT_EQ(Read("\xC0\x80", -1, TextFormatUTF8), (std::u16string{0}));
  EXPECT_EQ(Read("h\xC3\xA9llo w\xC3\xB6rld", 4, TextFormatUTF8), u"h\u00E9l");
  EXPECT_EQ(Read("abc", -5, TextFormatUTF8), u"");
  EXPECT_EQ(Read("abc", 0, TextFormatUTF8), u"");
  // Zero bytes inside an explicit length are decoded like any other byte.
  EXPECT_EQ(Read(std::string("a\0b", 3), 3, TextFormatUTF8), (std::u16string{u'a', 0, u'b'}));
}

TEST_F(MemoryStrings, ReadOtherFormats) {
  EXPECT_EQ(Read("caf\xE9", -1, TextFormatAscii), u"caf\u00E9");
  EXPECT_EQ(Read("\x80\xFF", 2, TextFormatAscii), u"\u0080\u00FF");
  const std::u16string units = u"wide\u20AC";
  const std::string bytes(reinterpret_cast<const char*>(units.c_str()), (units.size() + 1) * 2);
  EXPECT_EQ(Read(bytes, -1, TextFormatUnicode), units);
  EXPECT_EQ(Read(bytes, 2, TextFormatUnicode), u"wi");
  // A length past the text stops at its terminator and gives the rest back.
  EXPECT_EQ(Read(bytes, 100, TextFormatUnicode), units);
  const int64_t start = TempBufferPosition();
  ReadMemoryString(nullptr, 10, TextFormatUnicode, start);
  ReadMemoryString(nullptr, 10, TextFormatUTF8, start);
  EXPECT_EQ(TempBufferPosition(), start);
}

TEST_F(MemoryStrings, UTF8ToTempStringDecodesTheTerminatorToo) {
  EXPECT_EQ(FromUTF8("\x61\xE2\x82"), (std::u16string{0x61, 0x82}));
  EXPECT_EQ(FromUTF8("\x61\x80\x62"), u"a");
  EXPECT_EQ(FromUTF8("\x80" "abc"), u"");
  EXPECT_EQ(FromUTF8(nullptr), u"");
  EXPECT_EQ(FromUTF8("plain \xE2\x82\xAC"), u"plain \u20AC");
  // Results nest one after another.
  const int64_t first = TempBufferPosition();
  FromUTF8("one");
  FromUTF8("two");
  EXPECT_EQ(Text(TempStringAddress(first)), u"onetwo");
}

TEST_F(MemoryStrings, WriteMemoryStringInEveryFormat) {
  char bytes[32];
  std::memset(bytes, 'x', sizeof bytes);
  EXPECT_EQ(WriteMemoryString(bytes, u"\u00E9t\u00E9", -1, TextFormatUTF8), 5);
  EXPECT_STREQ(bytes, "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(WriteMemoryString(bytes, u"\u00E9t\u00E9", 2, TextFormatUTF8), 3);
  EXPECT_STREQ(bytes, "\xC3\xA9t");
  EXPECT_EQ(WriteMemoryString(bytes, u"abc", 100, TextFormatAscii), 3);
  EXPECT_STREQ(bytes, "abc");
  // Units above 0xFF are skipped in one byte per unit.
  EXPECT_EQ(WriteMemoryString(bytes, u"1\u20AC2", -1, TextFormatAscii), 2);
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
  // A broken surrogate pair writes the empty string.
  const Unit broken[] = {u'a', 0xD83D, u'b', 0};
  EXPECT_EQ(WriteMemoryString(bytes, broken, -1, TextFormatUTF8), 0);
  EXPECT_STREQ(bytes, "");
}

TEST_F(MemoryStrings, EncodedLengthMatchesWhatIsWritten) {
  EXPECT_EQ(EncodedLength(u"", TextFormatUTF8), 0);
  EXPECT_EQ(EncodedLength(nullptr, TextFormatUnicode), 0);
  EXPECT_EQ(EncodedLength(u"\u00E9", TextFormatUTF8), 2);
  EXPECT_EQ(EncodedLength(u"\u00E9", TextFormatAscii), 1);
  EXPECT_EQ(EncodedLength(u"\u00E9", TextFormatUnicode), 2);
  // A block sized by EncodedLength + 1 always holds what WriteMemoryString writes,
  // broken and trailing surrogates included.
  const Unit cases[][5] = {{0xD83D, 0xDE00, 0}, {u'a', u'b', 0xD83D, 0}, {0xD83D, u'a', 0}, {0xDC00, 0}};
  for (const auto& s : cases) {
    const int64_t length = EncodedLength(s, TextFormatUTF8);
    ASSERT_GE(length, 0);
    std::string block(static_cast<size_t>(length) + 1, '\x7F');
    EXPECT_EQ(WriteMemoryString(block.data(), s, -1, TextFormatUTF8), length);
  }
}

TEST_F(MemoryStrings, StringToUTF8) {
  EXPECT_EQ(ToUTF8(nullptr), "");
  EXPECT_EQ(ToUTF8(u""), "");
  const Unit pair[] = {0xD83D, 0xDE00, 0};
  EXPECT_EQ(ToUTF8(pair), "\xF0\x9F\x98\x80");
  const Unit lowAlone[] = {0xDC00, 0};
  EXPECT_EQ(ToUTF8(lowAlone), "\xED\xB0\x80");
  const Unit broken[] = {0xD83D, 0x0061, 0};
  EXPECT_EQ(ToUTF8(broken), "");
  // A high surrogate at the end is broken by the terminator.
  const Unit trailing[] = {u'a', 0xD83D, 0};
  EXPECT_EQ(ToUTF8(trailing), "");
  EXPECT_EQ(ToUTF8(u"mixed \u00E9\u20AC"), "mixed \xC3\xA9\xE2\x82\xAC");
}

}  // namespace
}  // namespace zeb
