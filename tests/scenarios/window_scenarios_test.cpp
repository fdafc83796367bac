// Windows and the event loop as a user drives them, on every backend.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "runtime/events/application.h"
#include "runtime/events/event_queue.h"
#include "runtime/events/gadget_list.h"
#include "runtime/events/windows.h"
#include "tests/scenarios/scenario_fixture.h"

namespace zeb {
namespace {

using ::testing::ElementsAre;

using WindowScenario = Scenario;

TEST_P(WindowScenario, ZoomMaximisesThenRestores) {
  if (!can().zoom) GTEST_SKIP() << "this backend cannot zoom windows";
  OpenTestWindow(1);
  platform::Window* window = WindowID(1);
  const int64_t width = WindowWidth(1, 1);
  automation().PressZoomButton(window);
  std::vector<int64_t> events = PumpUntil(MaximizeWindowEvent);
  EXPECT_EQ(std::count(events.begin(), events.end(), RestoreWindowEvent), 0);
  EXPECT_EQ(PumpUntil(SizeWindowEvent).back(), SizeWindowEvent);
  PumpUntilIdle();
  EXPECT_TRUE(window->IsZoomed());
  EXPECT_GT(WindowWidth(1, 1), width);
  automation().PressZoomButton(window);
  events = PumpUntil(RestoreWindowEvent);
  EXPECT_EQ(std::count(events.begin(), events.end(), MaximizeWindowEvent), 0);
  EXPECT_EQ(PumpUntil(SizeWindowEvent).back(), SizeWindowEvent);
  PumpUntilIdle();
  EXPECT_FALSE(window->IsZoomed());
  EXPECT_EQ(WindowWidth(1, 1), width);
}

TEST_P(WindowScenario, MiniaturiseAndBringBack) {
  if (!can().miniaturize) GTEST_SKIP() << "this backend cannot miniaturise windows";
  OpenTestWindow(1);
  platform::Window* window = WindowID(1);
  automation().Miniaturize(window);
  PumpUntil(MinimizeWindowEvent);
  EXPECT_TRUE(window->IsMiniaturized());
  automation().Deminiaturize(window);
  PumpUntil(RestoreWindowEvent);
  EXPECT_FALSE(window->IsMiniaturized());
}

TEST_P(WindowScenario, SingleDoubleAndTripleClicks) {
  OpenTestWindow(1);
  platform::Window* window = WindowID(1);
  automation().Click(window, {20, 20}, 1, platform::MouseButton::Left);
  EXPECT_THAT(PumpUntilIdle(), ElementsAre(LeftClickEvent));
  automation().Click(window, {20, 20}, 2, platform::MouseButton::Left);
  EXPECT_THAT(PumpUntilIdle(), ElementsAre(LeftClickEvent, LeftDoubleClickEvent));
  automation().Click(window, {20, 20}, 3, platform::MouseButton::Left);
  EXPECT_THAT(PumpUntilIdle(), ElementsAre(LeftClickEvent, LeftDoubleClickEvent));
  automation().Click(window, {20, 20}, 1, platform::MouseButton::Right);
  EXPECT_THAT(PumpUntilIdle(), ElementsAre(RightClickEvent));
  EXPECT_EQ(EventWindow(), 1);
}

TEST_P(WindowScenario, UserMovesAndResizes) {
  OpenTestWindow(1);
  platform::Window* window = WindowID(1);
  automation().ResizeContent(window, {420, 260});
  PumpUntil(SizeWindowEvent);
  EXPECT_EQ(WindowWidth(1, 1), 420);
  EXPECT_EQ(WindowHeight(1, 1), 260);
  automation().MoveFrame(window, {250, 180});
  PumpUntil(MoveWindowEvent);
  EXPECT_EQ(window->Frame().x, 250);
  EXPECT_EQ(window->Frame().y, 180);
}

// A window that becomes key posts its activation and the window that was key its
// deactivation; the window that was key before a key window closes becomes key again.
TEST_P(WindowScenario, KeyChangesPostEventsAndThePreviousKeyWindowBecomesKeyAgain) {
  OpenTestWindow(1);
  OpenWindow(2, 500, 100, 200, 100, u"second", 0x76);
  const std::vector<int64_t> events = PumpUntilIdle();
  EXPECT_NE(std::find(events.begin(), events.end(), DeactivateWindowEvent), events.end());
  EXPECT_NE(std::find(events.begin(), events.end(), ActivateWindowEvent), events.end());
  automation().Activate(WindowID(1));
  PumpUntil(ActivateWindowEvent);
  EXPECT_EQ(EventWindow(), 1);
  EXPECT_EQ(toolkit().KeyWindow(), WindowID(1));
  automation().Activate(WindowID(2));
  PumpUntil(ActivateWindowEvent);
  OpenTestWindow(3);
  ASSERT_EQ(toolkit().KeyWindow(), WindowID(3));
  // Window 2 was key when 3 opened.
  CloseWindow(3);
  PumpUntilIdle();
  EXPECT_EQ(toolkit().KeyWindow(), WindowID(2));
  // Window 1 was key when 2 became key; closing 1 first leaves the first visible one.
  CloseWindow(1);
  CloseWindow(2);
  EXPECT_EQ(toolkit().KeyWindow(), nullptr);
}

// The editing keys reach a focused text field and are not dispatched; without a
// responder they are ordinary key events.
TEST_P(WindowScenario, CommandXReachesTheTextFieldAndIsNotDispatched) {
  OpenTestWindow(1);
  platform::Window* window = WindowID(1);
  automation().PressKey(u'a', platform::ModifierCommand);
  PumpUntilIdle();
  EXPECT_EQ(automation().KeyEventsDelivered(window), 1);
  if (!can().controls || !can().pasteboard) GTEST_SKIP() << "this backend has no text field or pasteboard";
  std::unique_ptr<platform::TextField> created = toolkit().CreateTextField(false);
  platform::TextField* field = created.get();
  field->SetFrame({10, 10, 200, 24});
  field->SetText(u"cut me");
  window->ContentView()->AddSubview(std::move(created));
  window->MakeFirstResponder(field);
  field->SetSelection(0, 3);

  automation().PressKey(u'x', platform::ModifierCommand);
  PumpUntilIdle();
  EXPECT_EQ(field->Text(), u" me");
  EXPECT_EQ(toolkit().pasteboard().Text(), u"cut");
  EXPECT_EQ(automation().KeyEventsDelivered(window), 1);

  automation().PressKey(u'a', platform::ModifierCommand);
  automation().PressKey(u'v', platform::ModifierCommand);
  PumpUntilIdle();
  EXPECT_EQ(field->Text(), u"cut");
  EXPECT_EQ(automation().KeyEventsDelivered(window), 1);

  // Other modifier combinations are ordinary key events.
  automation().PressKey(u'x', platform::ModifierCommand | platform::ModifierOption);
  automation().PressKey(u'x', platform::ModifierCommand | platform::ModifierCapsLock);
  PumpUntilIdle();
  EXPECT_EQ(automation().KeyEventsDelivered(window), 3);
  EXPECT_EQ(field->Text(), u"cut");
}

TEST_P(WindowScenario, GeometryFromTheTopLeftOfTheScreen) {
  const platform::Rect screen = *toolkit().MainScreenFrame();
  // A titled window at y = 0 has its frame's top edge at the top of the screen.
  OpenWindow(1, 40, 0, 300, 200, u"top", WindowTitled | WindowClosable);
  PumpUntilIdle();
  platform::Window* window = WindowID(1);
  EXPECT_EQ(window->Frame().x, screen.x + 40);
  EXPECT_EQ(window->Frame().y, screen.y);
  EXPECT_EQ(WindowWidth(1, 1), 300);
  EXPECT_EQ(WindowHeight(1, 1), 200);
  EXPECT_GT(WindowHeight(1, 0), 200);
  // The ignore value for x centres the window on the screen.
  OpenWindow(2, IgnoreValue, 0, 300, 200, u"centred", WindowTitled);
  PumpUntilIdle();
  const platform::Rect frame = WindowID(2)->Frame();
  EXPECT_NEAR(frame.x + frame.width / 2, screen.x + screen.width / 2, 2);
  EXPECT_NEAR(frame.y + frame.height / 2, screen.y + screen.height / 2, 2);
}

TEST_P(WindowScenario, NumbersHandlesAndLevels) {
  const int64_t handle = OpenTestWindow(4);
  EXPECT_EQ(reinterpret_cast<platform::Window*>(handle), WindowID(4));
  EXPECT_EQ(WindowNumber(WindowID(4)), 4);
  EXPECT_EQ(WindowNumber(nullptr), -1);
  const int64_t dynamic = OpenTestWindow(-1);
  EXPECT_EQ(WindowNumber(WindowID(dynamic)), dynamic);
  StickyWindow(4, 1);
  EXPECT_EQ(WindowID(4)->Level(), platform::WindowLevel::Floating);
  StickyWindow(4, 0);
  EXPECT_EQ(WindowID(4)->Level(), platform::WindowLevel::Normal);
  // Unknown numbers do nothing.
  StickyWindow(99, 1);
  CloseWindow(99);
  EXPECT_EQ(WindowWidth(99, 1), 0);
  // Reusing a number closes the window that had it.
  platform::Window* first = WindowID(4);
  OpenTestWindow(4);
  EXPECT_NE(WindowID(4), first);
  CloseWindow(dynamic);
  EXPECT_EQ(WindowID(dynamic), nullptr);
}

TEST_P(WindowScenario, GadgetListsFollowTheOpenedWindow) {
  OpenTestWindow(1);
  platform::Window* one = WindowID(1);
  EXPECT_EQ(ZebGadgetList::CurrentWindow(), one);
  EXPECT_EQ(ZebGadgetList::CurrentView(), one->ContentView());
  OpenWindow(2, 10, 10, 100, 100, u"no list", 0x76 | WindowNoGadgetList);
  EXPECT_EQ(ZebGadgetList::CurrentWindow(), one);

  ZebGadgetList* list = ZebGadgetList::CurrentList();
  std::vector<std::unique_ptr<platform::View>> containers;
  for (int i = 0; i < 12; ++i) {
    containers.push_back(toolkit().CreateView(nullptr));
    list->Push(containers.back().get());
  }
  EXPECT_EQ(list->stackIndex(), 12);
  EXPECT_EQ(list->top(), containers[11].get());
  list->Pop();
  EXPECT_EQ(list->top(), containers[10].get());
  for (int i = 0; i < 11; ++i) list->Pop();
  EXPECT_EQ(list->top(), one->ContentView());
  list->Pop();  // nothing saved: back to the content view
  EXPECT_EQ(list->top(), one->ContentView());

  CloseWindow(1);
  EXPECT_EQ(ZebGadgetList::CurrentList(), nullptr);
  EXPECT_EQ(ZebGadgetList::SetWindow(WindowID(2)), nullptr);
  EXPECT_EQ(ZebGadgetList::CurrentWindow(), WindowID(2));
}

INSTANTIATE_TEST_SUITE_P(Backends, WindowScenario, ::testing::ValuesIn(AvailableBackends()), BackendName);

}  // namespace
}  // namespace zeb
