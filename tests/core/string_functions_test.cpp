// Copies, comparisons, integer values and fields. (The string functions fuzz target
// compares occurrence counts, integers and fields, also of text inside the moving
// string buffer, with plain models of the rules.)
#include "runtime/core/string_functions.h"

#include <gtest/gtest.h>

#include <tuple>

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

TEST_F(StringFunctions, StringToIntegerPrefixesAndSigns) {
  const std::pair<const Unit*, int64_t> cases[] = {
      {u"  -42", -42}, {u"\t+$1F", 31}, {u"-$ff", -255}, {u"%1011", 11}, {u"%2", 0}, {u"12abc", 12},
      {u"x12", 0},     {u"--5", 0},      {u"+-5", 0},     {u"- 5", 0},     {u"$", 0},  {u"$fG", 15},
      {nullptr, 0},    {u"400,300", 400},
      // 64-bit arithmetic wraps without a fault.
      {u"18446744073709551617", 1}, {u"-9223372036854775808", INT64_MIN}};
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(StringToInteger(text), value) << ::testing::PrintToString(Text(text));
  }
}

TEST_F(StringFunctions, ExtractFieldWithOneAndMultiUnitSeparators) {
  const std::tuple<const Unit*, int32_t, const Unit*, std::u16string> cases[] = {
      {u"a|b|c", 2, u"|", u"b"},   {u"a|b|c", 3, u"|", u"c"},   {u"a|b|c", 4, u"|", u""}, {u"a|b|c", 0, u"|", u""},
      {u"a|b|c", -3, u"|", u""},   {u"a||c", 2, u"|", u""},     {u"a||c", 3, u"|", u"c"}, {u"one|", 2, u"|", u""},
      {u"whole", 1, u"", u"whole"}, {u"whole", 2, u"", u""},    {nullptr, 1, u"|", u""},
      {u"a::::b", 2, u"::", u""},  {u"a::::b", 3, u"::", u"b"}, {u"a:b::c", 1, u"::", u"a:b"},
      {u"a:::b", 2, u"::", u":b"}, {u"ab", 1, u"::", u"ab"},    {u"ab::", 2, u"::", u""}, {u"ab::", 3, u"::", u""}};
  for (const auto& [s, index, separator, field] : cases) {
    SCOPED_TRACE(::testing::Message() << ::testing::PrintToString(Text(s)) << " field " << index);
    const int64_t start = TempBufferPosition();
    ExtractField(s, index, separator, start);
    EXPECT_EQ(TempText(start), field);
    SetTempBufferPosition(start);
  }
}

}  // namespace
}  // namespace zeb
