// Numbered menus: menu bars for windows and pop-up menus. Titles, items and
// separators go to the menu created or titled last; an item's text may carry a
// keyboard shortcut after a tab. Choosing an item posts a MenuEvent with the
// item's number and the number of the menu's window.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/toolkit.h"
#include "runtime/core/runtime_string.h"

namespace zeb {

inline constexpr int32_t MenuKindBar = 0;
inline constexpr int32_t MenuKindPopup = 1;

struct MenuState;

// What every item of a menu carries to find its menu again.
struct ZebMenuObject {
  MenuState* menu;
};

struct MenuState {
  // A bar's submenus, one per title, in order; a pop-up's menu as the one element.
  std::vector<std::shared_ptr<platform::Menu>> menus;
  ZebMenuObject object;
  int32_t kind;
  // A bar's window (the host's, or a runtime window); a pop-up's last window.
  // Compared, never followed: the host may hand in any value.
  platform::Window* window;
  // A bar: the menu that becomes the application's main menu.
  std::shared_ptr<platform::Menu> bar;
};

// The menu record; the state is owned by it, and the menu is alive while it is set.
struct Zeb_MenuStructure {
  MenuState* state;
};

// Start routine: the menu registry and an empty current menu.
void InitMenus();
// Frees every menu and the application menu; the library's last menu call.
void EndMenus();

// A menu bar for the window; a pop-up menu. The record's address for the dynamic
// number -1, else non-zero; 0 when the menu cannot be made.
int64_t CreateMenu(int64_t number, platform::Window* window);
int64_t CreatePopupMenu(int64_t number);
// Appends a title to the current bar; its menu becomes the current menu (null
// when it cannot be made).
platform::Menu* MenuTitle(const Unit* text);
// Appends an item to the current menu; -1, -2 and -3 make the application menu's
// Quit, Preferences and About items report to the current bar's window instead.
void MenuItem(int32_t number, const Unit* text);
// Appends a separator to the current menu.
void MenuBar();
// Shows a pop-up menu at the mouse, or at a point from the screen's top left, and
// returns once it has closed.
void DisplayPopupMenu(int64_t number, platform::Window* window);
void DisplayPopupMenu(int64_t number, platform::Window* window, platform::Point screenPoint);
// Frees a menu; -1 frees every menu.
void FreeMenu(int64_t number);

// The runtime windows' hooks: a window became key, a window closes.
void MenuWindowBecameKey(platform::Window* window);
void MenuWindowClosed(platform::Window* window);

}  // namespace zeb
