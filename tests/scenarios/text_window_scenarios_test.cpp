// The text window (GetText) and its gadgets as a user drives them, on every backend.
#include <gtest/gtest.h>

#include <string>

#include "extension/exports.h"
#include "platform/toolkit.h"
#include "runtime/events/application.h"
#include "runtime/events/event_queue.h"
#include "runtime/events/windows.h"
#include "runtime/gadgets/button_gadget.h"
#include "runtime/gadgets/drag_drop.h"
#include "runtime/gadgets/editor_gadget.h"
#include "runtime/gadgets/text_window.h"
#include "tests/scenarios/scenario_fixture.h"

namespace zeb {
namespace {

using TextWindowScenario = ScenarioNeeding<kControls, kTextViews>;

platform::Window* TextWindowShown() { return WindowID(kReservedWindow); }

TEST_P(TextWindowScenario, LaysOutFollowsTheWindowAndReturnsTheTypedText) {
  platform::Rect editor, button, grownEditor, grownButton;
  automation().WhenKey({
      [&] {
        EXPECT_EQ(WindowWidth(kReservedWindow, 1), 400);
        EXPECT_EQ(WindowHeight(kReservedWindow, 1), 300);
        editor = GadgetFrame(kTextWindowEditor);
        button = GadgetFrame(kTextWindowButton);
        automation().TypeText(u"new\r");
      },
      [&] { automation().ResizeContent(TextWindowShown(), {600, 500}); },
      [&] {
        grownEditor = GadgetFrame(kTextWindowEditor);
        grownButton = GadgetFrame(kTextWindowButton);
        automation().Click(TextWindowShown(), GadgetCentre(kTextWindowButton), 1, platform::MouseButton::Left);
      },
  });
  EXPECT_STREQ(GetText("400,300", "Notes", "kept", "Save"), "new\nkept");
  EXPECT_EQ(editor, (platform::Rect{0, 0, 400, 220}));
  EXPECT_EQ(button, (platform::Rect{0, 220, 400, 80}));
  EXPECT_EQ(grownEditor, (platform::Rect{0, 0, 600, 420}));
  EXPECT_EQ(grownButton, (platform::Rect{0, 420, 600, 80}));
  EXPECT_EQ(TextWindowShown(), nullptr);
}

TEST_P(TextWindowScenario, TextsComeBackUnchanged) {
  std::string large;
  while (large.size() < (std::size_t{10} << 20)) large += "line \xC3\xBC\xE4\xB8\xAD\xF0\x9F\x98\x80 ab\n";
  for (const std::string& text : {std::string("\xF0\x9F\x98\x80 \xC3\xBCn\xC3\xAF\nsecond line"), large}) {
    automation().WhenKey({[&] {
      automation().Click(TextWindowShown(), GadgetCentre(kTextWindowButton), 1, platform::MouseButton::Left);
    }});
    const char* result = GetText("400,300", "Notes", text.c_str(), "Save");
    EXPECT_TRUE(result == text) << text.size() << " bytes";
  }
}

// The window's size as the text gives it; its close button gives nothing, even
// with text typed.
TEST_P(TextWindowScenario, SizeTextsAndTheCloseButton) {
  struct Size {
    const char* text;
    int64_t width;
    int64_t height;
  };
  // No height is as low as the toolkit makes a window (GTK: 1).
  for (const Size& size : {Size{"$190,%1010", 400, 10}, Size{" 250 , 120", 250, 120}, Size{"320", 320, 1}}) {
    int64_t width = -1, height = -1;
    automation().WhenKey({[&] {
                            width = WindowWidth(kReservedWindow, 1);
                            height = WindowHeight(kReservedWindow, 1);
                            automation().TypeText(u"lost");
                          },
                          [&] { automation().PressCloseButton(TextWindowShown()); }});
    EXPECT_STREQ(GetText(size.text, "", "kept", ""), "");
    EXPECT_EQ(TextWindowShown(), nullptr);
    EXPECT_EQ(width, size.width) << size.text;
    EXPECT_LE(height, size.height) << size.text;
    EXPECT_GE(height, size.height == 1 ? 0 : size.height) << size.text;
  }
}

// A window with an editor and a button below it, as a program makes them.
class GadgetScenario : public ScenarioNeeding<kControls, kTextViews> {
 protected:
  void OpenGadgets() {
    OpenTestWindow(1);
    ASSERT_NE(EditorGadget(1, 10, 10, 200, 100, 0), 0);
    ASSERT_NE(ButtonGadget(2, 10, 130, 100, 25, u"Press", 0), 0);
    PumpUntilIdle();
  }
  platform::Window* window() { return WindowID(1); }
};

TEST_P(GadgetScenario, DropsPostARecordThatLastsUntilTheNextWait) {
  OpenGadgets();
  platform::DragContents text;
  text.text = u"dropped \u00FC";
  automation().Drop(window(), GadgetCentre(1), std::move(text), platform::DragCopy | platform::DragMove);
  PumpUntil(GadgetDropEvent);
  EXPECT_EQ(EventGadget(), 1);
  EXPECT_EQ(EventWindow(), 1);
  const DropRecord* record = PendingDrop();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->format, DropFormatText);
  EXPECT_EQ(record->action, DropActionMove);
  EXPECT_EQ(*record->text, u"dropped \u00FC");
  WaitWindowEvent(0);
  EXPECT_EQ(PendingDrop(), nullptr);
  // The editor posts the drop and does not insert it.
  EXPECT_EQ(CountGadgetItems(1), 0);

