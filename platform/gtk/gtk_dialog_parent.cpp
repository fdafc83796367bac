#include "platform/gtk/gtk_dialog_parent.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>

#include <algorithm>

#include "platform/gtk/gtk_host_window.h"
#include "platform/gtk/gtk_window.h"

namespace zeb::platform {
namespace {

// Places the dialog's frame over the middle of the parent's frame. The window
// manager has not framed the dialog yet; it frames it as it framed the parent.
void CentreOver(GtkWindow* dialog, GdkWindow* parent) {
  GdkRectangle frame{};
  gdk_window_get_frame_extents(parent, &frame);
  int x = 0;
  int y = 0;
  gdk_window_get_origin(parent, &x, &y);
  const int decorationWidth = frame.width - gdk_window_get_width(parent);
  const int decorationHeight = frame.height - gdk_window_get_height(parent);
  // An unmapped window's size is the one it will be mapped at.
  GtkRequisition natural{};
  gtk_widget_get_preferred_size(GTK_WIDGET(dialog), nullptr, &natural);
  int width = 0;
  int height = 0;
  gtk_window_get_size(dialog, &width, &height);
  width = std::max(width, natural.width) + decorationWidth;
  height = std::max(height, natural.height) + decorationHeight;
  gtk_window_set_position(dialog, GTK_WIN_POS_NONE);
  gtk_window_move(dialog, frame.x + (frame.width - width) / 2, frame.y + (frame.height - height) / 2);
}

}  // namespace

DialogParent::DialogParent(GtkWindow* dialog, GtkBackendWindow* key, Placement placement) : dialog_(dialog) {
  if (gtk_window_get_transient_for(dialog) != nullptr) return;
  GdkWindow* parent = nullptr;
  if (key != nullptr && key->gtkWindow() != dialog) {
    gtk_window_set_transient_for(dialog, key->gtkWindow());
    parent = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(key->gtkWindow()))));
    runtimeParent_ = true;
  } else {
    parent = ActiveHostWindow(gtk_widget_get_display(GTK_WIDGET(dialog)));
    if (parent == nullptr) return;
    gtk_widget_realize(GTK_WIDGET(dialog));
    gdk_window_set_transient_for(gtk_widget_get_window(GTK_WIDGET(dialog)), parent);
    hostParent_ = true;
  }
  gtk_window_set_skip_taskbar_hint(dialog, TRUE);
  gtk_window_set_skip_pager_hint(dialog, TRUE);
  if (placement == Placement::OverParent) {
    parent_ = parent;
    Fit();
    CentreOver(dialog, parent);
  } else {
    g_object_unref(parent);
  }
}

void DialogParent::Fit() {
  if (parent_ == nullptr || !gtk_window_get_resizable(dialog_)) return;
  GtkRequisition minimum{};
  gtk_widget_get_preferred_size(GTK_WIDGET(dialog_), &minimum, nullptr);
  int width = 0;
  int height = 0;
  gtk_window_get_size(dialog_, &width, &height);
  gtk_window_resize(dialog_, std::max(minimum.width, std::min(width, gdk_window_get_width(parent_))),
                    std::max(minimum.height, std::min(height, gdk_window_get_height(parent_))));
}

DialogParent::~DialogParent() {
  if (parent_ != nullptr) g_object_unref(parent_);
  if (!runtimeParent_ && !hostParent_) return;
  gtk_window_set_skip_taskbar_hint(dialog_, FALSE);
  gtk_window_set_skip_pager_hint(dialog_, FALSE);
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
