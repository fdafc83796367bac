// The UTF-8 converters against a plain one-character-at-a-time reference
// written from the rules: the reference itself on hand-picked texts (stops,
// early-ended characters, surrogates, destination limits), then the converters
// at every room on each of those texts placed at every hand-over between the
// 16-wide block paths and the scalar step; and the whole-text encoder's unpaired
// surrogates under the two BadText rules. (The UTF-8 fuzz target compares random
// text with the same reference, and checks ill-formed UTF-8 under both rules.)
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "runtime/core/text_conversion.h"
#include "tests/core/utf8_reference.h"

namespace zeb {
namespace {

using testing::ReferenceDecode;
using testing::ReferenceEncode;

// The ASCII run put before each text, long enough to fill two blocks, and the
// text put after it in the second variant.
constexpr size_t kLongestRun = 33;
const std::string kTail = "0123456789abcdefghij\xCE\xA9";
const std::u16string kUnitTail = u"0123456789abcdefghij\u03A9";

// Counting, then writing with every room up to a little past the full count,
// against the reference (exact destinations: the sanitizers see any write past
// them).
void CheckDecode(const std::string& bytes) {
  for (int64_t room = -1; room <= static_cast<int64_t>(bytes.size()) + 2; ++room) {
    EXPECT_TRUE(testing::DecodesAsTheReference(bytes, room)) << "room " << room;
  }
}

// The same for encoding, a character begun below the size ending up to 3 bytes
// past it.
void CheckEncode(const std::u16string& units) {
  for (int64_t size = -1; size <= 3 * static_cast<int64_t>(units.size()) + 2; ++size) {
    EXPECT_TRUE(testing::EncodesAsTheReference(units, size, size < 0 ? 0 : 3)) << "size " << size;
  }
}

TEST(Utf8Decode, StopContinuationAndRoomRules) {
  struct Case {
    std::string bytes;
    std::u16string units;  // decoded before the stop
    int64_t written;       // the writing-mode answer
    int64_t room = -1;     // ample unless given
  };
  const Case cases[] = {
      {"\xF0\x9F\x98\x80", {0xD83D, 0xDE00}, 2}, {"\xE2\x82\xAC", {0x20AC}, 1},
      {"\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}, 2}, {"\xF4\x90\x80\x80", {}, 0},  // U+10FFFF, and above it
      {"\xC3\x41", {0x0003}, 1},                    // the 41 ends the character and is lost
      {"\xE2\x41\x62", {0x0002, 'b'}, 2},           // ended after one byte; 62 begins the next
      {"\x61\xE2\x82", {'a'}, 1},                   // cut off at the end of the range
      {"\xF0\x41", {}, 0},                          // cut off although 41 would end it early
      // Invalid leads: writing mode answers 0.
      {"\x61\x80\x62", {'a'}, 0}, {"\xF8\x80\x80\x80\x80", {}, 0},
      // A pair needs two free units: it is not split.
      {"a\xF0\x9F\x98\x80", {'a'}, 1, 2},
      // A full destination stops before the byte after it is judged...
      {"ab\x80", {'a'}, 1, 1},
      // ...but only a character that needs room meets a full destination, so an
      // invalid lead right after the last unit that fits still answers 0.
      {"ab\x80", {'a', 'b'}, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << ::testing::PrintToString(c.bytes) << " room " << c.room);
    const testing::ReferenceDecoding reference = ReferenceDecode(c.bytes, c.room);
    EXPECT_EQ(reference.units, c.units);
    EXPECT_EQ(reference.invalidLead ? 0 : static_cast<int64_t>(reference.units.size()), c.written);
    for (size_t run = 0; run <= kLongestRun; ++run) {
      for (const auto& tail : {std::string(), kTail}) CheckDecode(std::string(run, 'x') + c.bytes + tail);
    }
  }
}

TEST(Utf8Encode, UnitsAndSurrogatesAtEverySize) {
  const struct {
    std::u16string units;
    std::string bytes;  // converted before the stop
  } cases[] = {
      {u"\u007F\u0080", "\x7F\xC2\x80"},
      {u"\u07FF\u0800", "\xDF\xBF\xE0\xA0\x80"},
      {u"\uFFFF\U00010000\U0010FFFF", "\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
      // A lone low surrogate encodes as itself; a high one that ends the range stops.
      {u"\xDC00\xD800", "\xED\xB0\x80"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    EXPECT_EQ(ReferenceEncode(c.units, -1).bytes, c.bytes);
    for (size_t run = 0; run <= kLongestRun; ++run) {
      for (const auto& tail : {std::u16string(), kUnitTail}) CheckEncode(std::u16string(run, u'x') + c.units + tail);
    }
  }
}

// Each row: units with unpaired surrogates, and their bytes under each rule.
// Only a low surrogate from 0xDC80 to 0xDCFF stands for a byte.
TEST(Utf8Whole, UnpairedSurrogatesBecomeTheReplacementOrTheirByte) {
  const std::string kFFFD = "\xEF\xBF\xBD";
  const std::string kAccented = "\xC3\xA9\xE2\x82\xAC";  // two- and three-byte characters: e acute, the euro sign
  const std::string kRun(17, 'q');  // longer than a block of the encoder
  const std::u16string kUnitRun(17, u'q');
  const struct {
    std::u16string units;
    std::string replaced;
    std::string escaped;
    bool unencodable;  // under kEscape
  } kRows[] = {
      {u"a\xD800" u"b", "a" + kFFFD + "b", "a" + kFFFD + "b", true},
      {u"x\xD83D", "x" + kFFFD, "x" + kFFFD, true},
      {u"\xDC80\xDCFF", kFFFD + kFFFD, "\x80\xFF", false},
      {u"\xDC41\xDD00", kFFFD + kFFFD, kFFFD + kFFFD, true},
      {u"\U0001F600\u00E9\u20AC", "\xF0\x9F\x98\x80" + kAccented, "\xF0\x9F\x98\x80" + kAccented, false},
      {kUnitRun + u"\xDCE9\u00E9\u20AC" + kUnitRun, kRun + kFFFD + kAccented + kRun,
       kRun + "\xE9" + kAccented + kRun, false},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(::testing::PrintToString(row.escaped));
    bool replaced = false;
    EXPECT_EQ(testing::EncodedWhole(row.units, BadText::kReplace, &replaced), row.replaced);
    EXPECT_EQ(replaced, row.replaced.find(kFFFD) != std::string::npos);
    EXPECT_EQ(testing::EncodedWhole(row.units, BadText::kEscape, &replaced), row.escaped);
    EXPECT_EQ(replaced, row.unencodable);
  }
}

}  // namespace
}  // namespace zeb
