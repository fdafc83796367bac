// The conversion rules on hand-picked texts: stops, early-ended characters,
// surrogates, destination limits, the one-byte code page and null sources.
#include "runtime/core/text_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zeb {
namespace {

constexpr Unit kGuardUnit = 0xBEEF;
constexpr char kGuardByte = '\x5A';

struct Decoding {
  int64_t result;           // MultiByteToUnicode's answer
  std::vector<Unit> units;  // the units converted
};

// Writing mode into a destination of `room` units followed by guards, which
// must stay untouched. For UTF-8 the units converted are the decoder's true
// count, since MultiByteToUnicode answers 0 after an invalid lead.
Decoding Decode(const std::string& bytes, int64_t room, int codePage = CodePageUTF8) {
  const auto size = static_cast<size_t>(room > 0 ? room : 0);
  const auto length = static_cast<int64_t>(bytes.size());
  std::vector<Unit> destination(size + 8, kGuardUnit);
  const int64_t result = MultiByteToUnicode(codePage, 0, bytes.data(), length, destination.data(), room);
  std::vector<Unit> again(size + 8);
  const int64_t converted =
      codePage == CodePageUTF8 ? DecodeUTF8(bytes.data(), length, again.data(), room).units : result;
  for (size_t i = size; i < destination.size(); ++i) EXPECT_EQ(destination[i], kGuardUnit) << i;
  destination.resize(static_cast<size_t>(converted));
  return {result, destination};
}

int64_t CountUnits(const std::string& bytes, int codePage = CodePageUTF8) {
  return MultiByteToUnicode(codePage, 0, bytes.data(), static_cast<int64_t>(bytes.size()), nullptr, 0);
}

struct Encoding {
  int64_t result;     // UnicodeToMultiByte's answer
  std::string bytes;  // the bytes converted
};

// Writing mode into a destination of `size` bytes, 3 spare bytes for the last
// character and guards: nothing may land past the size or the last character.
Encoding Encode(const std::u16string& units, int64_t size, int codePage = CodePageUTF8) {
  const auto length = static_cast<int64_t>(units.size());
  std::string destination(static_cast<size_t>(size > 0 ? size : 0) + 3 + 8, kGuardByte);
  const int64_t result = UnicodeToMultiByte(codePage, 0, units.data(), length, destination.data(), size);
  std::string again(destination.size(), '\0');
  const int64_t converted =
      codePage == CodePageUTF8 ? EncodeUTF8(units.data(), length, again.data(), size).bytes : result;
  for (size_t i = static_cast<size_t>(std::max(size, converted)); i < destination.size(); ++i) {
    EXPECT_EQ(destination[i], kGuardByte) << i;
  }
  destination.resize(static_cast<size_t>(converted));
  return {result, destination};
}

int64_t CountBytes(const std::u16string& units, int codePage = CodePageUTF8) {
  return UnicodeToMultiByte(codePage, 0, units.data(), static_cast<int64_t>(units.size()), nullptr, 0);
}

TEST(Utf8Decode, StopAndContinuationRules) {
  struct Case {
    std::string bytes;
    std::vector<Unit> units;  // decoded before the stop, in both modes
    int64_t written;          // the writing-mode answer
  };
  const Case cases[] = {
      {"\xF0\x9F\x98\x80", {0xD83D, 0xDE00}, 2},
      {"\xE2\x82\xAC", {0x20AC}, 1},
      {"\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}, 2},
      {"\xC3\x41", {0x0003}, 1},                    // the 41 ends the character and is lost
      {"\xE2\x41\x62", {0x0002, 'b'}, 2},           // ended after one byte; 62 begins the next
      {"\xF0\x41\x42\x43", {0x0000, 'B', 'C'}, 3},  // long enough, so not cut off
      {"\x61\xE2\x82", {'a'}, 1},                   // cut off at the end of the range
      {"\xF0\x41", {}, 0},                          // cut off although 41 would end it early
      {std::string("\x61\xE2\x82\x00", 4), {'a', 0x0082}, 2},
      {"\xED\xA0\x80", {0xD800}, 1},              // encoded surrogates are accepted
      {std::string("\xC0\x80", 2), {0x0000}, 1},  // and so are overlong forms
      {"\xF4\x90\x80\x80", {}, 0},                // above U+10FFFF
      {"\x61\xF7\xBF\xBF\xBF", {'a'}, 1},
      {"\x61\x80\x62", {'a'}, 0},  // invalid leads: writing mode answers 0
      {"\x61\xBF", {'a'}, 0},
      {"\xF8\x80\x80\x80\x80", {}, 0},
      {"\x61\xFF", {'a'}, 0},
      {"\xE2\x41\x82", {0x0002}, 0},  // the 82 after the early end is a lead
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    EXPECT_EQ(CountUnits(c.bytes), static_cast<int64_t>(c.units.size()));
    const Decoding d = Decode(c.bytes, 16);
    EXPECT_EQ(d.result, c.written);
    EXPECT_EQ(d.units, c.units);
  }
}

TEST(Utf8Decode, TrueCountAndBytesConsumed) {
  const char text[] = "\x61\xC3\x41\x62\x80\x63";
  Unit destination[8] = {};
  const UTF8Decoded written = DecodeUTF8(text, 6, destination, 8);
  EXPECT_EQ(written.units, 3);
  EXPECT_EQ(written.bytesConsumed, 4);
  EXPECT_TRUE(written.stoppedAtInvalidLead);
  EXPECT_EQ(destination[2], u'b');
  const UTF8Decoded counted = DecodeUTF8(text, 6, nullptr, 0);
  EXPECT_EQ(counted.units, 3);
  EXPECT_EQ(counted.bytesConsumed, 4);
  EXPECT_TRUE(counted.stoppedAtInvalidLead);

  const UTF8Decoded cut = DecodeUTF8("\x61\xF0\x9F\x98", 4, nullptr, 0);
  EXPECT_EQ(cut.units, 1);
  EXPECT_EQ(cut.bytesConsumed, 1);
  EXPECT_FALSE(cut.stoppedAtInvalidLead);
}

TEST(Utf8Decode, FullDestinationStops) {
  EXPECT_EQ(Decode("abc", 2).units, (std::vector<Unit>{'a', 'b'}));
  EXPECT_EQ(Decode("abc", 2).result, 2);
  // A pair needs two free units: it is not split.
  EXPECT_EQ(Decode("a\xF0\x9F\x98\x80", 2).units, (std::vector<Unit>{'a'}));
  EXPECT_EQ(Decode("a\xF0\x9F\x98\x80", 3).result, 3);
  EXPECT_EQ(Decode("abc", 0).result, 0);
  EXPECT_EQ(Decode("abc", -4).result, 0);
  // A full destination stops before the byte after it is judged...
  EXPECT_EQ(Decode("ab\x80", 1).result, 1);
  // ...but only a character that needs room meets a full destination, so an
  // invalid lead right after the last unit that fits still answers 0.
  EXPECT_EQ(Decode("ab\x80", 2).result, 0);
  EXPECT_EQ(DecodeUTF8("ab\x80", 3, std::vector<Unit>(2).data(), 2).units, 2);
}

TEST(Utf8Decode, TerminatedTextAndNullSources) {
  Unit destination[4] = {1, 1, 1, 1};
  EXPECT_EQ(MultiByteToUnicode(CodePageUTF8, 0, "h\xC3\xA9", -1, nullptr, 0), 3);
  EXPECT_EQ(MultiByteToUnicode(CodePageUTF8, 0, "h\xC3\xA9", -1, destination, 4), 3);
  EXPECT_EQ(std::u16string(destination, 3), std::u16string(u"h\u00E9\0", 3));
  EXPECT_EQ(MultiByteToUnicode(CodePageUTF8, 0, "", -1, nullptr, 0), 1);

  EXPECT_EQ(MultiByteToUnicode(CodePageUTF8, 0, nullptr, 5, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToUnicode(CodePageUTF8, 0, nullptr, -1, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToUnicode(CodePageUTF8, 0, nullptr, 5, destination, 4), 0);
  EXPECT_EQ(MultiByteToUnicode(CodePageUTF8, 0, "abc", 0, destination, 4), 0);
  EXPECT_EQ(MultiByteToUnicode(CodePageUTF8, 0, "abc", -2, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToUnicode(CodePage8Bit, 0, nullptr, 5, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToUnicode(CodePage8Bit, 0, nullptr, -1, destination, 4), 0);
  EXPECT_EQ(UnicodeToMultiByte(CodePageUTF8, 0, nullptr, -1, nullptr, 0), 0);
  EXPECT_EQ(UnicodeToMultiByte(CodePageUTF8, 0, nullptr, 3, reinterpret_cast<char*>(destination), 8), 0);
  EXPECT_EQ(UnicodeToMultiByte(CodePage8Bit, 0, nullptr, -1, nullptr, 0), 0);
  EXPECT_EQ(destination[3], 1);
}

TEST(Utf8Encode, UnitsAndSurrogates) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"\u007F", "\x7F"},
      {u"\u0080", "\xC2\x80"},
      {u"\u07FF", "\xDF\xBF"},
      {u"\u0800", "\xE0\xA0\x80"},
      {u"\uFFFF", "\xEF\xBF\xBF"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
      {u"\xDC00", "\xED\xB0\x80"},        // a lone low surrogate encodes as itself
      {u"\xDC00\xD800", "\xED\xB0\x80"},  // a high surrogate that ends the range stops
      {u"ab\xD83D", "ab"},
  };
  for (const auto& [units, bytes] : cases) {
    SCOPED_TRACE(::testing::PrintToString(bytes));
    EXPECT_EQ(CountBytes(units), static_cast<int64_t>(bytes.size()));
    const Encoding e = Encode(units, 16);
    EXPECT_EQ(e.result, static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(e.bytes, bytes);
  }
}

TEST(Utf8Encode, BrokenPair) {
  // Counting stops at the broken pair; writing answers 0 and leaves what it wrote.
  EXPECT_EQ(CountBytes(u"\xD83D"
                       u"a"),
            0);
  EXPECT_EQ(CountBytes(u"x\xD83D"
                       u"a"),
            1);
  const Encoding e = Encode(
      u"x\xD83D"
      u"a",
      16);
  EXPECT_EQ(e.result, 0);
  EXPECT_EQ(e.bytes, "x");
  const std::u16string twoHighs = u"\xD83D\xD83D\xDE00";
  EXPECT_EQ(Encode(twoHighs, 16).result, 0);
  char buffer[16];
  const UTF8Encoded direct = EncodeUTF8(
      u"x\xD83D"
      u"a",
      3, buffer, 16);
  EXPECT_EQ(direct.bytes, 1);
  EXPECT_TRUE(direct.brokenPair);
  EXPECT_FALSE(EncodeUTF8(u"x\xD83D", 2, buffer, 16).brokenPair);
  // With length -1 the terminator follows a trailing high surrogate: a broken pair.
  EXPECT_EQ(UnicodeToMultiByte(CodePageUTF8, 0, u"x\xD83D", -1, nullptr, 0), 1);
  EXPECT_EQ(UnicodeToMultiByte(CodePageUTF8, 0, u"x\xD83D", -1, buffer, 16), 0);
  EXPECT_EQ(UnicodeToMultiByte(CodePageUTF8, 0, u"h\u00E9", -1, nullptr, 0), 4);
  EXPECT_EQ(UnicodeToMultiByte(CodePageUTF8, 0, u"h\u00E9", -1, buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), std::string("h\xC3\xA9\0", 4));
}

TEST(Utf8Encode, CharacterBegunBelowSizeIsWrittenWhole) {
  EXPECT_EQ(Encode(u"a\u20AC", 2).bytes, "a\xE2\x82\xAC");
  EXPECT_EQ(Encode(u"a\u20AC", 2).result, 4);
  EXPECT_EQ(Encode(u"a\u20AC", 1).bytes, "a");
  EXPECT_EQ(Encode(u"\U0001F600z", 1).bytes, "\xF0\x9F\x98\x80");
  EXPECT_EQ(Encode(u"abc", 0).result, 0);
  EXPECT_EQ(Encode(u"abc", -3).result, 0);
  // A broken pair past the last character that fits is never reached.
  EXPECT_EQ(Encode(u"ab\xD83D"
                   u"a",
                   2)
                .result,
            2);
  const std::u16string ascii(20, u'q');
  EXPECT_EQ(Encode(ascii, 18).bytes, std::string(18, 'q'));
}

TEST(OneBytePerUnit, BytesToUnits) {
  const std::string bytes("a\0\xE9\xFF", 4);
  EXPECT_EQ(CountUnits(bytes, CodePage8Bit), 4);
  EXPECT_EQ(MultiByteToUnicode(CodePage8Bit, 0, "ab", -1, nullptr, 0), 3);
  EXPECT_EQ(Decode(bytes, 8, CodePage8Bit).result, 4);
  Unit destination[4];
  EXPECT_EQ(MultiByteToUnicode(CodePage8Bit, 0, bytes.data(), 4, destination, 4), 4);
  EXPECT_EQ(std::u16string(destination, 4), std::u16string(u"a\0\u00E9\u00FF", 4));
  EXPECT_EQ(Decode(bytes, 2, CodePage8Bit).units, (std::vector<Unit>{'a', 0}));
  EXPECT_EQ(Decode(bytes, 2, CodePage8Bit).result, 2);
  EXPECT_EQ(Decode(bytes, 0, CodePage8Bit).result, 0);
  EXPECT_EQ(Decode("", 4, CodePage8Bit).result, 0);
}

TEST(OneBytePerUnit, UnitsToBytesSkipsWideUnits) {
  const std::u16string units = u"a\u20AC\u00E9\u0100b";
  EXPECT_EQ(CountBytes(units, CodePage8Bit), 3);
  EXPECT_EQ(Encode(units, 8, CodePage8Bit).bytes,
            "a\xE9"
            "b");
  EXPECT_EQ(Encode(units, 8, CodePage8Bit).result, 3);
  EXPECT_EQ(Encode(units, 2, CodePage8Bit).bytes, "a\xE9");
  EXPECT_EQ(Encode(units, 0, CodePage8Bit).result, 0);
  EXPECT_EQ(Encode(u"", 4, CodePage8Bit).result, 0);
  EXPECT_EQ(UnicodeToMultiByte(CodePage8Bit, 0, u"\u20ACx", -1, nullptr, 0), 2);
}

TEST(CodePages, OthersConvertNothing) {
  EXPECT_EQ(CountUnits("abc", 1252), 0);
  EXPECT_TRUE(Decode("abc", 4, 1252).units.empty());
  EXPECT_EQ(CountBytes(u"abc", 1252), 0);
  EXPECT_TRUE(Encode(u"abc", 4, 1252).bytes.empty());
}

}  // namespace
}  // namespace zeb
