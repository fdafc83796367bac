// Lengths, copies, comparisons, integer values, occurrence counts and fields.
#include "runtime/core/string_functions.h"

#include <gtest/gtest.h>

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
  // A list built in the buffer whose long last field, copied after it, makes the
  // buffer grow (and move) while the field is read from the old place.
  const std::u16string longField(9000, u'y');
  AppendTempString((u"a|" + longField).c_str());
  const int64_t capacity = TempBufferCapacity();
  const int64_t start = TempBufferPosition();
  ExtractField(TempStringAddress(0), 2, u"|", start);
  EXPECT_GT(TempBufferCapacity(), capacity);
  EXPECT_TRUE(Text(TempStringAddress(start)) == longField);
  // The field moved down onto the list it comes from.
  InitStringBuffer();
  AppendTempString((u"a|" + longField).c_str());
  ExtractField(TempStringAddress(0), 2, u"|", 0);
  EXPECT_TRUE(Text(TempStringAddress(0)) == longField);
  EXPECT_EQ(TempBufferPosition(), 18000);
}

}  // namespace
}  // namespace zeb
