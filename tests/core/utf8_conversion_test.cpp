// The UTF-8 converters against a plain one-character-at-a-time reference
// written from the rules: the reference itself on hand-picked texts (stops,
// early-ended characters, surrogates, destination limits), then the converters
// at every room on those texts, at every hand-over between the 16-wide block
// paths and the scalar step, and on a real stress-test file. (The UTF-8 fuzz target
// compares random text with the same reference.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/core/text_conversion.h"
#include "tests/core/utf8_reference.h"

namespace zeb {
namespace {

using Bytes = std::string;
using Units = std::u16string;
using testing::ReferenceDecode;
using testing::ReferenceDecoding;
using testing::ReferenceEncode;
using testing::ReferenceEncoding;

// Counting, then writing with every given room, against the reference (exact
// destinations: the sanitizers see any write past them); returns the units.
Units CheckDecode(const Bytes& bytes, const std::vector<int64_t>& rooms) {
  EXPECT_TRUE(testing::DecodesAsTheReference(bytes, -1));
  for (const int64_t room : rooms) EXPECT_TRUE(testing::DecodesAsTheReference(bytes, room)) << "room " << room;
  return ReferenceDecode(bytes, -1).units;
}

// The same for encoding, a character begun below the size ending up to 3 bytes
// past it; what converts without a stop comes back unchanged, lone surrogates too.
void CheckEncode(const Units& units, const std::vector<int64_t>& sizes) {
  EXPECT_TRUE(testing::EncodesAsTheReference(units, -1, 0));
  for (const int64_t size : sizes) EXPECT_TRUE(testing::EncodesAsTheReference(units, size, 3)) << "size " << size;
  const ReferenceEncoding counted = ReferenceEncode(units, -1);
  if (counted.consumed == units.size()) {
    EXPECT_EQ(ReferenceDecode(counted.bytes, -1).units, units);
  }
}

// Every room from 0 to a little past the full count.
std::vector<int64_t> AllRoomsUpTo(size_t count) {
  std::vector<int64_t> rooms(count + 3);
  for (size_t room = 0; room < rooms.size(); ++room) rooms[room] = static_cast<int64_t>(room);
  return rooms;
}

// MultiByteToUnicode's answer in writing mode: 0 after an invalid lead.
int64_t Answer(const ReferenceDecoding& r) { return r.invalidLead ? 0 : static_cast<int64_t>(r.units.size()); }

TEST(Utf8Decode, StopContinuationAndRoomRules) {
  struct Case {
    std::string bytes;
    Units units;        // decoded before the stop
    int64_t written;    // the writing-mode answer
    int64_t room = -1;  // ample unless given
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
    const Bytes& bytes = c.bytes;
    const ReferenceDecoding reference = ReferenceDecode(bytes, c.room);
    EXPECT_EQ(reference.units, c.units);
    EXPECT_EQ(Answer(reference), c.written);
    CheckDecode(bytes, AllRoomsUpTo(bytes.size()));
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
    const Units& units = c.units;
    const ReferenceEncoding reference = ReferenceEncode(units, c.size);
    EXPECT_EQ(reference.bytes, c.bytes);
    EXPECT_EQ(reference.brokenPair, c.brokenPair);
    CheckEncode(units, AllRoomsUpTo(units.size() * 3));
  }
}

TEST(Utf8Reference, BothDirectionsAtEveryBlockHandOver) {
  const std::string byteEndings[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x80", "\xFF", "\xC3\x41",
                                     "\xE2\x82", "\xF4\x90\x80\x80", "\xED\xA0\x80", "\xE2\x41\x82"};
  const std::u16string unitEndings[] = {u"\u00E9", u"\u20AC", u"\U0001F600", u"\xDC00", u"\xD83D", u"\xD83D" u"a",
                                        u"\u0080\u07FF\u0800\uFFFF"};
  // Each ending alone at the end of the range, then followed by more text.
  for (size_t run = 0; run <= 40; ++run) {
    SCOPED_TRACE(::testing::Message() << run << " ASCII characters first");
    for (const std::string& ending : byteEndings) {
      SCOPED_TRACE(::testing::PrintToString(ending));
      for (const std::string& text : {std::string(run, 'x') + ending,
                                      std::string(run, 'x') + ending + "0123456789abcdefghij\xCE\xA9"}) {
        CheckDecode(text, AllRoomsUpTo(text.size()));
      }
    }
    for (const std::u16string& ending : unitEndings) {
      SCOPED_TRACE(::testing::PrintToString(ending));
      for (const std::u16string& text : {std::u16string(run, u'x') + ending,
                                         std::u16string(run, u'x') + ending + u"0123456789abcdefghij\u03A9"}) {
        CheckEncode(text, AllRoomsUpTo(text.size() * 3));
      }
    }
  }
}

TEST(Utf8Reference, StressTestFile) {
  const std::string path = std::string(ZEB_CORPORA_DIR) + "/utf8/UTF-8-test.txt";
  std::ifstream file(path, std::ios::binary);
  if (!file) GTEST_SKIP() << "stress-test file not found: " << path;
  const Bytes whole{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  ASSERT_GT(whole.size(), 20000u);
  const auto full = static_cast<int64_t>(ReferenceDecode(whole, -1).units.size());
  ASSERT_GT(full, 1000);  // the file's valid opening decodes before its first stop
  CheckEncode(CheckDecode(whole, {full, full - 1, full / 2, 4096}), {static_cast<int64_t>(whole.size()), 100});

  int lines = 0;
  int linesWithStops = 0;
  for (auto start = whole.begin(); start < whole.end(); ++lines) {
    const auto end = std::find(start, whole.end(), '\n');
    const Bytes line(start, end);
    SCOPED_TRACE(::testing::Message() << "line " << lines + 1);
    const ReferenceDecoding reference = ReferenceDecode(line, -1);
    const auto count = static_cast<int64_t>(reference.units.size());
    linesWithStops += reference.consumed < static_cast<int64_t>(line.size());
    CheckEncode(CheckDecode(line, {count, std::max<int64_t>(count - 1, 0), count + 1}),
                {static_cast<int64_t>(line.size()), 1});
    start = end == whole.end() ? end : end + 1;
  }
  EXPECT_GT(lines, 200);
  EXPECT_GT(linesWithStops, 20);  // much of the file is malformed on purpose
}

}  // namespace
}  // namespace zeb
