// The export layer: host numbers rounded, and the buffer protocol of host calls.
#include "extension/host_strings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tests/core/unit_text.h"

namespace zeb {
namespace {

TEST(RoundToInteger, NearestWithTiesToEvenAndSafeEnds) {
  const std::pair<double, int64_t> cases[] = {
      {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4999999, 2}, {-0.6, -1}, {-65535.0, -65535},
      {4503599627370497.0, 4503599627370497},  // 2^52 + 1, exact
      {std::nan(""), 0}, {1e300, INT64_MAX}, {-1e300, INT64_MIN},
      {std::numeric_limits<double>::infinity(), INT64_MAX}, {-9223372036854775808.0, INT64_MIN}};
  for (const auto& [value, rounded] : cases) EXPECT_EQ(RoundToInteger(value), rounded) << value;
}

using HostStrings = StringBufferTest;

TEST_F(HostStrings, StringResultsStayPutAndNumberResultsLeaveTheBuffer) {
  AppendTempString(u"left by an earlier call");
  {
    // A new call reuses the space of the previous result...
    HostCall call;
    EXPECT_EQ(TempBufferPosition(), 0);
    StringVariable argument = DecodeHostString("abc");
    const char* result = call.Text(argument.get());
    // ...and leaves its own result, NUL-terminated, with the buffer's zero unit
    // after it at an even position.
    EXPECT_EQ(reinterpret_cast<const char*>(TempStringAddress(0)), result);
    EXPECT_STREQ(result, "abc");
    EXPECT_EQ(TempBufferPosition(), 4);
    EXPECT_EQ(TempStringAddress(4)[0], 0);
  }
  {
    HostCall call;
    StringVariable argument = DecodeHostString(std::string(40000, 'y').c_str());
    EXPECT_EQ(call.Number(7.5), 7.5);
    EXPECT_EQ(TempBufferPosition(), 0);
  }
}

}  // namespace
}  // namespace zeb
