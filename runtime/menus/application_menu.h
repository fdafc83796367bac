// The application menu: the one submenu (About, Preferences, Services, Hide, Hide
// Others, Show All, Quit, titled with the executable's name) that moves into
// whichever menu bar is the application's main menu, and the menu delegate that
// every item reports to.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/toolkit.h"

namespace zeb {

// The target of every menu item: a choice posts a MenuEvent. About, Preferences
// and Quit post -3, -2 and -1 for the window whose bar is installed; Quit does
// not end the application.
class ZebMenuDelegate : public platform::MenuTarget {
 public:
  void MenuItemChosen(platform::MenuItem& item) override;
  void SetWindowID(int64_t window) { windowID_ = window; }
  int64_t WindowID() const { return windowID_; }

 private:
  int64_t windowID_ = -1;
};

// Application start-up's menu steps: unless the host runs an application of its
// own, the menu delegate, and the default menu bar installed for window -1.
void StartApplicationMenu();
// Frees the application menu, the default bar and the delegate.
void EndApplicationMenu();

// The menu delegate, or null when start-up made none.
ZebMenuDelegate* MenuDelegate();

// A new empty menu bar; the first call also builds the application menu.
std::shared_ptr<platform::Menu> BuildApplicationMenu();
// Makes the bar (null: none) the main menu with the application item in front,
// and the number the one About, Preferences and Quit report.
void InstallMenuBar(std::shared_ptr<platform::Menu> bar, int64_t windowNumber, platform::Window* window);
// The default bar: back as the main menu, or none when start-up built none.
void InstallDefaultMenuBar();

// The application menu's items that MenuItem (-3) and (-2) give a target.
platform::MenuItem* AboutItem();
platform::MenuItem* PreferencesItem();

}  // namespace zeb
