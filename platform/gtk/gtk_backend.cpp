#include "platform/gtk/gtk_backend.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/gtk/gtk_toolkit.h"
#include "platform/gtk/x11_clipboard.h"

namespace zeb::platform {
namespace {

// Whether an X display can be opened; Xlib answers quietly, where GTK would warn.
bool DisplayAvailable() {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == 0) return false;
  Display* probe = XOpenDisplay(nullptr);
  if (probe == nullptr) return false;
  XCloseDisplay(probe);
  return true;
}

// GDK opens its display only with a backend that GDK_BACKEND names when the variable
// is set, so a value that names only Wayland (common in Sway and Hyprland setups)
// would leave the library headless beside an X display it can open. While GTK opens
// its display the variable names X11; then the host's value is put back.
class X11BackendForGdk {
 public:
  X11BackendForGdk() {
    if (const char* named = std::getenv(kVariable)) {
      hostValue_ = named;
      setenv(kVariable, "x11", 1);
    }
  }
  ~X11BackendForGdk() {
    if (hostValue_) setenv(kVariable, hostValue_->c_str(), 1);
  }
  X11BackendForGdk(const X11BackendForGdk&) = delete;
  X11BackendForGdk& operator=(const X11BackendForGdk&) = delete;

 private:
  static constexpr const char* kVariable = "GDK_BACKEND";
  std::optional<std::string> hostValue_;
};

}  // namespace

std::unique_ptr<Toolkit> ConnectGtkToolkit() {
  if (!DisplayAvailable()) return nullptr;
  if (gdk_display_get_default() == nullptr) {
    // GTK would otherwise set the host's locale from the environment, LC_NUMERIC
    // included, and change how the host reads and prints numbers.
    gtk_disable_setlocale();
    gdk_set_allowed_backends("x11");
    const X11BackendForGdk x11;
    if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  }
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) return nullptr;
  std::unique_ptr<X11Clipboard> clipboard = X11Clipboard::Connect(gdk_display_get_name(display));
  if (clipboard == nullptr) return nullptr;
  return std::make_unique<GtkToolkit>(std::move(clipboard));
}

}  // namespace zeb::platform
