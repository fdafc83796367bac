// The temporary string buffer: growth threshold, the 2 GiB refusal, the result
// protocol and string variables.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "runtime/core/string_variables.h"
#include "tests/core/unit_text.h"

namespace zeb {
namespace {

class TempStringBuffer : public StringBufferTest {
 protected:
  void TearDown() override {
    SetTempBufferLimit(kDefaultTempBufferLimit);
    StringBufferTest::TearDown();
  }
};

TEST_F(TempStringBuffer, GrowsWhenTheNeedReachesCapacityLessFour) {
  ASSERT_EQ(TempBufferCapacity(), 16);
  // need 10 = capacity - 6: fits.
  ASSERT_NE(ReserveTempString(5, 0), nullptr);
  EXPECT_EQ(TempBufferCapacity(), 16);
  EXPECT_EQ(TempBufferPosition(), 10);
  // need 12 = capacity - 4: grows to need + 16384.
  ASSERT_NE(ReserveTempString(1, 10), nullptr);
  EXPECT_EQ(TempBufferCapacity(), 12 + 16384);
  EXPECT_EQ(TempBufferPosition(), 12);
  // The check counts from the buffer position even when reserving lower.
  const int64_t capacity = TempBufferCapacity();
  ASSERT_NE(ReserveTempString((capacity - 4 - 12) / 2, 0), nullptr);
  EXPECT_EQ(TempBufferCapacity(), capacity + 16384 - 4);
}

TEST_F(TempStringBuffer, RefusesAReservationThatWouldReachTheLimitAndStaysIntact) {
  SetTempBufferLimit(1 << 20);
  AppendTempString(u"keep");
  const int64_t capacity = TempBufferCapacity();
  EXPECT_EQ(ReserveTempString((1 << 19), 8), nullptr);
  EXPECT_EQ(ReserveTempString(INT64_MAX / 2, 8), nullptr);
  EXPECT_EQ(ReserveTempString(-1, 8), nullptr);
  EXPECT_EQ(TempBufferCapacity(), capacity);
  EXPECT_EQ(TempBufferPosition(), 8);
  EXPECT_EQ(Text(TempStringAddress(0)), u"keep");
  // Just below the limit still works.
  EXPECT_NE(ReserveTempString((1 << 19) - 16384 / 2 - 16, 0), nullptr);
}

TEST_F(TempStringBuffer, AppendsConcatenateAndNullOnlyTerminates) {
  const int64_t start = TempBufferPosition();
  for (const Unit* s : {u"ab", u"", static_cast<const Unit*>(nullptr), u"cde"}) AppendTempString(s);
  EXPECT_EQ(TempBufferPosition(), start + 10);
  EXPECT_EQ(Text(TempStringAddress(start)), u"abcde");
  // Appending text that lies in the buffer survives the block moving.
  for (int i = 0; i < 14; ++i) AppendTempString(TempStringAddress(start));
  EXPECT_EQ(TempBufferPosition(), start + 10 * (1 << 14));
  EXPECT_EQ(Text(TempStringAddress(start)).substr(10 * 1000, 10), u"abcdeabcde");
}

TEST_F(TempStringBuffer, OffsetsAndEmptyResults) {
  AppendTempString(u"xyz");
  const Unit* base = TempStringAddress(0);
  EXPECT_EQ(TempStringOffset(base), 1);
  EXPECT_EQ(TempStringOffset(base + 3), 7);  // the end of the used part counts
  EXPECT_EQ(TempStringOffset(base + 4), 0);
  EXPECT_EQ(TempStringOffset(u"elsewhere"), 0);
  EXPECT_EQ(EmptyTempResult(2), base);
  EXPECT_EQ(TempBufferPosition(), 2);
  EXPECT_EQ(base[1], 0);
  ReleaseTempUnits(1);
  EXPECT_EQ(TempBufferPosition(), 0);
}

TEST_F(TempStringBuffer, TakeMovesTheResultIntoAVariableAndRewinds) {
  AppendTempString(u"outer ");
  const int64_t start = TempBufferPosition();
  AppendTempString(u"inner");
  Unit* variable = nullptr;
  TakeTempString(&variable, start);
  EXPECT_EQ(Text(variable), u"inner");
  EXPECT_EQ(TempBufferPosition(), start);
  // Nested results: the outer text is untouched by the inner one taken.
  EXPECT_EQ(Text(TempStringAddress(0)).substr(0, 6), u"outer ");
  // An empty result gives a real (non-null) empty string.
  EmptyTempResult(start);
  TakeTempString(&variable, start);
  ASSERT_NE(variable, nullptr);
  EXPECT_EQ(variable[0], 0);
  FreeStringVariable(variable);
}

TEST(StringVariables, SetCopyAndFree) {
  Unit* variable = nullptr;
  EXPECT_EQ(SetStringVariable(&variable, u"abc"), 8);
  // Setting a variable from its own text.
  EXPECT_EQ(SetStringVariable(&variable, variable + 1), 6);
  EXPECT_EQ(Text(variable), u"bc");
  EXPECT_EQ(SetStringVariable(&variable, nullptr), 2);
  EXPECT_EQ(variable, nullptr);
  CopyStringArgument(&variable, nullptr);
  EXPECT_EQ(variable, nullptr);
  CopyStringArgument(&variable, u"param");
  EXPECT_EQ(Text(variable), u"param");
  FreeStringVariable(variable);
  FreeStringVariable(nullptr);
  EXPECT_EQ(StringVariable().get()[0], 0);
}

}  // namespace
}  // namespace zeb