  platform::DragContents files;
  files.files = std::vector<platform::ToolkitString>{u"/tmp/a b.txt", u"/tmp/\u00E9t\u00E9"};
  automation().Drop(window(), GadgetCentre(1), std::move(files), platform::DragCopy);
  PumpUntil(GadgetDropEvent);
  ASSERT_NE(PendingDrop(), nullptr);
  EXPECT_EQ(PendingDrop()->format, DropFormatFiles);
  EXPECT_EQ(PendingDrop()->action, DropActionCopy);
  EXPECT_EQ(*PendingDrop()->text, u"/tmp/a b.txt\n/tmp/\u00E9t\u00E9");

  // The button takes no drops.
  platform::DragContents refused;
  refused.text = u"nothing";
  automation().Drop(window(), GadgetCentre(2), std::move(refused), platform::DragCopy);
  const std::vector<int64_t> after = PumpUntilIdle();
  EXPECT_EQ(std::count(after.begin(), after.end(), GadgetDropEvent), 0);
}

// The editing keys reach the focused editor, also where the menu's Ctrl is the same
// key (GTK) and its "Save as" and "Close" shortcuts are these keys too.
TEST_P(GadgetScenario, EditingKeysReachTheFocusedEditorAndNotTheMenu) {
  if (!can().pasteboard) GTEST_SKIP() << "this backend has no pasteboard";
  OpenGadgets();
  if (can().menus) AddMenu(static_cast<double>(reinterpret_cast<intptr_t>(window())));
  automation().Click(window(), GadgetCentre(1), 1, platform::MouseButton::Left);
  PumpUntilIdle();
  automation().TypeText(u"cut me");
  automation().PressKey(u'a', platform::ModifierCommand);
  automation().PressKey(u'c', platform::ModifierCommand);
  const std::vector<int64_t> taken = PumpUntilIdle();
  EXPECT_EQ(std::count(taken.begin(), taken.end(), MenuEvent), 0);
  EXPECT_EQ(toolkit().pasteboard().Text(), u"cut me");
  automation().PressKey(u'x', platform::ModifierCommand);
  PumpUntilIdle();
  EXPECT_EQ(CountGadgetItems(1), 0);
  EXPECT_EQ(toolkit().pasteboard().Text(), u"cut me");
  automation().PressKey(u'v', platform::ModifierCommand);
  automation().PressKey(u'v', platform::ModifierCommand);
  PumpUntilIdle();
  EXPECT_EQ(dynamic_cast<platform::TextView*>(IsGadget(1)->view)->String(), u"cut mecut me");
}

INSTANTIATE_TEST_SUITE_P(Backends, TextWindowScenario, ::testing::ValuesIn(AvailableBackends()), BackendName);
INSTANTIATE_TEST_SUITE_P(Backends, GadgetScenario, ::testing::ValuesIn(AvailableBackends()), BackendName);

}  // namespace
}  // namespace zeb
