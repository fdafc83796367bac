// The dialog exports answered as a user would, on every backend.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "extension/exports.h"
#include "runtime/events/windows.h"
#include "tests/scenarios/scenario_fixture.h"

namespace zeb {
namespace {

using ::testing::Contains;
using ::testing::UnorderedElementsAre;

using AlertScenario = ScenarioNeeding<kAlerts>;

using StringPanelScenario = ScenarioNeeding<kControls>;

using ColorPanelScenario = ScenarioNeeding<kColorPanel, kControls>;

// "No" and the close box answer the question; "Yes", the default button, answers
// Return as in every dialog (FileDialogScenario.EscapeCancelsAndReturnConfirms...).
TEST_P(AlertScenario, QuestionAnswersNoOrClosedAndGivesTheKeyboardBack) {
  OpenTestWindow(1);
  platform::ModalContents shown;
  automation().WhenModal([&] {
    shown = automation().ModalWindowContents();
    automation().PressButton(u"No");
  });
  EXPECT_EQ(ShowQuestion("Leave?", "Unsaved work is lost."), 0);
  EXPECT_THAT(shown.labels, Contains(u"Leave?"));
  EXPECT_THAT(shown.labels, Contains(u"Unsaved work is lost."));
  EXPECT_THAT(shown.buttons, UnorderedElementsAre(u"Yes", u"No"));
  EXPECT_TRUE(PumpUntilKey(WindowID(1)));

  // The window manager's close box answers neither, and the host goes on.
  automation().WhenModal([&] { automation().CloseModalWindow(); });
  EXPECT_EQ(ShowQuestion("caf\xC3\xA9", nullptr), -1);
  EXPECT_TRUE(PumpUntilKey(WindowID(1)));
}

// The panel replaces its selected default with what is typed. It is 370 x 120 at
// the least, taller where the toolkit draws taller controls, and grows with a wide
// message of several lines; no control touches another or the panel's edges.
TEST_P(StringPanelScenario, StringPanelReplacesTheSelectedDefaultWithWhatIsTyped) {
  for (const std::string& message : {std::string("Your name:"), std::string(80, 'w') + "\nsecond line\nthird line"}) {
    const bool grows = message.size() > 20;
    platform::ModalContents shown;
    automation().WhenModal([&] {
      shown = automation().ModalWindowContents();
      automation().TypeText(u"typed text\r");
    });
    EXPECT_STREQ(GetString("Name", message.c_str(), "d\xC3\xA9" "fault", 0), "typed text");
    EXPECT_EQ(shown.title, u"Name");
    EXPECT_THAT(shown.buttons, UnorderedElementsAre(u"OK"));
    EXPECT_EQ(shown.field, u"d\u00E9fault");
    EXPECT_EQ(shown.selection, (std::pair<int64_t, int64_t>{0, 7}));
    EXPECT_FALSE(shown.secure);
    if (grows) {
      EXPECT_GT(shown.content.width, 370);
      EXPECT_GT(shown.content.height, 120);
    } else {
      EXPECT_THAT(shown.labels, Contains(u"Your name:"));
      EXPECT_EQ(shown.content.width, 370);
      EXPECT_GE(shown.content.height, 120);
    }
    ASSERT_EQ(shown.controls.size(), 3u);
    constexpr double kClear = 4;
    for (size_t i = 0; i < shown.controls.size(); ++i) {
      const platform::Rect& a = shown.controls[i];
      EXPECT_GE(a.x, kClear) << i;
      EXPECT_GE(a.y, kClear) << i;
      EXPECT_LE(a.x + a.width, shown.content.width - kClear) << i;
      EXPECT_LE(a.y + a.height, shown.content.height - kClear) << i;
      for (size_t j = i + 1; j < shown.controls.size(); ++j) {
        const platform::Rect& b = shown.controls[j];
        const bool apart = a.y + a.height + kClear <= b.y || b.y + b.height + kClear <= a.y ||
                           a.x + a.width + kClear <= b.x || b.x + b.width + kClear <= a.x;
        EXPECT_TRUE(apart) << i << " and " << j;
      }
    }
  }
}

// The password panel hides the typing and gives it unchanged, whatever the flag's
// sign or size; closed with its close button, any string panel gives nothing.
TEST_P(StringPanelScenario, PasswordPanelHidesTheTypingAndTheCloseButtonGivesNothing) {
  for (const double password : {1.0, -1.0, 0.5, 0.0}) {
    const bool closed = password == 0;
    platform::ModalContents shown;
    automation().WhenModal([&] {
      automation().TypeText(u"s3cret");
      shown = automation().ModalWindowContents();
      closed ? automation().CloseModalWindow() : automation().PressButton(u"OK");
    });
    EXPECT_STREQ(GetString("Password", "", "default", password), closed ? "" : "s3cret") << password;
    EXPECT_EQ(shown.secure, !closed) << password;
  }
}

TEST_P(ColorPanelScenario, ColorPanelGivesThePickedColourOrTheArgumentUnchanged) {
  OpenTestWindow(1);
  automation().WhenModal([&] { automation().PressButton(u"OK"); });
  EXPECT_EQ(GetColor(255, 100, 100), 255);
  // GetColor closes every runtime window, before and after.
  EXPECT_EQ(WindowID(1), nullptr);
  EXPECT_EQ(WindowID(255), nullptr);

  automation().WhenModal([&] {
    automation().PickColor({0, 0, 1, 1});
    automation().PressButton(u"OK");
  });
  EXPECT_EQ(GetColor(255.25, 10, 10), 16711680);

  automation().WhenModal([&] {
    automation().PickColor({0, 1, 0, 1});
    automation().PressButton(u"Cancel");
  });
  EXPECT_EQ(GetColor(255.25, 10, 10), 255.25);

  automation().WhenModal([&] { automation().CloseModalWindow(); });
  EXPECT_EQ(GetColor(-1, 10, 10), -1);
  EXPECT_EQ(WindowID(255), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Backends, AlertScenario, ::testing::ValuesIn(AvailableBackends()), BackendName);
INSTANTIATE_TEST_SUITE_P(Backends, StringPanelScenario, ::testing::ValuesIn(AvailableBackends()), BackendName);
INSTANTIATE_TEST_SUITE_P(Backends, ColorPanelScenario, ::testing::ValuesIn(AvailableBackends()), BackendName);

}  // namespace
}  // namespace zeb
