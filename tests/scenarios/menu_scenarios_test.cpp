// Pop-up menus (ShowMenu), the "Project" menu bar (AddMenu, ClearAll) and the
// application menu as a user drives them, on every backend.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "extension/exports.h"
#include "platform/automation.h"
#include "runtime/events/application.h"
#include "runtime/events/event_queue.h"
#include "runtime/events/windows.h"
#include "tests/scenarios/scenario_fixture.h"

namespace zeb {
namespace {

using ::testing::ElementsAre;

using MenuScenario = ScenarioNeeding<kMenus>;

enum class Answer { Choose, Escape, ClickOutside };

struct PopUpCase {
  const char* items;
  double defaultResult;
  Answer answer;
  std::u16string title;  // the item chosen
  double expected;
};

// The pop-up gives the chosen item or the rounded default; the first opens at the
// pointer with its entries, and takes the menu events that earlier choices of other
// windows' menus left in the queue without answering with them.
TEST_P(MenuScenario, ShowMenuGivesTheChosenItemOrTheRoundedDefault) {
  const PopUpCase cases[] = {
      {"One||-|Four", 0, Answer::Escape, u"", 0},
      {"Alpha|Beta|-|Gamma", -1, Answer::Choose, u"Gamma", 3},
      {"Alpha|Beta|-|Gamma", -1, Answer::Choose, u"Alpha", 1},
      {"Alpha|Beta|-|Gamma", -1, Answer::Escape, u"", -1},
      {"Alpha|Beta|-|Gamma", -1, Answer::ClickOutside, u"", -1},
      {"-", 4, Answer::Escape, u"", 4},
      {"Alpha|Beta", 2.5, Answer::Escape, u"", 2},
      {"|Second", 0, Answer::Choose, u"Second", 2},
  };
  automation().MovePointer({300, 200});
  PumpUntilIdle();
  PostEvent(MenuEvent, 4, -1, 0);
  PostEvent(MenuEvent, 7, kReservedWindow + 1, 0);
  std::vector<platform::MenuEntry> entries;
  platform::Point origin;
  for (const PopUpCase& c : cases) {
    SCOPED_TRACE(c.items);
    automation().WhenPopUp([&] {
      if (entries.empty()) {
        entries = automation().PopUpEntries();
        origin = automation().PopUpOrigin();
      }
      if (c.answer == Answer::Choose) {
        automation().ChoosePopUpItem(c.title);
      } else {
        automation().DismissPopUp(c.answer == Answer::Escape);
      }
    });
    EXPECT_EQ(ShowMenu(c.items, c.defaultResult, 0), c.expected);
    EXPECT_EQ(WindowID(kReservedWindow), nullptr);
    EXPECT_NE(WaitWindowEvent(0), MenuEvent);
  }
  EXPECT_NEAR(origin.x, 300, 8);
  EXPECT_NEAR(origin.y, 200, 8);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].title, u"One");
  EXPECT_EQ(entries[1].title, u"");
  EXPECT_TRUE(entries[2].separator);
}

// The bar's top-level titles, the application's first.
std::vector<std::u16string> BarTitles(const platform::Toolkit& toolkit) {
  std::vector<std::u16string> titles;
  if (const platform::Menu* bar = toolkit.MainMenu()) {
    for (const platform::MenuEntry& entry : platform::MenuEntries(*bar)) titles.push_back(entry.title);
  }
  return titles;
}

TEST_P(MenuScenario, AddMenuGivesTheKeyWindowOneProjectMenuThatClearAllRemoves) {
  ASSERT_NE(OpenWindow(1, 100, 100, 400, 200, u"menus", WindowClosable | WindowSizeable), 0);
  ASSERT_TRUE(PumpUntilKey(WindowID(1)));
  const double handle = static_cast<double>(reinterpret_cast<intptr_t>(WindowID(1)));
  AddMenu(handle);
  AddMenu(handle);
  EXPECT_THAT(BarTitles(toolkit()), ElementsAre(u"scenario_tests", u"Project"));
  const std::vector<platform::MenuEntry> project = platform::MenuEntries(*toolkit().MainMenu())[1].submenu;
  ASSERT_EQ(project.size(), 4u);
  EXPECT_EQ(project[3].title, u"Close");
  EXPECT_EQ(project[3].key, u"c");

  // The shortcut as the menu shows it, typed while the window is key.
  automation().PressKey(u'o', project[0].modifiers);
  PumpUntil(MenuEvent);
  EXPECT_EQ(EventMenu(), 1);
  EXPECT_EQ(EventWindow(), 1);

  // Quit reports and the process lives on.
  PumpUntilIdle();
  automation().ChooseMenuItem(u"scenario_tests", u"Quit scenario_tests");
  PumpUntil(MenuEvent);
  EXPECT_EQ(EventMenu(), -1);

  ClearAll();
  EXPECT_THAT(BarTitles(toolkit()), ElementsAre(u"scenario_tests"));
  EXPECT_EQ(WindowID(1), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Backends, MenuScenario, ::testing::ValuesIn(AvailableBackends()), BackendName);

}  // namespace
}  // namespace zeb
