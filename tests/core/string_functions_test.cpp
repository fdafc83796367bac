// Lengths, copies, comparisons, integer values, occurrence counts and fields.
#include "runtime/core/string_functions.h"

#include <gtest/gtest.h>

#include "runtime/core/string_variables.h"
#include "runtime/core/temp_string_buffer.h"
#include "tests/core/unit_text.h"

namespace zeb {
namespace {

TEST(StringFunctions, CopiesPadAndStopAtN) {
  Unit target[8];
  std::fill(std::begin(target), std::end(target), u'#');
  CopyStringN(target, u"abc", 5);
  EXPECT_EQ(std::u16string(target, 6), (std::u16string{u'a', u'b', u'c', 0, 0, u'#'}));
  std::fill(std::begin(target), std::end(target), u'#');
  CopyStringN(target, u"abc", 2);
  EXPECT_EQ(std::u16string(target, 3), u"ab#");
  CopyStringN(target, u"zz", 0);
  EXPECT_EQ(target[0], u'a');
  EXPECT_EQ(Text(CopyString(target, u"copy")), u"copy");
  EXPECT_EQ(StringLength(u""), 0);
  EXPECT_EQ(StringLength(u"four"), 4);
}

TEST(StringFunctions, ComparisonsTakeUnitsAsSigned) {
  const Unit high[] = {0xFFFF, 0};
  EXPECT_EQ(CompareStrings(high, u"a"), -98);
  EXPECT_EQ(CompareStrings(u"abc", u"abc"), 0);
  EXPECT_GT(CompareStrings(u"abd", u"abc"), 0);
  EXPECT_LT(CompareStrings(u"ab", u"abc"), 0);
  EXPECT_EQ(CompareStringsN(u"abcX", u"abcY", 3), 0);
  EXPECT_NE(CompareStringsN(u"abcX", u"abcY", 4), 0);
  EXPECT_EQ(CompareStringsN(u"x", u"y", 0), 0);
  EXPECT_EQ(CompareStringsN(u"ab", u"ab", 10), 0);
  EXPECT_EQ(CompareStringsNoCase(u"HeLLo", u"hello"), 0);
  EXPECT_NE(CompareStringsNoCase(u"hello", u"help"), 0);
  EXPECT_EQ(StringsEqual(nullptr, u""), 1);
  EXPECT_EQ(StringsEqual(u"a", nullptr), 0);
  EXPECT_EQ(StringsEqual(u"same", u"same"), 1);
}

TEST(StringFunctions, StringToIntegerPrefixesAndSigns) {
  EXPECT_EQ(StringToInteger(u"  -42"), -42);
  EXPECT_EQ(StringToInteger(u"\t+$1F"), 31);
  EXPECT_EQ(StringToInteger(u"-$ff"), -255);
  EXPECT_EQ(StringToInteger(u"%1011"), 11);
  EXPECT_EQ(StringToInteger(u"%2"), 0);
  EXPECT_EQ(StringToInteger(u"12abc"), 12);
  EXPECT_EQ(StringToInteger(u"x12"), 0);
  EXPECT_EQ(StringToInteger(u"--5"), 0);
  EXPECT_EQ(StringToInteger(u"+-5"), 0);
  EXPECT_EQ(StringToInteger(u"- 5"), 0);
  EXPECT_EQ(StringToInteger(u"$"), 0);
  EXPECT_EQ(StringToInteger(u"$fG"), 15);
  EXPECT_EQ(StringToInteger(nullptr), 0);
  EXPECT_EQ(StringToInteger(u"400,300"), 400);
  // 64-bit arithmetic wraps without a fault.
  EXPECT_EQ(StringToInteger(u"18446744073709551617"), 1);
  EXPECT_EQ(StringToInteger(u"-9223372036854775808"), INT64_MIN);
}

TEST(StringFunctions, CountOccurrencesDoesNotOverlap) {
  EXPECT_EQ(CountOccurrences(u"aaaa", u"aa"), 2);
  EXPECT_EQ(CountOccurrences(u"aaa", u"aa"), 1);
  EXPECT_EQ(CountOccurrences(u"abcabc", u"c"), 2);
  EXPECT_EQ(CountOccurrences(u"abab", u"abc"), 0);
  EXPECT_EQ(CountOccurrences(u"Aa", u"a"), 1);
  EXPECT_EQ(CountOccurrences(u"abc", u""), 0);
  EXPECT_EQ(CountOccurrences(nullptr, u"a"), 0);
  EXPECT_EQ(CountOccurrences(u"a", nullptr), 0);
}

class ExtractFieldTest : public ::testing::Test {
 protected:
  void SetUp() override { InitStringBuffer(); }
  void TearDown() override { FreeStringBuffer(); }

