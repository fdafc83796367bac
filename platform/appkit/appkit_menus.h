// Menus of the AppKit backend: an NSMenuItem per item (or separator) and an NSMenu
// per menu and menu bar. An item's choice reaches its target through an action
// object of the item's own; the key equivalent shows in the item, and the runtime
// matches typed keys against the main menu itself.
#pragma once

#include <memory>

#import "platform/appkit/appkit_compat.h"
#include "platform/menus.h"

@class ZebMenuItemAction;

namespace zeb::platform {

class AppKitMenuItem : public StoredMenuItem {
 public:
  // A separator when `separator` is set.
  AppKitMenuItem(bool separator, const ToolkitString& title, const ToolkitString& key, uint32_t modifiers);
  ~AppKitMenuItem() override;
  AppKitMenuItem(const AppKitMenuItem&) = delete;
  AppKitMenuItem& operator=(const AppKitMenuItem&) = delete;

  void SetSubmenu(std::shared_ptr<Menu> submenu) override;
  Menu* Submenu() const override { return submenu_.get(); }

  NSMenuItem* nsItem() const { return item_; }

 private:
  NSMenuItem* item_;
  ZebMenuItemAction* action_ = nil;
  std::shared_ptr<Menu> submenu_;
};

class AppKitMenu : public StoredMenu {
 public:
  explicit AppKitMenu(const ToolkitString& title);
  ~AppKitMenu() override;
  AppKitMenu(const AppKitMenu&) = delete;
  AppKitMenu& operator=(const AppKitMenu&) = delete;

  NSMenu* nsMenu() const { return menu_; }

 protected:
  bool Adopt(MenuItem& item, size_t index) override;
  void Release(MenuItem& item) override;

 private:
  NSMenu* menu_;
};

}  // namespace zeb::platform
