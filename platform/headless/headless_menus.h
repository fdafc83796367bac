// Menus of the headless toolkit: items and menus held in memory.
#pragma once

#include <memory>

#include "platform/menus.h"

namespace zeb::platform {

class HeadlessMenuItem : public StoredMenuItem {
 public:
  using StoredMenuItem::StoredMenuItem;

  void SetSubmenu(std::shared_ptr<Menu> submenu) override { submenu_ = std::move(submenu); }
  Menu* Submenu() const override { return submenu_.get(); }

  // The user chooses the item: its target hears of it.
  void Choose() {
    if (Target() != nullptr && !IsSeparator()) Target()->MenuItemChosen(*this);
  }

 private:
  std::shared_ptr<Menu> submenu_;
};

class HeadlessMenu : public StoredMenu {
 public:
  explicit HeadlessMenu(ToolkitString title) : StoredMenu(std::move(title)) {}

  // The first item of this title that is not a separator, or null.
  HeadlessMenuItem* ItemTitled(const ToolkitString& title) const;

 protected:
  bool Adopt(MenuItem& item, size_t) override { return dynamic_cast<HeadlessMenuItem*>(&item) != nullptr; }
  void Release(MenuItem&) override {}
};

}  // namespace zeb::platform
