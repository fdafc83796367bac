// The temporary string buffer's growth threshold and its limit, and string
// variables. (Appending, offsets and taking results are what the file and export
// suites do with the buffer on every call.)
#include <gtest/gtest.h>

#include <cstdint>

#include "runtime/core/string_variables.h"
#include "tests/core/unit_text.h"

namespace zeb {
namespace {

using TempStringBuffer = StringBufferTest;

TEST_F(TempStringBuffer, GrowsWhenTheNeedReachesCapacityLessFour) {
  ASSERT_EQ(TempBufferCapacity(), 16);
  // need 10 = capacity - 6: fits.
  ASSERT_NE(ReserveTempString(5, 0), nullptr);
  EXPECT_EQ(TempBufferCapacity(), 16);
  // need 12 = capacity - 4: grows to need + 16384.
  ASSERT_NE(ReserveTempString(1, 10), nullptr);
  EXPECT_EQ(TempBufferCapacity(), 12 + 16384);
}

// Text appended from the buffer itself is read from where it lies after the block
// has moved.
TEST_F(TempStringBuffer, AppendingTheBuffersOwnTextSurvivesItsGrowth) {
  AppendTempString(u"abcde");
  for (int i = 0; i < 14; ++i) AppendTempString(TempStringAddress(0));
  EXPECT_EQ(TempBufferPosition(), 10 << 14);
  EXPECT_EQ(Text(TempStringAddress(0)).substr(10 * 1000, 10), u"abcdeabcde");
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
  SetTempBufferLimit(kDefaultTempBufferLimit);
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
