// Menus of the headless toolkit: items and menus held in memory.
#pragma once

#include <memory>
#include <vector>

#include "platform/menus.h"

namespace zeb::platform {

class HeadlessMenuItem : public MenuItem {
 public:
  // A separator when `separator` is set; then the other arguments are empty.
  HeadlessMenuItem(bool separator, ToolkitString title, ToolkitString key, uint32_t modifiers)
      : separator_(separator), title_(std::move(title)), key_(std::move(key)), modifiers_(modifiers) {}

  bool IsSeparator() const override { return separator_; }
  ToolkitString Title() const override { return title_; }
  ToolkitString Key() const override { return key_; }
  uint32_t KeyModifiers() const override { return modifiers_; }
  void SetTag(int64_t tag) override { tag_ = tag; }
  int64_t Tag() const override { return tag_; }
  void SetTarget(MenuTarget* target) override { target_ = target; }
  MenuTarget* Target() const override { return target_; }
  void SetRepresentedObject(void* object) override { object_ = object; }
  void* RepresentedObject() const override { return object_; }
  void SetSubmenu(std::shared_ptr<Menu> submenu) override { submenu_ = std::move(submenu); }
  Menu* Submenu() const override { return submenu_.get(); }

  // The user chooses the item: its target hears of it.
  void Choose() {
    if (target_ != nullptr && !separator_) target_->MenuItemChosen(*this);
  }

 private:
  bool separator_;
  ToolkitString title_;
  ToolkitString key_;
  uint32_t modifiers_;
  int64_t tag_ = 0;
  MenuTarget* target_ = nullptr;
  void* object_ = nullptr;
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
