// Dialogs of the GTK backend as the user sees them: each belongs over the window the
// user is in (the key runtime window, or else the host's own X11 window when it is
// the active one).
#include <gtest/gtest.h>
// after GoogleTest, whose own None the X11 macro would break
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

#include "extension/exports.h"
#include "platform/gtk/gtk_automation.h"
#include "platform/gtk/gtk_window.h"
#include "runtime/events/windows.h"
#include "tests/runtime_session.h"

namespace zeb {
namespace {

class DialogParentOnDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::AutomatedBackend backend = platform::MakeGtkBackend();
    if (backend.toolkit == nullptr) GTEST_SKIP() << "no display here";
    toolkit_ = static_cast<platform::GtkToolkit*>(backend.toolkit.get());
    automation_ = std::move(backend.automation);
    StartRuntime(std::move(backend.toolkit));
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (toolkit_ == nullptr) return;
    EXPECT_EQ(automation_->WatchdogEndings(), 0);
    automation_.reset();
    StopRuntime();
    XCloseDisplay(display_);
  }

  // The 32-bit items of a window's property of this type (none when it has none).
  std::vector<unsigned long> Items(::Window window, const char* name, Atom type) {
    Atom actual = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, window, XInternAtom(display_, name, False), 0, 1024, False, type, &actual, &format,
                       &items, &after, &data);
    std::vector<unsigned long> list;
    if (data != nullptr) list.assign(reinterpret_cast<unsigned long*>(data), reinterpret_cast<unsigned long*>(data) + items);
    if (data != nullptr) XFree(data);
    return list;
  }
  ::Window Active() {
    const std::vector<unsigned long> items = Items(DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    return items.empty() ? None : items[0];
  }

  bool WaitFor(const std::function<bool()>& done) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < giveUp) WaitWindowEvent(20);
    return done();
  }

  // A window's frame on the screen, decoration included.
  static GdkRectangle FrameOf(GdkWindow* window) {
    GdkRectangle frame{};
    gdk_window_get_frame_extents(window, &frame);
    return frame;
  }

  // Whether a window's list of atoms holds this one.
  bool HasAtom(::Window window, const char* list, const char* atom) {
    const std::vector<unsigned long> atoms = Items(window, list, XA_ATOM);
    return std::find(atoms.begin(), atoms.end(), XInternAtom(display_, atom, False)) != atoms.end();
  }

  platform::GtkToolkit* toolkit_ = nullptr;
  std::unique_ptr<platform::Automation> automation_;
  Display* display_ = nullptr;
};

