#include "platform/toolkit.h"

#include "platform/headless/headless_toolkit.h"
#if ZEB_HAVE_GTK
#include "platform/gtk/gtk_backend.h"
#endif

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
#if ZEB_HAVE_GTK
  if (auto gtk = ConnectGtkToolkit()) {
    CurrentSlot() = std::move(gtk);
    return;
  }
#endif
  // No display: every window and dialog is refused at once.
  CurrentSlot() = std::make_unique<HeadlessToolkit>(std::nullopt);
}

void SetToolkit(std::unique_ptr<Toolkit> toolkit) { CurrentSlot() = std::move(toolkit); }

}  // namespace zeb::platform
