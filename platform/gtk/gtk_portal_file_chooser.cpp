#include "platform/gtk/gtk_portal_file_chooser.h"

#include <gdk/gdkx.h>
#include <gio/gio.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/gtk/gtk_host_window.h"
#include "platform/gtk/gtk_strings.h"
#include "platform/gtk/gtk_toolkit.h"
#include "platform/gtk/gtk_window.h"

namespace zeb::platform {
namespace {

constexpr char kPortal[] = "org.freedesktop.portal.Desktop";
constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";
constexpr char kFileChooser[] = "org.freedesktop.portal.FileChooser";
constexpr char kRequest[] = "org.freedesktop.portal.Request";
// The portal chooses folders from this version of its FileChooser on.
constexpr guint32 kFoldersVersion = 3;

struct UnrefVariant {
  void operator()(GVariant* variant) const { g_variant_unref(variant); }
};
using OwnedVariant = std::unique_ptr<GVariant, UnrefVariant>;

struct UnrefObject {
  void operator()(gpointer object) const { g_object_unref(object); }
};

// The version of the session's FileChooser portal; nothing when there is none.
std::optional<guint32> FileChooserVersion(GDBusConnection* bus) {
  const OwnedVariant reply(g_dbus_connection_call_sync(
      bus, kPortal, kPortalPath, "org.freedesktop.DBus.Properties", "Get", g_variant_new("(ss)", kFileChooser, "version"),
      G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr));
  if (reply == nullptr) return std::nullopt;
  GVariant* inner = nullptr;
  g_variant_get(reply.get(), "(v)", &inner);
  const OwnedVariant value(inner);
  if (!g_variant_is_of_type(value.get(), G_VARIANT_TYPE_UINT32)) return std::nullopt;
  return g_variant_get_uint32(value.get());
}

// The window the dialog belongs over, as the portal names it: the key runtime
// window, or else the host's own window when it is the active one; "" for none.
std::string ParentHandle(GtkToolkit& toolkit) {
  GdkWindow* parent = nullptr;
  if (GtkBackendWindow* key = toolkit.keyWindow()) parent = gtk_widget_get_window(GTK_WIDGET(key->gtkWindow()));
  GdkWindow* host = parent == nullptr ? ActiveHostWindow(gdk_display_get_default()) : nullptr;
  if (host != nullptr) parent = host;
  std::string handle;
  if (parent != nullptr && GDK_IS_X11_WINDOW(parent)) {
    char text[32];
    std::snprintf(text, sizeof text, "x11:%lx", static_cast<unsigned long>(gdk_x11_window_get_xid(parent)));
    handle = text;
  }
  if (host != nullptr) g_object_unref(host);
  return handle;
}

// A filter as the portal takes it: its description and its globs.
GVariant* FilterValue(const FileFilter& filter) {
  GVariantBuilder patterns;
  g_variant_builder_init(&patterns, G_VARIANT_TYPE("a(us)"));
  for (const ToolkitString& pattern : filter.patterns) {
    g_variant_builder_add(&patterns, "(us)", 0U, ToUTF8(pattern).c_str());
  }
  return g_variant_new("(sa(us))", ToUTF8(filter.description).c_str(), &patterns);
}

GVariant* Options(const PortalFileRequest& request, const std::string& token) {
  GVariantBuilder options;
  g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
  g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
  g_variant_builder_add(&options, "{sv}", "modal", g_variant_new_boolean(TRUE));
  if (request.mode != FilePanelMode::Save) {
    g_variant_builder_add(&options, "{sv}", "multiple", g_variant_new_boolean(request.multiple));
    g_variant_builder_add(&options, "{sv}", "directory",
                          g_variant_new_boolean(request.mode == FilePanelMode::OpenFolder));
  }
  if (!request.filters.empty()) {
    GVariantBuilder filters;
    g_variant_builder_init(&filters, G_VARIANT_TYPE("a(sa(us))"));
    for (const FileFilter& filter : request.filters) g_variant_builder_add_value(&filters, FilterValue(filter));
    g_variant_builder_add(&options, "{sv}", "filters", g_variant_builder_end(&filters));
    if (request.currentFilter < request.filters.size()) {
      g_variant_builder_add(&options, "{sv}", "current_filter", FilterValue(request.filters[request.currentFilter]));
    }
  }
  // The folder's bytes, ended by a NUL.
  if (!request.folder.empty()) {
    g_variant_builder_add(&options, "{sv}", "current_folder", g_variant_new_bytestring(request.folder.c_str()));
  }
  if (request.mode == FilePanelMode::Save) {
    g_variant_builder_add(&options, "{sv}", "current_name", g_variant_new_string(request.name.c_str()));
  }
  return g_variant_builder_end(&options);
}

// A request under way and its answer.
struct Answer {
  GtkToolkit& toolkit;
  std::string handle;  // the request's object path
  std::optional<guint32> response;
  std::vector<ToolkitString> paths;
};

// The request's Response: 0 with the chosen files' URIs, 1 when the user
// cancelled, 2 when the dialog ended otherwise.
void OnResponse(GDBusConnection*, const gchar*, const gchar* path, const gchar*, const gchar*, GVariant* parameters,
                gpointer data) {
  auto* answer = static_cast<Answer*>(data);
  if (answer->response || answer->handle != path || !g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})"))) {
    return;
  }
  guint32 response = 2;
  GVariant* results = nullptr;
  g_variant_get(parameters, "(u@a{sv})", &response, &results);
  const OwnedVariant owned(results);
  const gchar** uris = nullptr;
  if (response == 0 && g_variant_lookup(results, "uris", "^a&s", &uris)) {
    for (const gchar** uri = uris; *uri != nullptr; ++uri) {
      // Percent-encoded bytes come back as they are, whatever they spell.
      gchar* file = g_filename_from_uri(*uri, nullptr, nullptr);
      if (file == nullptr) continue;
      answer->paths.push_back(FromFileName(file));
      g_free(file);
    }
    g_free(static_cast<gpointer>(uris));
  }
  answer->response = response;
  answer->toolkit.StopModal(1);
}

}  // namespace