// Each dialog belongs over the window the user is in, centred there, out of the
// task bar: the host's own window (an 800 x 600 game window at 61,100, made without
// GTK) when it is the active one, else the key runtime window; over the screen
// when there is neither. GetText's window is centred on the screen.
TEST_F(DialogParentOnDisplay, DialogsOpenCentredOverTheWindowTheUserIsIn) {
  const std::vector<std::pair<const char*, std::function<void()>>> dialogs = {
      {"GetString", [] { EXPECT_STREQ(GetString("Name", "Your name:", "", 0), ""); }},
      {"ShowQuestion", [] { EXPECT_EQ(ShowQuestion("Leave?", "Unsaved work is lost."), -1); }},
      {"GetOpenFile", [] { EXPECT_STREQ(GetOpenFile("Open", "/tmp/", "Text|*.txt", 0), ""); }},
      {"GetSaveFile", [] { EXPECT_STREQ(GetSaveFile("Save", "/tmp/save.txt", "", 0), ""); }},
      {"GetDirectory", [] { EXPECT_STREQ(GetDirectory("Folder", "/tmp"), ""); }},
  };
  constexpr int kNear = 20;
  // What the user sees of each dialog while it is up (then dismissed with Escape):
  // the window it is transient for, that it is a dialog, whether a task bar lists it
  // and where its frame's middle is. `ready` tells when the window manager has given
  // the focus back to the window the user was in, and the toolkit knows it.
  const auto ExpectOver = [&](const char* where, ::Window parent, const GdkRectangle& frame,
                              const std::function<bool()>& ready) {
    for (const auto& [name, open] : dialogs) {
      const std::string at = std::string(name) + " " + where;
      ASSERT_TRUE(WaitFor(ready)) << at;
      automation_->WhenModal([&] {
        GdkWindow* dialog = gtk_widget_get_window(GTK_WIDGET(toolkit_->modalWindow()));
        const ::Window id = gdk_x11_window_get_xid(dialog);
        ::Window transientFor = None;
        XGetTransientForHint(display_, id, &transientFor);
        EXPECT_EQ(transientFor, parent) << at;
        EXPECT_TRUE(HasAtom(id, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG")) << at;
        EXPECT_EQ(HasAtom(id, "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR"), parent != None) << at;
        const GdkRectangle shown = FrameOf(dialog);
        EXPECT_NEAR(shown.x + shown.width / 2, frame.x + frame.width / 2, kNear) << at;
        EXPECT_NEAR(shown.y + shown.height / 2, frame.y + frame.height / 2, kNear) << at;
        automation_->TypeText(u"\x1b");
      });
      open();
    }
  };

  const ::Window host = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 61, 100, 800, 600, 0, 0, 0);
  XSizeHints place{};
  place.flags = USPosition;
  place.x = 61;
  place.y = 100;
  XSetWMNormalHints(display_, host, &place);
  const long pid = getpid();
  XChangeProperty(display_, host, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  XMapWindow(display_, host);
  XEvent activate{};
  activate.xclient.type = ClientMessage;
  activate.xclient.window = host;
  activate.xclient.message_type = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
  activate.xclient.format = 32;
  activate.xclient.data.l[0] = 2;
  XSync(display_, False);
  ASSERT_TRUE(WaitFor([&] {
    XSendEvent(display_, DefaultRootWindow(display_), False, SubstructureRedirectMask | SubstructureNotifyMask, &activate);
    XSync(display_, False);
    return Active() == host;
  }));
  GdkWindow* hostWindow = gdk_x11_window_foreign_new_for_display(gdk_display_get_default(), host);
  ExpectOver("over the host", host, FrameOf(hostWindow), [&] { return Active() == host; });
  g_object_unref(hostWindow);

  // GetText's window is a window of its own, in the middle of the screen.
  GdkRectangle screen{};
  gdk_monitor_get_geometry(gdk_display_get_primary_monitor(gdk_display_get_default()), &screen);
  platform::Rect text{};
  automation_->WhenKey({[&] {
    text = WindowID(kReservedWindow)->Frame();
    automation_->PressCloseButton(WindowID(kReservedWindow));
  }});
  EXPECT_STREQ(GetText("400,300", "Notes", "", "Done"), "");
  EXPECT_NEAR(text.x + text.width / 2, screen.x + screen.width / 2, kNear);
  EXPECT_NEAR(text.y + text.height / 2, screen.y + screen.height / 2, kNear);

  // A runtime window the user is in comes first.
  ASSERT_NE(OpenWindow(1, 700, 300, 500, 400, u"key", 0x76), 0);
  auto* key = static_cast<platform::GtkBackendWindow*>(WindowID(1));
  ASSERT_TRUE(WaitFor([&] { return toolkit_->KeyWindow() == key; }));
  GdkWindow* keyWindow = gtk_widget_get_window(GTK_WIDGET(key->gtkWindow()));
  ExpectOver("over the key window", gdk_x11_window_get_xid(keyWindow), FrameOf(keyWindow),
             [&] { return toolkit_->KeyWindow() == key; });
  CloseWindow(1);
  // The host has the focus back before it goes, so none comes back to it late.
  ASSERT_TRUE(WaitFor([&] { return Active() == host; }));

  // Neither: the dialog belongs to no window, also while the window manager still
  // names the host's window active after it has gone (openbox leaves the last one).
  XUnmapWindow(display_, host);
  XSync(display_, False);
  ExpectOver("over the screen", None, screen, [] { return true; });
  XDestroyWindow(display_, host);
}

}  // namespace
}  // namespace zeb
