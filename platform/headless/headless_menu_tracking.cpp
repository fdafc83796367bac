// The headless toolkit's menus: the main menu, the tracking loop of a pop-up menu,
// and the user's choices in both.
#include "platform/headless/headless_toolkit.h"

namespace zeb::platform {
namespace {

// The item at the titles, each naming an item of the menu before's submenu.
HeadlessMenuItem* ItemAt(const Menu* menu, const std::vector<ToolkitString>& titles) {
  HeadlessMenuItem* item = nullptr;
  for (const ToolkitString& title : titles) {
    const auto* headless = dynamic_cast<const HeadlessMenu*>(menu);
    if (headless == nullptr) return nullptr;
    item = headless->ItemTitled(title);
    if (item == nullptr) return nullptr;
    menu = item->Submenu();
  }
  return item;
}

}  // namespace

std::shared_ptr<Menu> HeadlessToolkit::CreateMenu(const ToolkitString& title) {
  return std::make_shared<HeadlessMenu>(title);
}

std::unique_ptr<MenuItem> HeadlessToolkit::CreateMenuItem(const ToolkitString& title, const ToolkitString& key,
                                                          uint32_t modifiers) {
  return std::make_unique<HeadlessMenuItem>(false, title, key, modifiers);
}

std::unique_ptr<MenuItem> HeadlessToolkit::CreateSeparatorItem() {
  return std::make_unique<HeadlessMenuItem>(true, u"", u"", 0);
}

void HeadlessToolkit::SetMainMenu(std::shared_ptr<Menu> bar, Window* window) {
  mainMenu_ = std::move(bar);
  mainMenuWindow_ = dynamic_cast<HeadlessWindow*>(window) != nullptr ? window : nullptr;
}

// The pop-up takes every input until the user chooses or dismisses; one that
// has had no input for the modal time limit is dismissed.
void HeadlessToolkit::PopUpContextMenu(Menu& menu, Point screenPoint) {
  auto* headless = dynamic_cast<HeadlessMenu*>(&menu);
  if (!screen_ || headless == nullptr || popUp_ != nullptr) return;
  popUp_ = headless;
  popUpPoint_ = screenPoint;
  if (std::function<void()> user = std::exchange(nextPopUpUser_, nullptr)) user();
  while (popUp_ != nullptr) {
    const Deadline until = modalTimeLimit_ ? Clock::now() + *modalTimeLimit_ : Deadline::max();
    const std::unique_ptr<ToolkitEvent> event = NextEvent(until);
    if (event == nullptr) {
      ++timeLimitEndings_;
      break;
    }
    const auto action = static_cast<const HeadlessEvent&>(*event).action;
    if (action == HeadlessAction::ChooseMenuItem || action == HeadlessAction::DismissMenu) SendEvent(*event);
  }
  popUp_ = nullptr;
}

// A pop-up closes before its chosen item acts, as a menu does on screen.
void HeadlessToolkit::ChooseMenuItem(const std::vector<ToolkitString>& titles) {
  HeadlessMenuItem* item = ItemAt(popUp_ != nullptr ? popUp_ : mainMenu_.get(), titles);
  popUp_ = nullptr;
  if (item != nullptr) item->Choose();
}

}  // namespace zeb::platform
