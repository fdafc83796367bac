#include "platform/headless/headless_menus.h"

namespace zeb::platform {

HeadlessMenuItem* HeadlessMenu::ItemTitled(const ToolkitString& title) const {
  for (size_t index = 0; index < ItemCount(); ++index) {
    MenuItem* item = ItemAt(index);
    if (!item->IsSeparator() && item->Title() == title) return static_cast<HeadlessMenuItem*>(item);
  }
  return nullptr;
}

}  // namespace zeb::platform
