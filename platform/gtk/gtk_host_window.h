// The host's own X11 window that the user is in, seen from GDK, and the last time
// the user gave a window input.
#pragma once

#include <gtk/gtk.h>

namespace zeb::platform {

// The active window when it is one of this process's own (its _NET_WM_PID is this
// process), shown, and not made by GTK; null otherwise. A new reference.
GdkWindow* ActiveHostWindow(GdkDisplay* display);

// The window's _NET_WM_USER_TIME, read from its _NET_WM_USER_TIME_WINDOW when it
// names one; 0 when it has none.
guint32 UserTimeOf(GdkWindow* window);

}  // namespace zeb::platform
