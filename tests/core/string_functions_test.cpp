// Copies, comparisons and null texts. (The string functions fuzz target compares
// occurrence counts, integer values and fields, also of text inside the moving
// string buffer, with plain models of the rules on any text.)
#include "runtime/core/string_functions.h"

#include <gtest/gtest.h>

#include <utility>

#include "tests/core/unit_text.h"

namespace zeb {
namespace {

using StringFunctions = StringBufferTest;

TEST_F(StringFunctions, CopiesPadAndStopAtN) {
  Unit target[8];
  std::fill(std::begin(target), std::end(target), u'#');
  CopyStringN(target, u"abc", 5);
  EXPECT_EQ(std::u16string(target, 6), (std::u16string{u'a', u'b', u'c', 0, 0, u'#'}));
  std::fill(std::begin(target), std::end(target), u'#');
  CopyStringN(target, u"abc", 2);
  EXPECT_EQ(std::u16string(target, 3), u"ab#");
  CopyStringN(target, u"zz", 0);
  EXPECT_EQ(target[0], u'a');
}

TEST_F(StringFunctions, ComparisonsTakeUnitsAsSigned) {
  const Unit high[] = {0xFFFF, 0};
  EXPECT_EQ(CompareStrings(high, u"a"), -98);
  EXPECT_LT(CompareStrings(u"ab", u"abc"), 0);
  EXPECT_EQ(CompareStringsN(u"abcX", u"abcY", 3), 0);
  EXPECT_NE(CompareStringsN(u"abcX", u"abcY", 4), 0);
  EXPECT_EQ(CompareStringsN(u"x", u"y", 0), 0);
  EXPECT_EQ(CompareStringsN(u"ab", u"ab", 10), 0);
  EXPECT_EQ(CompareStringsNoCase(u"HeLLo", u"hello"), 0);
  EXPECT_NE(CompareStringsNoCase(u"hello", u"help"), 0);
  EXPECT_EQ(StringsEqual(nullptr, u""), 1);
  EXPECT_EQ(StringsEqual(u"a", nullptr), 0);
}

// The fuzz target gives no null texts.
TEST_F(StringFunctions, NullTextsAreEmpty) {
  EXPECT_EQ(StringToInteger(nullptr), 0);
  EXPECT_EQ(CountOccurrences(nullptr, u"a"), 0);
  EXPECT_EQ(CountOccurrences(u"a", nullptr), 0);
  for (const auto& [text, separator] : {std::pair<const Unit*, const Unit*>{nullptr, u"|"}, {u"a|b", nullptr}}) {
    const int64_t start = TempBufferPosition();
    ExtractField(text, 1, separator, start);
    EXPECT_EQ(TempText(start), separator == nullptr ? u"a|b" : u"");
  }
}

}  // namespace
}  // namespace zeb
