// The clipboard exports on every backend.
#include <gtest/gtest.h>

#include <string>

#include "extension/exports.h"
#include "tests/scenarios/scenario_fixture.h"

namespace zeb {
namespace {

using ClipboardScenario = ScenarioNeeding<kPasteboard>;

TEST_P(ClipboardScenario, TextRoundTripsThroughTheExports) {
  const std::string text = "caf\xC3\xA9 \xF0\x9F\x98\x80 \xE2\x82\xAC and more";
  EXPECT_EQ(ClipboardSetText(text.c_str()), 0);
  EXPECT_EQ(std::string(ClipboardGetText()), text);
  EXPECT_EQ(toolkit().pasteboard().Text(), u"caf\u00E9 \U0001F600 \u20AC and more");

  EXPECT_EQ(ClipboardSetText(""), 0);
  EXPECT_STREQ(ClipboardGetText(), "");
  EXPECT_EQ(toolkit().pasteboard().Text(), u"");
  EXPECT_EQ(ClipboardSetText(nullptr), 0);
  EXPECT_STREQ(ClipboardGetText(), "");

  // An ill-formed piece of UTF-8 costs only itself: it becomes U+FFFD.
  EXPECT_EQ(ClipboardSetText("a\xED\xA0\x80" "b\xFF"), 0);
  EXPECT_STREQ(ClipboardGetText(), "a\uFFFD\uFFFD\uFFFD" "b\uFFFD");
}

TEST_P(ClipboardScenario, AnImageAloneReadsAsNoText) {
  ClipboardSetText("before");
  automation().CopyImageElsewhere();
  EXPECT_STREQ(ClipboardGetText(), "");
}

INSTANTIATE_TEST_SUITE_P(Backends, ClipboardScenario, ::testing::ValuesIn(AvailableBackends()), BackendName);

}  // namespace
}  // namespace zeb
