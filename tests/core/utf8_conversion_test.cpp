// The UTF-8 converters against a plain one-character-at-a-time reference
// written from the rules: the reference itself on hand-picked texts (stops,
// early-ended characters, surrogates, destination limits), then the converters
// at every room on each of those texts placed at every hand-over between the
// 16-wide block paths and the scalar step. (The UTF-8 fuzz target compares random
// text with the same reference.)
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
// past it; what converts without a stop comes back unchanged, lone surrogates too.
void CheckEncode(const std::u16string& units) {
  for (int64_t size = -1; size <= 3 * static_cast<int64_t>(units.size()) + 2; ++size) {
    EXPECT_TRUE(testing::EncodesAsTheReference(units, size, size < 0 ? 0 : 3)) << "size " << size;
  }
  const testing::ReferenceEncoding counted = ReferenceEncode(units, -1);
  if (counted.consumed == units.size()) {
    EXPECT_EQ(ReferenceDecode(counted.bytes, -1).units, units);
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
      {"\xF0\x9F\x98\x80", {0xD83D, 0xDE00}, 2}, {"\xE2\x82\xAC", {0x20AC}, 1}, {"\xC3\xA9", {0xE9}, 1},
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
      CheckDecode(std::string(run, 'x') + c.bytes);
      CheckDecode(std::string(run, 'x') + c.bytes + kTail);
    }
  }
}

TEST(Utf8Encode, UnitsSurrogatesAndTheCharacterBegunBelowTheSize) {
  struct Case {
    std::u16string units;
    std::string bytes;  // converted before the stop
    int64_t size = -1;  // ample unless given
    bool brokenPair = false;
  };
  const Case cases[] = {
      {u"\u007F\u0080", "\x7F\xC2\x80"},
      {u"\u07FF\u0800", "\xDF\xBF\xE0\xA0\x80"},
      {u"\uFFFF\U00010000\U0010FFFF", "\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
      {u"\xDC00", "\xED\xB0\x80"},        // a lone low surrogate encodes as itself
      {u"\xDC00\xD800", "\xED\xB0\x80"},  // a high surrogate that ends the range stops
      // Writing answers 0 at a broken pair, and leaves what it wrote.
      {u"x\xD83D" u"a", "x", -1, true},
      // A character begun while fewer than `size` bytes are written is written whole.
      {u"a\u20AC", "a\xE2\x82\xAC", 2},
      {u"\U0001F600z", "\xF0\x9F\x98\x80", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    const testing::ReferenceEncoding reference = ReferenceEncode(c.units, c.size);
    EXPECT_EQ(reference.bytes, c.bytes);
    EXPECT_EQ(reference.brokenPair, c.brokenPair);
    for (size_t run = 0; run <= kLongestRun; ++run) {
      CheckEncode(std::u16string(run, u'x') + c.units);
      CheckEncode(std::u16string(run, u'x') + c.units + kUnitTail);
    }
  }
}

}  // namespace
}  // namespace zeb
