#include "platform/gtk/gtk_user_time.h"

#include <gdk/gdkx.h>

#include <cstdint>

#include "platform/gtk/gtk_host_window.h"

namespace zeb::platform {
namespace {

// X server times wrap around after 49 days: the later of two is the one ahead by
// less than half the range.
guint32 Later(guint32 a, guint32 b) { return static_cast<int32_t>(a - b) > 0 ? a : b; }

// The newest input time the user gave the host or our windows; 0 when none is known.
guint32 NewestUserTime(GdkDisplay* display) {
  if (!GDK_IS_X11_DISPLAY(display)) return 0;
  guint32 newest = gdk_x11_display_get_user_time(display);
  if (GdkWindow* host = ActiveHostWindow(display)) {
    const guint32 hostTime = UserTimeOf(host);
    if (hostTime != 0) newest = newest == 0 ? hostTime : Later(newest, hostTime);
    g_object_unref(host);
  }
  return newest;
}

}  // namespace

void PresentWithUserTime(GtkWindow* window) {
  const guint32 time = NewestUserTime(gtk_widget_get_display(GTK_WIDGET(window)));
  // A user time of 0 would ask the window manager not to focus the window at all.
  if (time == 0) {
    gtk_window_present(window);
    return;
  }
  gtk_widget_realize(GTK_WIDGET(window));
  gdk_x11_window_set_user_time(gtk_widget_get_window(GTK_WIDGET(window)), time);
  gtk_window_present_with_time(window, time);
}

}  // namespace zeb::platform
