// The menu registry: the current menu, the application menu, freeing and the
// window hooks, on a headless toolkit with a screen.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/automation.h"
#include "platform/headless/headless_toolkit.h"
#include "runtime/events/event_queue.h"
#include "runtime/menus/application_menu.h"
#include "runtime/menus/menus.h"
#include "tests/runtime_session.h"

namespace zeb {
namespace {

using ::testing::ElementsAre;

class MenusTest : public ::testing::Test {
 protected:
  void SetUp() override { StartRuntime(std::make_unique<platform::HeadlessToolkit>(platform::Size{1920, 1080})); }
  void TearDown() override { StopRuntime(); }

  static std::vector<std::u16string> Titles(const platform::Menu* menu) {
    std::vector<std::u16string> titles;
    if (menu == nullptr) return titles;
    for (const platform::MenuEntry& entry : platform::MenuEntries(*menu)) {
      titles.push_back(entry.separator ? u"-" : entry.title);
    }
    return titles;
  }
  static platform::Menu* Main() { return platform::CurrentToolkit().MainMenu(); }
};

TEST_F(MenusTest, ItemsGoOnlyWhereAMenuIsCurrent) {
  MenuItem(1, u"nowhere");
  MenuBar();
  ASSERT_NE(OpenWindow(1, 0, 0, 200, 100, u"key", WindowClosable), 0);
  // The window is key: its bar is the main menu at once.
  ASSERT_NE(CreateMenu(3, WindowID(1)), 0);
  MenuItem(1, u"before any title");
  MenuBar();
  ASSERT_NE(MenuTitle(u"&File"), nullptr);
  MenuItem(7, u"Open\tCtrl+O");
  MenuBar();
  ASSERT_THAT(Titles(Main()), ElementsAre(u"menus_tests", u"File"));
  EXPECT_THAT(Titles(Main()->ItemAt(1)->Submenu()), ElementsAre(u"Open", u"-"));
  EXPECT_EQ(Main()->ItemAt(1)->Submenu()->ItemAt(0)->Tag(), 7);
  FreeMenu(3);
  MenuItem(2, u"after the free");
  MenuBar();
  EXPECT_THAT(Titles(Main()), ElementsAre(u"menus_tests"));
}

TEST_F(MenusTest, AboutReportsOnlyOnceMenuItemGivesItATarget) {
  ASSERT_NE(CreateMenu(1, nullptr), 0);
  EXPECT_EQ(AboutItem()->Target(), nullptr);
  MenuItem(-3, u"ignored");
  ASSERT_EQ(AboutItem()->Target(), MenuDelegate());
  AboutItem()->Target()->MenuItemChosen(*AboutItem());
  ASSERT_EQ(TakeEvent(), MenuEvent);
  EXPECT_EQ(EventMenu(), -3);
  EXPECT_EQ(EventWindow(), -1);
}

TEST_F(MenusTest, TheWindowHooksInstallAndFreeTheWindowsBar) {
  ASSERT_NE(OpenWindow(1, 0, 0, 200, 100, u"one", WindowClosable | WindowNoActivate), 0);
  ASSERT_NE(OpenWindow(2, 300, 0, 200, 100, u"two", WindowClosable), 0);
  ASSERT_NE(CreateMenu(1, WindowID(1)), 0);
  MenuTitle(u"One");
  EXPECT_THAT(Titles(Main()), ElementsAre(u"menus_tests"));
  MenuWindowBecameKey(WindowID(1));
  EXPECT_THAT(Titles(Main()), ElementsAre(u"menus_tests", u"One"));
  CloseWindow(1);
  EXPECT_THAT(Titles(Main()), ElementsAre(u"menus_tests"));
  EXPECT_EQ(MenuTitle(u"gone"), nullptr);
}

TEST_F(MenusTest, AHostWindowHandleIsComparedNeverFollowed) {
  auto* foreign = reinterpret_cast<platform::Window*>(static_cast<intptr_t>(0x1234));
  ASSERT_NE(CreateMenu(0, foreign), 0);
  MenuTitle(u"Project");
  MenuItem(1, u"Open");
  MenuWindowBecameKey(foreign);
  const platform::Menu* project = Main()->ItemAt(1)->Submenu();
  project->ItemAt(0)->Target()->MenuItemChosen(*project->ItemAt(0));
  ASSERT_EQ(TakeEvent(), MenuEvent);
  EXPECT_EQ(EventWindow(), -1);
}

}  // namespace
}  // namespace zeb
