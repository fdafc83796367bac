// The file and folder dialogs through the desktop portal, asked for with
// GTK_USE_PORTAL=1 as a sandbox would: a mock portal (python3-dbusmock serving
// file_chooser_portal.py on a session bus of the suite's own) answers each request
// as the test tells it and shows what it was sent. A dialog that GTK shows instead is
// cancelled with Escape, and a request left unanswered ends after 10 s.
#include <gtest/gtest.h>
// after GoogleTest, whose own None the X11 macro would break
#include <gdk/gdkx.h>
#include <gio/gio.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "extension/exports.h"
#include "platform/gtk/gtk_automation.h"
#include "platform/gtk/gtk_toolkit.h"
#include "platform/gtk/gtk_window.h"
#include "runtime/events/event_queue.h"
#include "runtime/events/windows.h"
#include "tests/files/process_test_support.h"
#include "tests/runtime_session.h"

namespace zeb {
namespace {

using namespace std::chrono_literals;

constexpr char kPortal[] = "org.freedesktop.portal.Desktop";

class PortalOnDisplay : public ::testing::Test {
 protected:
  // GDBus keeps the session bus it first connects to for the life of the process:
  // the suite starts one bus and leaves it to the end. It starts no services, so
  // that no portal of the machine's answers in the mock's place.
  static void SetUpTestSuite() {
    const file_testing::TestFolder folder;
    ASSERT_TRUE(file_testing::WriteBytes(
        folder / "bus.conf",
        "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
        "<policy context=\"default\"><allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
        "<allow own=\"*\"/></policy></busconfig>"));
    // The bus forks and prints its address and process id.
    int status = 0;
    std::istringstream printed(file_testing::CommandOutput(
        "dbus-daemon --fork --print-address=1 --print-pid=1 --config-file=" + folder / "bus.conf", &status));
    std::string address;
    printed >> address >> bus_;
    ASSERT_FALSE(address.empty()) << "no session bus";
    setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
  }
  static void TearDownTestSuite() {
    if (bus_ > 0) kill(bus_, SIGTERM);
  }

  void SetUp() override {
    platform::AutomatedBackend backend = platform::MakeGtkBackend();
    if (backend.toolkit == nullptr) GTEST_SKIP() << "no display here";
    toolkit_ = static_cast<platform::GtkToolkit*>(backend.toolkit.get());
    automation_ = std::move(backend.automation);
    StartRuntime(std::move(backend.toolkit));
    setenv("GTK_USE_PORTAL", "1", 1);
    connection_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    ASSERT_NE(connection_, nullptr);
  }
  void TearDown() override {
    if (toolkit_ == nullptr) return;
    // The next test may need the portal's name free.
    if (mock_ > 0 && kill(mock_, SIGTERM) == 0) file_testing::WaitUntil([this] { return !PortalOnBus(); });
    unsetenv("GTK_USE_PORTAL");
    g_object_unref(connection_);
    automation_.reset();
    StopRuntime();
  }

  // Starts the mock portal with a FileChooser of this version, its output going nowhere.
  void StartPortal(int version) {
    int status = 0;
    const std::string pid = file_testing::CommandOutput("/usr/bin/python3 -m dbusmock --template " ZEB_TESTS_DIR
                                                        "/gtk/file_chooser_portal.py -p '{\"version\": " +
                                                            std::to_string(version) + "}' >/dev/null 2>&1 & echo $!",
                                                        &status);
    mock_ = std::atoi(pid.c_str());
    ASSERT_GT(mock_, 0);
    ASSERT_TRUE(file_testing::WaitUntil([this] { return PortalOnBus(); }, 20)) << "the mock portal did not start";
  }

  bool PortalOnBus() {
    GVariant* owned = Call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                           g_variant_new("(s)", kPortal));
    gboolean has = FALSE;
    if (owned != nullptr) g_variant_get(owned, "(b)", &has);
    if (owned != nullptr) g_variant_unref(owned);
    return has;
  }

