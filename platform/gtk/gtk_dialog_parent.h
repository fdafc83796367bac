// The window a dialog belongs over: while it is up, the window manager keeps it
// above that window, and it opens centred there.
#pragma once

#include <gtk/gtk.h>

namespace zeb::platform {

class GtkBackendWindow;

// Makes a dialog, before it is shown, transient for the key runtime window, or
// else for the host's own X11 window when that is the active one (its
// _NET_WM_PID is this process); nothing changes when neither exists. A dialog that
// has such a parent stays out of the task bar and the pager, and a dialog placed
// over its parent is centred over it at the size it will open at, no larger than
// the parent when it can be resized (Fit). The dialog stops being transient when
// this ends.
class DialogParent {
 public:
  enum class Placement { OverParent, AsPlaced };
  DialogParent(GtkWindow* dialog, GtkBackendWindow* key, Placement placement);
  ~DialogParent();
  DialogParent(const DialogParent&) = delete;
  DialogParent& operator=(const DialogParent&) = delete;

  // A dialog placed over its parent that can be resized opens no larger than the
  // parent, nor smaller than its contents need: one wider than a game's window
  // would hang off the screen. Called again when the dialog sizes itself anew
  // before it is shown.
  void Fit();

 private:
  GtkWindow* dialog_;
  GdkWindow* parent_ = nullptr;  // a reference, while the dialog is placed over it
  bool runtimeParent_ = false;
  bool hostParent_ = false;
};

}  // namespace zeb::platform
