#include "platform/headless/headless_menus.h"

#include <algorithm>

namespace zeb::platform {

MenuItem* HeadlessMenu::InsertItem(std::unique_ptr<MenuItem> item, size_t index) {
  if (dynamic_cast<HeadlessMenuItem*>(item.get()) == nullptr) return nullptr;
  MenuItem* added = item.get();
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(std::min(index, items_.size())), std::move(item));
  return added;
}

std::unique_ptr<MenuItem> HeadlessMenu::RemoveItem(MenuItem* item) {
  const auto found = std::find_if(items_.begin(), items_.end(), [item](const auto& own) { return own.get() == item; });
  if (found == items_.end()) return nullptr;
  std::unique_ptr<MenuItem> removed = std::move(*found);
  items_.erase(found);
  return removed;
}

HeadlessMenuItem* HeadlessMenu::ItemTitled(const ToolkitString& title) const {
  for (const auto& item : items_) {
    if (!item->IsSeparator() && item->Title() == title) return static_cast<HeadlessMenuItem*>(item.get());
  }
  return nullptr;
}

}  // namespace zeb::platform
