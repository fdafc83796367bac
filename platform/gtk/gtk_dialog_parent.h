// The window a dialog belongs over: while it is up, the window manager keeps it
// above that window and centres it there.
#pragma once

#include <gtk/gtk.h>

namespace zeb::platform {

class GtkBackendWindow;

// Makes a dialog, before it is shown, transient for the key runtime window, or
// else for the host's own X11 window when that is the active one (its
// _NET_WM_PID is this process); nothing changes when neither exists. GTK's own
// dialogs are then centred over that window; a runtime window keeps the place the
// runtime gave it. The dialog stops being transient when this ends.
class DialogParent {
 public:
  enum class Placement { OverParent, AsPlaced };
  DialogParent(GtkWindow* dialog, GtkBackendWindow* key, Placement placement);
  ~DialogParent();
  DialogParent(const DialogParent&) = delete;
  DialogParent& operator=(const DialogParent&) = delete;

 private:
  GtkWindow* dialog_;
  bool runtimeParent_ = false;
  bool hostParent_ = false;
};

}  // namespace zeb::platform