bool PortalWanted() {
  const char* asked = g_getenv("GTK_USE_PORTAL");
  return (asked != nullptr && std::strcmp(asked, "1") == 0) || g_getenv("SNAP") != nullptr ||
         g_file_test("/.flatpak-info", G_FILE_TEST_EXISTS);
}

std::optional<std::vector<ToolkitString>> ChooseThroughPortal(GtkToolkit& toolkit, const PortalFileRequest& request) {
  const std::unique_ptr<GDBusConnection, UnrefObject> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
  if (bus == nullptr) return std::nullopt;
  const std::optional<guint32> version = FileChooserVersion(bus.get());
  if (!version || (request.mode == FilePanelMode::OpenFolder && *version < kFoldersVersion)) return std::nullopt;

  // The answer comes as a signal of the request object that the call names. Its
  // handler runs from the loop below, after the call has named that object.
  static unsigned requests = 0;
  const std::string token = "zebext" + std::to_string(++requests);
  Answer answer{toolkit, {}, std::nullopt, {}};
  const guint subscription = g_dbus_connection_signal_subscribe(bus.get(), kPortal, kRequest, "Response", nullptr,
                                                                nullptr, G_DBUS_SIGNAL_FLAGS_NONE, OnResponse, &answer,
                                                                nullptr);
  const OwnedVariant reply(g_dbus_connection_call_sync(
      bus.get(), kPortal, kPortalPath, kFileChooser, request.mode == FilePanelMode::Save ? "SaveFile" : "OpenFile",
      g_variant_new("(ss@a{sv})", ParentHandle(toolkit).c_str(), request.title.c_str(), Options(request, token)),
      G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr));
  if (reply == nullptr) {
    g_dbus_connection_signal_unsubscribe(bus.get(), subscription);
    return std::nullopt;
  }
  const gchar* handle = nullptr;
  g_variant_get(reply.get(), "(&o)", &handle);
  answer.handle = handle;
  // The library's own windows take no input while the portal's dialog is up, as
  // none while GTK's own dialog is: an invisible widget holds GTK's grab.
  GtkWidget* blocker = gtk_invisible_new();
  gtk_widget_show(blocker);
  gtk_grab_add(blocker);
  toolkit.RunModalLoop(nullptr);
  gtk_grab_remove(blocker);
  gtk_widget_destroy(blocker);
  // A loop ended without an answer takes the portal's dialog with it.
  if (!answer.response) {
    g_dbus_connection_call(bus.get(), kPortal, answer.handle.c_str(), kRequest, "Close", nullptr, nullptr,
                           G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr, nullptr);
  }
  g_dbus_connection_signal_unsubscribe(bus.get(), subscription);
  return answer.paths;
}

}  // namespace zeb::platform
