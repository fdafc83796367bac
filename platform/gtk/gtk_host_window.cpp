#include "platform/gtk/gtk_host_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <unistd.h>

namespace zeb::platform {
namespace {

// One 32-bit item of a window's property, or 0 when it has none.
unsigned long PropertyItem(Display* display, ::Window window, const char* name, Atom type) {
  Atom actualType = None;
  int format = 0;
  unsigned long items = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  unsigned long item = 0;
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1, False, type, &actualType, &format,
                         &items, &after, &data) == Success &&
      data != nullptr) {
    if (actualType == type && format == 32 && items == 1) item = *reinterpret_cast<unsigned long*>(data);
    XFree(data);
  }
  return item;
}

}  // namespace

// The window may go at any moment, so X errors are ignored.
GdkWindow* ActiveHostWindow(GdkDisplay* display) {
  if (!GDK_IS_X11_DISPLAY(display)) return nullptr;
  Display* x = GDK_DISPLAY_XDISPLAY(display);
  gdk_x11_display_error_trap_push(display);
  GdkWindow* host = nullptr;
  const ::Window active = PropertyItem(x, DefaultRootWindow(x), "_NET_ACTIVE_WINDOW", XA_WINDOW);
  // GDK knows the windows it made, and keeps the foreign ones it was given before.
  GdkWindow* known = active != None ? gdk_x11_window_lookup_for_display(display, active) : nullptr;
  const bool gtkMade = known != nullptr && gdk_window_get_window_type(known) != GDK_WINDOW_FOREIGN;
  // A window manager may go on naming a window active after it has been unmapped.
  XWindowAttributes attributes{};
  const bool shown = active != None && XGetWindowAttributes(x, active, &attributes) != 0 &&
                     attributes.map_state == IsViewable;
  if (shown && !gtkMade && PropertyItem(x, active, "_NET_WM_PID", XA_CARDINAL) == static_cast<unsigned long>(getpid())) {
    host = known != nullptr ? GDK_WINDOW(g_object_ref(known)) : gdk_x11_window_foreign_new_for_display(display, active);
  }
  gdk_x11_display_error_trap_pop_ignored(display);
  return host;
}

guint32 UserTimeOf(GdkWindow* window) {
  GdkDisplay* display = gdk_window_get_display(window);
  if (!GDK_IS_X11_DISPLAY(display)) return 0;
  Display* x = GDK_DISPLAY_XDISPLAY(display);
  gdk_x11_display_error_trap_push(display);
  ::Window holder = PropertyItem(x, GDK_WINDOW_XID(window), "_NET_WM_USER_TIME_WINDOW", XA_WINDOW);
  if (holder == None) holder = GDK_WINDOW_XID(window);
  const auto time = static_cast<guint32>(PropertyItem(x, holder, "_NET_WM_USER_TIME", XA_CARDINAL));
  gdk_x11_display_error_trap_pop_ignored(display);
  return time;
}

}  // namespace zeb::platform
