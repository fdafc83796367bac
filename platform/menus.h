// Menus of the toolkit contract: menu bars, menus, their items, and the target an
// item reports its choice to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/toolkit_string.h"

namespace zeb::platform {

class MenuItem;

// The runtime's handler of menu choices.
class MenuTarget {
 public:
  virtual ~MenuTarget() = default;
  virtual void MenuItemChosen(MenuItem& item) = 0;
};

class Menu;

// One entry of a menu: a titled item, or a separator. An item belongs to at most
// one menu at a time.
class MenuItem {
 public:
  virtual ~MenuItem() = default;
  virtual bool IsSeparator() const = 0;
  virtual ToolkitString Title() const = 0;
  // The key equivalent (empty: none) and the modifier flags a key event carries
  // when the user types it. A backend maps the asked-for flags to its keyboard's:
  // where Control is not a key of its own, Control and Command are both the
  // platform's shortcut key.
  virtual ToolkitString Key() const = 0;
  virtual uint32_t KeyModifiers() const = 0;
  virtual void SetTag(int64_t tag) = 0;
  virtual int64_t Tag() const = 0;
  // The target hears of each choice; null: the choice does nothing. The target
  // must outlive the item or be replaced.
  virtual void SetTarget(MenuTarget* target) = 0;
  virtual MenuTarget* Target() const = 0;
  // A value the runtime keeps with the item; the item never reads it.
  virtual void SetRepresentedObject(void* object) = 0;
  virtual void* RepresentedObject() const = 0;
  // The menu the item opens; the item keeps it alive.
  virtual void SetSubmenu(std::shared_ptr<Menu> submenu) = 0;
  virtual Menu* Submenu() const = 0;
};

// The part of an item that every backend keeps alike: its title, key equivalent,
// tag, target and represented object.
class StoredMenuItem : public MenuItem {
 public:
  StoredMenuItem(bool separator, ToolkitString title, ToolkitString key, uint32_t modifiers)
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

 private:
  bool separator_;
  ToolkitString title_;
  ToolkitString key_;
  uint32_t modifiers_;
  int64_t tag_ = 0;
  MenuTarget* target_ = nullptr;
  void* object_ = nullptr;
};

// A menu, or a menu bar (whose items carry the menus as submenus). It owns its
// items.
class Menu {
 public:
  virtual ~Menu() = default;
  virtual ToolkitString Title() const = 0;
  virtual size_t ItemCount() const = 0;
  virtual MenuItem* ItemAt(size_t index) const = 0;
  // Appends, or inserts before `index` (at most ItemCount()); the item's address.
  virtual MenuItem* AddItem(std::unique_ptr<MenuItem> item) = 0;
  virtual MenuItem* InsertItem(std::unique_ptr<MenuItem> item, size_t index) = 0;
  // Takes the item out and hands it back; null when it is not in this menu.
  virtual std::unique_ptr<MenuItem> RemoveItem(MenuItem* item) = 0;
};

// The part of a menu that every backend keeps alike: its title and its items in
// order. A backend takes each item into its own widgets in Adopt (false refuses
// the item) and lets it go in Release.
class StoredMenu : public Menu {
 public:
  explicit StoredMenu(ToolkitString title) : title_(std::move(title)) {}

  ToolkitString Title() const override { return title_; }
  size_t ItemCount() const override { return items_.size(); }
  MenuItem* ItemAt(size_t index) const override { return index < items_.size() ? items_[index].get() : nullptr; }
  MenuItem* AddItem(std::unique_ptr<MenuItem> item) override { return InsertItem(std::move(item), items_.size()); }
  MenuItem* InsertItem(std::unique_ptr<MenuItem> item, size_t index) override;
  std::unique_ptr<MenuItem> RemoveItem(MenuItem* item) override;

 protected:
  virtual bool Adopt(MenuItem& item, size_t index) = 0;
  virtual void Release(MenuItem& item) = 0;

 private:
  ToolkitString title_;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

// The key equivalent's flag of the function keys F1 to F12, whose keys are the
// characters U+F704 to U+F70F.
inline constexpr uint32_t kFunctionKeyModifier = 0x800000;
inline constexpr char16_t kFirstFunctionKey = 0xF704;

}  // namespace zeb::platform
