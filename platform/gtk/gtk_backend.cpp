#include "platform/gtk/gtk_backend.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdlib>

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

}  // namespace

std::unique_ptr<Toolkit> ConnectGtkToolkit() {
  if (!DisplayAvailable()) return nullptr;
  if (gdk_display_get_default() == nullptr) {
    // GTK would otherwise set the host's locale from the environment, LC_NUMERIC
    // included, and change how the host reads and prints numbers.
    gtk_disable_setlocale();
    gdk_set_allowed_backends("x11");
    if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  }
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) return nullptr;
  std::unique_ptr<X11Clipboard> clipboard = X11Clipboard::Connect(gdk_display_get_name(display));
  if (clipboard == nullptr) return nullptr;
  return std::make_unique<GtkToolkit>(std::move(clipboard));
}

}  // namespace zeb::platform
