#include "platform/menus.h"

#include <algorithm>

namespace zeb::platform {

MenuItem* StoredMenu::InsertItem(std::unique_ptr<MenuItem> item, size_t index) {
  index = std::min(index, items_.size());
  if (item == nullptr || !Adopt(*item, index)) return nullptr;
  MenuItem* added = item.get();
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
  return added;
}

std::unique_ptr<MenuItem> StoredMenu::RemoveItem(MenuItem* item) {
  const auto found = std::find_if(items_.begin(), items_.end(), [item](const auto& own) { return own.get() == item; });
  if (found == items_.end()) return nullptr;
  std::unique_ptr<MenuItem> removed = std::move(*found);
  items_.erase(found);
  Release(*removed);
  return removed;
}

}  // namespace zeb::platform
