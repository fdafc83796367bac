#include "runtime/menus/menus.h"

#include "runtime/core/object_registry.h"
#include "runtime/core/toolkit_strings.h"
#include "runtime/events/windows.h"
#include "runtime/menus/application_menu.h"
#include "runtime/menus/shortcut_text.h"

namespace zeb {
namespace {

constexpr int32_t kMenuGrowthStep = 8;
constexpr size_t kBarCapacity = 5;

ObjectRegistry* menus = nullptr;

// The menu created last, and the menu that items and separators go to.
struct CurrentMenu {
  MenuState* record = nullptr;
  platform::Menu* menu = nullptr;
};
CurrentMenu current;

Zeb_MenuStructure* FindMenu(int64_t number) {
  return menus != nullptr ? static_cast<Zeb_MenuStructure*>(IsObject(menus, number)) : nullptr;
}

// The record under the number, filled with new state of the kind.
MenuState* NewMenu(int64_t number, int32_t kind, platform::Window* window, int64_t* result) {
  auto* record = static_cast<Zeb_MenuStructure*>(AllocateObject(menus, number));
  if (record == nullptr) return nullptr;
  auto* state = new MenuState{{}, {}, kind, window, nullptr};
  state->object.menu = state;
  record->state = state;
  current = {state, nullptr};
  *result = static_cast<int64_t>(reinterpret_cast<intptr_t>(record));
  return state;
}

bool HoldsWindow(const void* record, const void* window) {
  return static_cast<const Zeb_MenuStructure*>(record)->state->window == window;
}

bool IsBarOfWindow(const void* record, const void* window) {
  const MenuState* state = static_cast<const Zeb_MenuStructure*>(record)->state;
  return state->kind == MenuKindBar && state->window == window;
}

}  // namespace

void InitMenus() {
  if (menus == nullptr) menus = NewObjectRegistry(sizeof(Zeb_MenuStructure), kMenuGrowthStep, FreeMenu);
  current = {};
}

void EndMenus() {
  FreeMenu(-1);
  EndApplicationMenu();
}

int64_t CreateMenu(int64_t number, platform::Window* window) {
  if (menus == nullptr) return 0;
  int64_t result = 0;
  MenuState* state = NewMenu(number, MenuKindBar, window, &result);
  if (state == nullptr) return 0;
  state->menus.reserve(kBarCapacity);
  state->bar = BuildApplicationMenu();
  if (window != nullptr && platform::CurrentToolkit().KeyWindow() == window) {
    InstallMenuBar(state->bar, WindowNumber(window), window);
  }
  return result;
}

int64_t CreatePopupMenu(int64_t number) {
  if (menus == nullptr) return 0;
  std::shared_ptr<platform::Menu> menu = platform::CurrentToolkit().CreateMenu(u"");
  if (menu == nullptr) return 0;
  int64_t result = 0;
  MenuState* state = NewMenu(number, MenuKindPopup, nullptr, &result);
  if (state == nullptr) return 0;
  current.menu = menu.get();
  state->menus.push_back(std::move(menu));
  return result;
}

platform::Menu* MenuTitle(const Unit* text) {
  if (current.record == nullptr || current.record->bar == nullptr) return nullptr;
  platform::Toolkit& toolkit = platform::CurrentToolkit();
  platform::ToolkitString title = StringToToolkitString(text);
  std::erase(title, u'&');
  std::unique_ptr<platform::MenuItem> item = toolkit.CreateMenuItem(title, u"", 0);
  std::shared_ptr<platform::Menu> submenu = toolkit.CreateMenu(title);
  if (item == nullptr || submenu == nullptr) return nullptr;
  item->SetTag(-1);
  item->SetSubmenu(submenu);
  current.record->bar->AddItem(std::move(item));
  current.record->menus.push_back(submenu);
  current.menu = submenu.get();
  return current.menu;
}

void MenuItem(int32_t number, const Unit* text) {
  if (current.record != nullptr && number >= -3 && number <= -1) {
    ZebMenuDelegate* delegate = MenuDelegate();
    if (delegate == nullptr) return;
    delegate->SetWindowID(WindowNumber(current.record->window));
    platform::MenuItem* reserved = number == -3 ? AboutItem() : number == -2 ? PreferencesItem() : nullptr;
    if (reserved != nullptr) reserved->SetTarget(delegate);
    return;
  }
  if (current.menu == nullptr) return;
  const Shortcut shortcut = ParseShortcutText(StringToToolkitString(text));
  std::unique_ptr<platform::MenuItem> item =
      platform::CurrentToolkit().CreateMenuItem(shortcut.title, shortcut.key, shortcut.mask);
  if (item == nullptr) return;
  item->SetTag(number);
  item->SetRepresentedObject(&current.record->object);
  item->SetTarget(MenuDelegate());
  current.menu->AddItem(std::move(item));
}

void MenuBar() {
  if (current.menu != nullptr) current.menu->AddItem(platform::CurrentToolkit().CreateSeparatorItem());
}

void DisplayPopupMenu(int64_t number, platform::Window* window) {
  DisplayPopupMenu(number, window, platform::CurrentToolkit().MouseLocation());
}

void DisplayPopupMenu(int64_t number, platform::Window* window, platform::Point screenPoint) {
  const Zeb_MenuStructure* record = FindMenu(number);
  if (record == nullptr || record->state->kind != MenuKindPopup) return;
  record->state->window = window;
  // The menu stays alive while it is tracked, even if a choice frees it.
  const std::shared_ptr<platform::Menu> menu = record->state->menus.front();
  platform::CurrentToolkit().PopUpContextMenu(*menu, screenPoint);
}

void FreeMenu(int64_t number) {
  if (menus == nullptr) return;
  if (number == -1) {
    FreeAllObjects(menus);
    return;
  }
  Zeb_MenuStructure* record = FindMenu(number);
  if (record == nullptr) return;
  MenuState* state = record->state;
  if (state->bar != nullptr && platform::CurrentToolkit().MainMenu() == state->bar.get()) InstallDefaultMenuBar();
  if (current.record == state) current = {};
  FreeObjectRecord(menus, number);
  delete state;
}

void MenuWindowBecameKey(platform::Window* window) {
  auto* record = static_cast<Zeb_MenuStructure*>(FindObject(menus, IsBarOfWindow, window, nullptr));
  if (record != nullptr) InstallMenuBar(record->state->bar, WindowNumber(window), window);
}

void MenuWindowClosed(platform::Window* window) {
  int64_t number = 0;
  if (FindObject(menus, HoldsWindow, window, &number) != nullptr) FreeMenu(number);
}

}  // namespace zeb
