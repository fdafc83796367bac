#include "runtime/menus/application_menu.h"

#include "runtime/core/executable_path.h"
#include "runtime/events/event_queue.h"
#include "runtime/events/windows.h"
#include "runtime/menus/menus.h"
#include "runtime/menus/shortcut_text.h"

namespace zeb {
namespace {

using platform::ToolkitString;

struct ApplicationMenu {
  std::unique_ptr<ZebMenuDelegate> delegate;
  std::shared_ptr<platform::Menu> defaultBar;
  // The application item lives in the main menu; while no bar is the main menu it
  // is kept here.
  platform::MenuItem* item = nullptr;
  std::unique_ptr<platform::MenuItem> detachedItem;
  platform::MenuItem* about = nullptr;
  platform::MenuItem* preferences = nullptr;
  platform::MenuItem* hide = nullptr;
  platform::MenuItem* showAll = nullptr;
  platform::MenuItem* quit = nullptr;
};

// Never destroyed: what the library frees as it unloads still finds the default bar
// and the application item (extension/lifecycle.cpp says what is left to the end).
ApplicationMenu& Application() {
  static auto& menu = *new ApplicationMenu();
  return menu;
}

// The last path component of the running executable.
ToolkitString ApplicationName() {
  return ExecutablePath().filename().u16string();
}

platform::MenuItem* Add(platform::Menu& menu, const ToolkitString& title, const ToolkitString& key = u"",
                        uint32_t modifiers = ShortcutCommand) {
  return menu.AddItem(platform::CurrentToolkit().CreateMenuItem(title, key, key.empty() ? 0 : modifiers));
}

void AddSeparator(platform::Menu& menu) { menu.AddItem(platform::CurrentToolkit().CreateSeparatorItem()); }

// The submenu, its items and the application item, titled with the name (which a
// menu bar inside a window shows).
void BuildApplicationItem() {
  ApplicationMenu& application = Application();
  platform::Toolkit& toolkit = platform::CurrentToolkit();
  const ToolkitString name = ApplicationName();
  std::shared_ptr<platform::Menu> submenu = toolkit.CreateMenu(u"");
  std::unique_ptr<platform::MenuItem> item = toolkit.CreateMenuItem(name, u"", 0);
  if (submenu == nullptr || item == nullptr) return;
  application.about = Add(*submenu, u"About " + name);
  AddSeparator(*submenu);
  application.preferences = Add(*submenu, u"Preferences\u2026", u",");
  AddSeparator(*submenu);
  platform::MenuItem* services = Add(*submenu, u"Services");
  if (services != nullptr) services->SetSubmenu(toolkit.CreateMenu(u"Services"));
  AddSeparator(*submenu);
  application.hide = Add(*submenu, u"Hide " + name, u"h");
  Add(*submenu, u"Hide Others", u"h", ShortcutCommand | ShortcutOption);
  application.showAll = Add(*submenu, u"Show All");
  AddSeparator(*submenu);
  application.quit = Add(*submenu, u"Quit " + name, u"q");
  // Hide and Show All act on the application itself; Quit reports to the delegate.
  for (platform::MenuItem* own : {application.hide, application.showAll, application.quit}) {
    if (own != nullptr) own->SetTarget(application.delegate.get());
  }
  item->SetSubmenu(std::move(submenu));
  application.item = item.get();
  application.detachedItem = std::move(item);
}

// Hide miniaturises every runtime window; Show All brings them back.
void ShowRuntimeWindows(bool show) {
  for (platform::Window* window : RuntimeWindows()) {
    if (!window->IsVisible()) continue;
    if (!show) {
      window->Miniaturize();
    } else if (window->IsMiniaturized()) {
      window->MakeKeyAndOrderFront();
    }
  }
}

}  // namespace

void ZebMenuDelegate::MenuItemChosen(platform::MenuItem& item) {
  ApplicationMenu& application = Application();
  if (&item == application.about || &item == application.preferences || &item == application.quit) {
    const int64_t reserved = &item == application.about ? -3 : &item == application.preferences ? -2 : -1;
    PostEvent(MenuEvent, reserved, windowID_, 0);
    return;
  }
  if (&item == application.hide || &item == application.showAll) {
    ShowRuntimeWindows(&item == application.showAll);
    return;
  }
  const auto* object = static_cast<const ZebMenuObject*>(item.RepresentedObject());
  if (object == nullptr) return;
  PostEvent(MenuEvent, item.Tag(), object->menu->window != nullptr ? WindowNumber(object->menu->window) : 0, 0);
}

void StartApplicationMenu() {
  if (platform::CurrentToolkit().HostOwnsApplication()) return;
  ApplicationMenu& application = Application();
  application.delegate = std::make_unique<ZebMenuDelegate>();
  application.defaultBar = BuildApplicationMenu();
  InstallMenuBar(application.defaultBar, -1, nullptr);
}

void EndApplicationMenu() {
  platform::CurrentToolkit().SetMainMenu(nullptr, nullptr);
  Application() = ApplicationMenu{};
}

ZebMenuDelegate* MenuDelegate() { return Application().delegate.get(); }

std::shared_ptr<platform::Menu> BuildApplicationMenu() {
  std::shared_ptr<platform::Menu> bar = platform::CurrentToolkit().CreateMenuBar();
  if (Application().item == nullptr) BuildApplicationItem();
  return bar;
}

void InstallMenuBar(std::shared_ptr<platform::Menu> bar, int64_t windowNumber, platform::Window* window) {
  ApplicationMenu& application = Application();
  platform::Toolkit& toolkit = platform::CurrentToolkit();
  if (platform::Menu* main = toolkit.MainMenu(); main != nullptr && application.item != nullptr) {
    if (std::unique_ptr<platform::MenuItem> taken = main->RemoveItem(application.item)) {
      application.detachedItem = std::move(taken);
    }
  }
  if (bar != nullptr && application.detachedItem != nullptr) bar->InsertItem(std::move(application.detachedItem), 0);
  toolkit.SetMainMenu(std::move(bar), windowNumber >= 0 ? window : nullptr);
  if (application.delegate != nullptr) application.delegate->SetWindowID(windowNumber);
}

void InstallDefaultMenuBar() { InstallMenuBar(Application().defaultBar, -1, nullptr); }

platform::MenuItem* AboutItem() { return Application().about; }
platform::MenuItem* PreferencesItem() { return Application().preferences; }

}  // namespace zeb
