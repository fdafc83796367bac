#include "platform/gtk/gtk_dialog_parent.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <unistd.h>

#include "platform/gtk/gtk_window.h"

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

// The active window when it is one of this process's own, not made by GTK; null
// otherwise (a new reference). The window may go at any moment, so X errors are ignored.
GdkWindow* ActiveHostWindow(GdkDisplay* display) {
  if (!GDK_IS_X11_DISPLAY(display)) return nullptr;
  Display* x = GDK_DISPLAY_XDISPLAY(display);
  gdk_x11_display_error_trap_push(display);
  GdkWindow* host = nullptr;
  const ::Window active = PropertyItem(x, DefaultRootWindow(x), "_NET_ACTIVE_WINDOW", XA_WINDOW);
  // GDK knows the windows it made, and keeps the foreign ones it was given before.
  GdkWindow* known = active != None ? gdk_x11_window_lookup_for_display(display, active) : nullptr;
  const bool gtkMade = known != nullptr && gdk_window_get_window_type(known) != GDK_WINDOW_FOREIGN;
  if (active != None && !gtkMade &&
      PropertyItem(x, active, "_NET_WM_PID", XA_CARDINAL) == static_cast<unsigned long>(getpid())) {
    host = known != nullptr ? GDK_WINDOW(g_object_ref(known)) : gdk_x11_window_foreign_new_for_display(display, active);
  }
  gdk_x11_display_error_trap_pop_ignored(display);
  return host;
}

// Places the dialog over the middle of the window.
void CentreOver(GtkWindow* dialog, GdkWindow* window) {
  GdkRectangle frame{};
  gdk_window_get_frame_extents(window, &frame);
  GtkRequisition size{};
  gtk_widget_get_preferred_size(GTK_WIDGET(dialog), nullptr, &size);
  gtk_window_set_position(dialog, GTK_WIN_POS_NONE);
  gtk_window_move(dialog, frame.x + (frame.width - size.width) / 2, frame.y + (frame.height - size.height) / 2);
}

}  // namespace

DialogParent::DialogParent(GtkWindow* dialog, GtkBackendWindow* key, Placement placement) : dialog_(dialog) {
  if (gtk_window_get_transient_for(dialog) != nullptr) return;
  const bool place = placement == Placement::OverParent;
  if (key != nullptr && key->gtkWindow() != dialog) {
    gtk_window_set_transient_for(dialog, key->gtkWindow());
    if (place) gtk_window_set_position(dialog, GTK_WIN_POS_CENTER_ON_PARENT);
    runtimeParent_ = true;
    return;
  }
  GdkWindow* host = ActiveHostWindow(gtk_widget_get_display(GTK_WIDGET(dialog)));
  if (host == nullptr) return;
  gtk_widget_realize(GTK_WIDGET(dialog));
  gdk_window_set_transient_for(gtk_widget_get_window(GTK_WIDGET(dialog)), host);
  if (place) CentreOver(dialog, host);
  g_object_unref(host);
  hostParent_ = true;
}

DialogParent::~DialogParent() {
  if (runtimeParent_) gtk_window_set_transient_for(dialog_, nullptr);
  // GDK cannot unset a parent it did not make, so the hint goes at the X11 level.
  GdkWindow* window = gtk_widget_get_window(GTK_WIDGET(dialog_));
  if (hostParent_ && window != nullptr) {
    GdkDisplay* display = gdk_window_get_display(window);
    XDeleteProperty(GDK_DISPLAY_XDISPLAY(display), GDK_WINDOW_XID(window),
                    gdk_x11_get_xatom_by_name_for_display(display, "WM_TRANSIENT_FOR"));
  }
}

}  // namespace zeb::platform
