#include "runtime/menus/key_equivalents.h"

#include "runtime/menus/shortcut_text.h"

namespace zeb {
namespace {

constexpr uint32_t kMatchedModifiers =
    platform::ModifierShift | platform::ModifierControl | platform::ModifierOption | platform::ModifierCommand;

platform::MenuItem* Find(const platform::Menu& menu, const platform::ToolkitString& key, uint32_t modifiers) {
  for (size_t index = 0; index < menu.ItemCount(); ++index) {
    platform::MenuItem* item = menu.ItemAt(index);
    if (item->IsSeparator()) continue;
    if (const platform::Menu* submenu = item->Submenu()) {
      if (platform::MenuItem* found = Find(*submenu, key, modifiers)) return found;
      continue;
    }
    if (!item->Key().empty() && ASCIILower(item->Key()) == key &&
        (item->KeyModifiers() & kMatchedModifiers) == modifiers) {
      return item;
    }
  }
  return nullptr;
}

}  // namespace

bool PerformKeyEquivalent(const platform::ToolkitEvent& event) {
  const platform::Menu* main = platform::CurrentToolkit().MainMenu();
  if (main == nullptr || event.Kind() != platform::EventKind::KeyDown) return false;
  const platform::ToolkitString key = ASCIILower(event.CharactersIgnoringModifiers());
  if (key.empty()) return false;
  platform::MenuItem* item = Find(*main, key, event.ModifierFlags() & kMatchedModifiers);
  if (item == nullptr || item->Target() == nullptr) return false;
  item->Target()->MenuItemChosen(*item);
  return true;
}

}  // namespace zeb
