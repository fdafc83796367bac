#include "platform/toolkit.h"

#include "platform/headless/headless_toolkit.h"

namespace zeb::platform {
namespace {

std::unique_ptr<Toolkit>& CurrentSlot() {
  static std::unique_ptr<Toolkit> toolkit;
  return toolkit;
}

}  // namespace

Toolkit& CurrentToolkit() {
  if (CurrentSlot() == nullptr) SelectToolkit();
  return *CurrentSlot();
}

void SelectToolkit() {
  // No display backend is built yet: every window and dialog is refused at once.
  CurrentSlot() = std::make_unique<HeadlessToolkit>(std::nullopt);
}

void SetToolkit(std::unique_ptr<Toolkit> toolkit) { CurrentSlot() = std::move(toolkit); }

}  // namespace zeb::platform
