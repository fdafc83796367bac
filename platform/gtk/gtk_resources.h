// Small owners for GLib and GDK resources, so nothing is released by hand.
#pragma once

#include <gtk/gtk.h>

#include <memory>

namespace zeb::platform {

struct GObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFreeDeleter {
  void operator()(gpointer memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;

struct GdkEventFree {
  void operator()(GdkEvent* event) const { gdk_event_free(event); }
};
using GdkEventPtr = std::unique_ptr<GdkEvent, GdkEventFree>;

// A widget kept alive (and out of floating state) by its owner, destroyed with it.
struct WidgetDestroy {
  void operator()(GtkWidget* widget) const {
    gtk_widget_destroy(widget);
    g_object_unref(widget);
  }
};
using OwnedWidget = std::unique_ptr<GtkWidget, WidgetDestroy>;
inline OwnedWidget OwnWidget(GtkWidget* widget) { return OwnedWidget(GTK_WIDGET(g_object_ref_sink(widget))); }

// A signal connection that ends with its owner.
class SignalConnection {
 public:
  SignalConnection() = default;
  SignalConnection(gpointer instance, const char* signal, GCallback handler, gpointer data)
      : instance_(instance), id_(g_signal_connect(instance, signal, handler, data)) {}
  // A handler that runs after the instance's own (G_CONNECT_AFTER).
  SignalConnection(gpointer instance, const char* signal, GCallback handler, gpointer data, GConnectFlags flags)
      : instance_(instance), id_(g_signal_connect_data(instance, signal, handler, data, nullptr, flags)) {}
  SignalConnection(const SignalConnection&) = delete;
  SignalConnection& operator=(const SignalConnection&) = delete;
  SignalConnection& operator=(SignalConnection&& other) noexcept {
    Disconnect();
    instance_ = other.instance_;
    id_ = other.id_;
    other.instance_ = nullptr;
    other.id_ = 0;
    return *this;
  }
  ~SignalConnection() { Disconnect(); }

 private:
  void Disconnect() {
    if (instance_ != nullptr && id_ != 0 && g_signal_handler_is_connected(instance_, id_)) {
      g_signal_handler_disconnect(instance_, id_);
    }
    instance_ = nullptr;
    id_ = 0;
  }

  gpointer instance_ = nullptr;
  gulong id_ = 0;
};

}  // namespace zeb::platform
