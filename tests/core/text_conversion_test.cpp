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
  const auto size = static_cast<size_t>(std::max<int64_t>(room, 0));
  const auto length = static_cast<int64_t>(bytes.size());
  std::vector<Unit> destination(size + 8, kGuardUnit);
  const int64_t result = MultiByteToUnicode(codePage, 0, bytes.data(), length, destination.data(), room);
  const int64_t converted =
      codePage == CodePageUTF8 ? DecodeUTF8(bytes.data(), length, destination.data(), room).units : result;
  EXPECT_EQ(std::vector<Unit>(destination.begin() + static_cast<std::ptrdiff_t>(size), destination.end()),
            std::vector<Unit>(8, kGuardUnit));
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
  std::string destination(static_cast<size_t>(std::max<int64_t>(size, 0)) + 3 + 8, kGuardByte);
  const int64_t result = UnicodeToMultiByte(codePage, 0, units.data(), length, destination.data(), size);
  const int64_t converted =
      codePage == CodePageUTF8 ? EncodeUTF8(units.data(), length, destination.data(), size).bytes : result;
  const auto untouched = static_cast<size_t>(std::max(size, converted));
  EXPECT_EQ(destination.substr(untouched), std::string(destination.size() - untouched, kGuardByte));
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
      {"\xF0\x9F\x98\x80", {0xD83D, 0xDE00}, 2}, {"\xE2\x82\xAC", {0x20AC}, 1},
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
      // Invalid leads: writing mode answers 0.
      {"\x61\x80\x62", {'a'}, 0}, {"\x61\xBF", {'a'}, 0}, {"\xF8\x80\x80\x80\x80", {}, 0}, {"\x61\xFF", {'a'}, 0},
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

TEST(Utf8Decode, FullDestinationStops) {
  // A pair needs two free units: it is not split.
  EXPECT_EQ(Decode("a\xF0\x9F\x98\x80", 2).units, std::vector<Unit>{'a'});
  EXPECT_EQ(Decode("abc", -4).result, 0);
  // A full destination stops before the byte after it is judged...
  EXPECT_EQ(Decode("ab\x80", 1).result, 1);
  // ...but only a character that needs room meets a full destination, so an
  // invalid lead right after the last unit that fits still answers 0.
  EXPECT_EQ(Decode("ab\x80", 2).result, 0);
}

TEST(Conversions, TerminatedTextAndNullSources) {
  Unit destination[4] = {1, 1, 1, 1};
  EXPECT_EQ(MultiByteToUnicode(CodePageUTF8, 0, "h\xC3\xA9", -1, nullptr, 0), 3);
  EXPECT_EQ(MultiByteToUnicode(CodePageUTF8, 0, "h\xC3\xA9", -1, destination, 4), 3);
  EXPECT_EQ(std::u16string(destination, 3), std::u16string(u"h\u00E9\0", 3));
  EXPECT_EQ(MultiByteToUnicode(CodePageUTF8, 0, "", -1, nullptr, 0), 1);
  // A null source, or a length below -1, is an empty range.
  destination[0] = 1;
  char bytes[8] = {1};
  for (int codePage : {CodePageUTF8, CodePage8Bit}) {
    EXPECT_EQ(MultiByteToUnicode(codePage, 0, nullptr, 5, nullptr, 0), 0);
    EXPECT_EQ(MultiByteToUnicode(codePage, 0, nullptr, -1, destination, 4), 0);
    EXPECT_EQ(MultiByteToUnicode(codePage, 0, "abc", -2, destination, 4), 0);
    EXPECT_EQ(UnicodeToMultiByte(codePage, 0, nullptr, -1, nullptr, 0), 0);
    EXPECT_EQ(UnicodeToMultiByte(codePage, 0, nullptr, 3, bytes, 8), 0);
    EXPECT_EQ(UnicodeToMultiByte(codePage, 0, u"abc", -2, bytes, 8), 0);
  }
  EXPECT_EQ(destination[0], 1);
  EXPECT_EQ(bytes[0], 1);
}

TEST(Utf8Encode, UnitsAndSurrogates) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"\u007F\u0080", "\x7F\xC2\x80"},
      {u"\u07FF\u0800", "\xDF\xBF\xE0\xA0\x80"},
      {u"\uFFFF\U00010000\U0010FFFF", "\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
      {u"\xDC00", "\xED\xB0\x80"},        // a lone low surrogate encodes as itself
      {u"\xDC00\xD800", "\xED\xB0\x80"},  // a high surrogate that ends the range stops
  };
  for (const auto& [units, bytes] : cases) {
    SCOPED_TRACE(::testing::PrintToString(bytes));
    EXPECT_EQ(CountBytes(units), static_cast<int64_t>(bytes.size()));
    const Encoding e = Encode(units, 16);
    EXPECT_EQ(e.result, static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(e.bytes, bytes);
  }
}

TEST(Utf8Encode, BrokenPairAndTheCharacterBegunBelowTheSize) {
  // Counting stops at the broken pair; writing answers 0 and leaves what it wrote.
  const std::u16string broken = u"x\xD83D" u"a";
  EXPECT_EQ(CountBytes(broken), 1);
  EXPECT_EQ(Encode(broken, 16).result, 0);
  EXPECT_EQ(Encode(broken, 16).bytes, "x");
  // With length -1 the terminator follows a trailing high surrogate: a broken pair.
  char buffer[16];
  EXPECT_EQ(UnicodeToMultiByte(CodePageUTF8, 0, u"x\xD83D", -1, nullptr, 0), 1);
  EXPECT_EQ(UnicodeToMultiByte(CodePageUTF8, 0, u"x\xD83D", -1, buffer, 16), 0);
  EXPECT_EQ(UnicodeToMultiByte(CodePageUTF8, 0, u"h\u00E9", -1, buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), std::string("h\xC3\xA9\0", 4));

  // A character begun while fewer than `size` bytes are written is written whole.
  EXPECT_EQ(Encode(u"a\u20AC", 2).bytes, "a\xE2\x82\xAC");
  EXPECT_EQ(Encode(u"a\u20AC", 2).result, 4);
  EXPECT_EQ(Encode(u"\U0001F600z", 1).bytes, "\xF0\x9F\x98\x80");
  EXPECT_EQ(Encode(u"abc", -3).result, 0);
}

TEST(OneBytePerUnit, BothDirections) {
  const std::string bytes("a\0\xE9\xFF", 4);
  EXPECT_EQ(CountUnits(bytes, CodePage8Bit), 4);
  EXPECT_EQ(MultiByteToUnicode(CodePage8Bit, 0, "ab", -1, nullptr, 0), 3);
  EXPECT_EQ(Decode(bytes, 8, CodePage8Bit).result, 4);
  EXPECT_EQ(Decode(bytes, 8, CodePage8Bit).units, (std::vector<Unit>{'a', 0, 0xE9, 0xFF}));
  EXPECT_EQ(Decode(bytes, 2, CodePage8Bit).units, (std::vector<Unit>{'a', 0}));
  EXPECT_EQ(Decode(bytes, 0, CodePage8Bit).result, 0);

  // Units above 0xFF have no byte and are skipped.
  const std::u16string units = u"a\u20AC\u00E9\u0100b";
  EXPECT_EQ(CountBytes(units, CodePage8Bit), 3);
  EXPECT_EQ(Encode(units, 8, CodePage8Bit).bytes, "a\xE9" "b");
  EXPECT_EQ(Encode(units, 2, CodePage8Bit).bytes, "a\xE9");
  EXPECT_EQ(Encode(units, 0, CodePage8Bit).result, 0);
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
