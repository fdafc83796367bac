// Menus of the headless toolkit: items and menus held in memory.
#pragma once

#include <memory>
#include <vector>

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

class HeadlessMenu : public Menu {
 public:
  explicit HeadlessMenu(ToolkitString title) : title_(std::move(title)) {}

  ToolkitString Title() const override { return title_; }
  size_t ItemCount() const override { return items_.size(); }
  MenuItem* ItemAt(size_t index) const override { return index < items_.size() ? items_[index].get() : nullptr; }
  MenuItem* AddItem(std::unique_ptr<MenuItem> item) override { return InsertItem(std::move(item), items_.size()); }
  MenuItem* InsertItem(std::unique_ptr<MenuItem> item, size_t index) override;
  std::unique_ptr<MenuItem> RemoveItem(MenuItem* item) override;

  // The first item of this title that is not a separator, or null.
  HeadlessMenuItem* ItemTitled(const ToolkitString& title) const;

 private:
  ToolkitString title_;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace zeb::platform