  GVariant* Call(const char* name, const char* path, const char* interface, const char* method, GVariant* arguments) {
    return g_dbus_connection_call_sync(connection_, name, path, interface, method, arguments, nullptr,
                                       G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
  }

  // How the mock answers the next request, `delay` ms after it was made.
  void Answer(guint32 response, const std::vector<const char*>& uris, guint32 delay = 50) {
    GVariantBuilder list;
    g_variant_builder_init(&list, G_VARIANT_TYPE("as"));
    for (const char* uri : uris) g_variant_builder_add(&list, "s", uri);
    GVariant* reply = Call(kPortal, "/org/freedesktop/portal/desktop", "org.zebext.PortalAnswer", "SetAnswer",
                           g_variant_new("(uasu)", response, &list, delay));
    ASSERT_NE(reply, nullptr);
    g_variant_unref(reply);
  }

  // What the last request sent, printed as GVariant text: the method, the parent
  // window, the title and the options.
  std::string LastRequest() {
    GVariant* reply = Call(kPortal, "/org/freedesktop/portal/desktop", "org.zebext.PortalAnswer", "LastRequest", nullptr);
    if (reply == nullptr) return "";
    gchar* text = g_variant_print(reply, FALSE);
    const std::string printed = text;
    g_free(text);
    g_variant_unref(reply);
    return printed;
  }

  // Calls the export with the watchdogs: a GTK dialog shown in the portal's place
  // is cancelled, and a request left unanswered ends.
  std::string Ask(const std::function<const char*()>& open) {
    automation_->WhenModal([this] { automation_->TypeText(u"\x1b"); });
    const guint watchdog = g_timeout_add(
        10000, [](gpointer toolkit) {
          static_cast<platform::GtkToolkit*>(toolkit)->StopModal(0);
          return G_SOURCE_REMOVE;
        },
        toolkit_);
    std::string result = open();
    if (GSource* source = g_main_context_find_source_by_id(nullptr, watchdog)) g_source_destroy(source);
    return result;
  }

  static inline pid_t bus_ = 0;
  pid_t mock_ = 0;
  platform::GtkToolkit* toolkit_ = nullptr;
  std::unique_ptr<platform::Automation> automation_;
  GDBusConnection* connection_ = nullptr;
};

// Each dialog as the portal is asked for it, and the path each answer gives.
TEST_F(PortalOnDisplay, DialogsAskThePortalAndGiveWhatItAnswers) {
  StartPortal(3);
  // The dialogs belong over the key runtime window.
  ASSERT_NE(OpenWindow(1, 100, 100, 300, 200, u"game", 0x76), 0);
  auto* key = static_cast<platform::GtkBackendWindow*>(WindowID(1));
  file_testing::WaitUntil([&] { return WaitWindowEvent(20) >= 0 && toolkit_->KeyWindow() == key; }, 5);
  char handle[32];
  std::snprintf(handle, sizeof handle, "x11:%lx", gdk_x11_window_get_xid(gtk_widget_get_window(GTK_WIDGET(key->gtkWindow()))));
  const std::string parent = std::string("', '") + handle + "', '";

  struct Case {
    const char* dialog;
    std::function<const char*()> open;
    guint32 response;
    std::vector<const char*> uris;
    std::string expected;
    std::vector<std::string> sent;  // parts of the request as printed
  };
  const std::vector<Case> cases = {
      {"open", [] { return GetOpenFile("Open a level", "/tmp/levels/", "Text|*.txt|Images|*.png;*.jpg", 2); }, 0,
       {"file:///tmp/levels/caf%E9%20one.png", "file:///tmp/levels/two.png"}, "/tmp/levels/caf\xE9 one.png",
       {"('OpenFile" + parent + "Open a level'", "'modal': <true>", "'directory': <false>",
        "'filters': <[('Text', [(uint32 0, '*.txt')]), ('Images', [(0, '*.png'), (0, '*.jpg')]), "
        "('All files', [(0, '*')])]>",
        "'current_filter': <('Images', [(uint32 0, '*.png'), (0, '*.jpg')])>",
        "'current_folder': <b'/tmp/levels'>"}},
      {"save", [] { return GetSaveFile("Save the game", "/tmp/sav\xE9s/slot 1.sav", "", 0); }, 0,
       {"file:///tmp/sav%E9s/slot%201.sav"}, "/tmp/sav\xE9s/slot 1.sav",
       {"('SaveFile" + parent + "Save the game'", "'modal': <true>", "'current_name': <'slot 1.sav'>",
        "'current_folder': <b'/tmp/sav\\351s'>"}},
      {"folder", [] { return GetDirectory("Choose a folder", "/tmp/"); }, 0, {"file:///tmp/saves"}, "/tmp/saves/",
       {"('OpenFile" + parent + "Choose a folder'", "'directory': <true>", "'current_folder': <b'/tmp'>"}},
      {"cancelled", [] { return GetOpenFile("Open", "/tmp/", "", 0); }, 1, {}, "", {"('OpenFile" + parent + "Open'"}},
      {"ended otherwise", [] { return GetSaveFile("Save", "/tmp/x.sav", "", 0); }, 2, {}, "",
       {"('SaveFile" + parent + "Save'"}},
  };
  for (const Case& c : cases) {
    Answer(c.response, c.uris);
    EXPECT_EQ(Ask(c.open), c.expected) << c.dialog;
    const std::string sent = LastRequest();
    for (const std::string& part : c.sent) EXPECT_NE(sent.find(part), std::string::npos) << part << " in " << sent;
  }

  // A click in the game's window while the portal's dialog is up reaches nothing.
  Answer(1, {}, 1500);
  const guint click = g_timeout_add(
      300, [](gpointer automation) {
        static_cast<platform::Automation*>(automation)->Click(WindowID(1), {50, 50}, 1, platform::MouseButton::Left);
        return G_SOURCE_REMOVE;
      },
      automation_.get());
  EXPECT_EQ(Ask([] { return GetOpenFile("Open", "/tmp/", "", 0); }), "");
  if (GSource* source = g_main_context_find_source_by_id(nullptr, click)) g_source_destroy(source);
  bool clicked = false;
  for (const auto until = std::chrono::steady_clock::now() + 1s; std::chrono::steady_clock::now() < until;) {
    clicked = clicked || WaitWindowEvent(20) == LeftClickEvent;
  }
  EXPECT_FALSE(clicked);
  CloseWindow(1);
}

// Without a portal, or with one too old to choose folders, GTK's own dialog opens.
TEST_F(PortalOnDisplay, WithoutAFitPortalGtksDialogOpens) {
  const auto title = [this](const std::function<const char*()>& open) {
    std::u16string shown;
    automation_->WhenModal([&] {
      shown = automation_->ModalWindowContents().title;
      automation_->TypeText(u"\x1b");
    });
    EXPECT_STREQ(open(), "");
    return shown;
  };
  EXPECT_EQ(title([] { return GetOpenFile("No portal", "/tmp/", "", 0); }), u"No portal");
  StartPortal(2);
  EXPECT_EQ(title([] { return GetDirectory("Old portal", "/tmp/"); }), u"Old portal");
  Answer(0, {"file:///tmp/level.txt"});
  EXPECT_EQ(Ask([] { return GetOpenFile("Files still", "/tmp/", "", 0); }), "/tmp/level.txt");
}

}  // namespace
}  // namespace zeb
