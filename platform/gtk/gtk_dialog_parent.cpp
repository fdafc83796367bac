#include "platform/gtk/gtk_dialog_parent.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>

#include "platform/gtk/gtk_host_window.h"
#include "platform/gtk/gtk_window.h"

namespace zeb::platform {
namespace {

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