  std::u16string Field(const Unit* s, int32_t index, const Unit* separator) {
    const int64_t start = TempBufferPosition();
    ExtractField(s, index, separator, start);
    EXPECT_EQ(TempStringAddress(TempBufferPosition())[0], 0);
    std::u16string field(TempStringAddress(start), (TempBufferPosition() - start) / 2);
    SetTempBufferPosition(start);
    return field;
  }
};

TEST_F(ExtractFieldTest, OneUnitSeparators) {
  EXPECT_EQ(Field(u"a|b|c", 2, u"|"), u"b");
  EXPECT_EQ(Field(u"a|b|c", 3, u"|"), u"c");
  EXPECT_EQ(Field(u"a|b|c", 4, u"|"), u"");
  EXPECT_EQ(Field(u"a|b|c", 0, u"|"), u"");
  EXPECT_EQ(Field(u"a|b|c", -3, u"|"), u"");
  EXPECT_EQ(Field(u"a||c", 2, u"|"), u"");
  EXPECT_EQ(Field(u"a||c", 3, u"|"), u"c");
  EXPECT_EQ(Field(u"one|", 2, u"|"), u"");
  EXPECT_EQ(Field(u"whole", 1, u""), u"whole");
  EXPECT_EQ(Field(u"whole", 2, u""), u"");
  EXPECT_EQ(Field(nullptr, 1, u"|"), u"");
  EXPECT_EQ(Field(u"400,300", 2, u","), u"300");
}

TEST_F(ExtractFieldTest, MultiUnitSeparators) {
  EXPECT_EQ(Field(u"a::b", 2, u"::"), u"b");
  EXPECT_EQ(Field(u"a::::b", 2, u"::"), u"");
  EXPECT_EQ(Field(u"a::::b", 3, u"::"), u"b");
  EXPECT_EQ(Field(u"a:b::c", 1, u"::"), u"a:b");
  EXPECT_EQ(Field(u"a:::b", 2, u"::"), u":b");
  EXPECT_EQ(Field(u"ab", 1, u"::"), u"ab");
  EXPECT_EQ(Field(u"ab::", 2, u"::"), u"");
  EXPECT_EQ(Field(u"ab::", 3, u"::"), u"");
}

TEST_F(ExtractFieldTest, SourceInsideTheBufferSurvivesGrowth) {
  // A long list built in the buffer, whose field is moved back to the start of
  // the buffer while the reservation may move the block.
  AppendTempString(u"x|");
  for (int i = 0; i < 13; ++i) AppendTempString(TempStringAddress(0));
  AppendTempString(u"last");
  StringVariable list;
  list.Take(0);
  const int64_t fields = CountOccurrences(list.get(), u"|") + 1;
  EXPECT_EQ(Field(list.get(), static_cast<int32_t>(fields), u"|"), u"last");
  AppendTempString(list.get());
  const int64_t start = TempBufferPosition();
  ExtractField(TempStringAddress(0), static_cast<int32_t>(fields), u"|", start);
  EXPECT_EQ(Text(TempStringAddress(start)), u"last");
  ExtractField(TempStringAddress(0), static_cast<int32_t>(fields), u"|", 0);
  EXPECT_EQ(Text(TempStringAddress(0)), u"last");
  EXPECT_EQ(TempBufferPosition(), 8);
}

}  // namespace
}  // namespace zeb
