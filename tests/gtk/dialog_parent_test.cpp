// Dialogs of the GTK backend as the user sees them: each belongs over the window the
// user is in (the key runtime window, or else the host's own X11 window when it is
// the active one); the colour dialog and the text window.
#include <gtest/gtest.h>
// after GoogleTest, whose own None the X11 macro would break
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "extension/exports.h"
#include "platform/gtk/gtk_automation.h"
#include "platform/gtk/gtk_view.h"
#include "platform/gtk/gtk_window.h"
#include "runtime/events/windows.h"
#include "runtime/gadgets/gadgets.h"
#include "runtime/gadgets/text_window.h"
#include "tests/runtime_session.h"

namespace zeb {
namespace {

constexpr auto kWatchdog = std::chrono::seconds(5);

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

  // One 32-bit item of a window's property, or 0 when it has none.
  unsigned long PropertyOf(::Window window, const char* name, Atom expected) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    unsigned long item = 0;
    XGetWindowProperty(display_, window, XInternAtom(display_, name, False), 0, 1, False, expected, &type, &format,
                       &items, &after, &data);
    if (data != nullptr && items == 1) item = *reinterpret_cast<unsigned long*>(data);
    if (data != nullptr) XFree(data);
    return item;
  }
  ::Window Active() { return PropertyOf(DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW", XA_WINDOW); }

  bool WaitFor(const std::function<bool()>& done) {
    const auto giveUp = std::chrono::steady_clock::now() + kWatchdog;
    while (!done() && std::chrono::steady_clock::now() < giveUp) WaitWindowEvent(20);
    return done();
  }

  // The window the dialog `open` shows is transient for, read while it is up, then
  // dismissed with Escape (None: it is transient for no window).
  ::Window ParentOf(const std::function<void()>& open) {
    ::Window parent = None;
    automation_->WhenModal([&] {
      GdkWindow* dialog = gtk_widget_get_window(GTK_WIDGET(toolkit_->modalWindow()));
      if (dialog != nullptr) XGetTransientForHint(display_, gdk_x11_window_get_xid(dialog), &parent);
      automation_->TypeText(u"\x1b");
    });
    open();
    return parent;
  }

  platform::GtkToolkit* toolkit_ = nullptr;
  std::unique_ptr<platform::Automation> automation_;
  Display* display_ = nullptr;
};

TEST_F(DialogParentOnDisplay, DialogsAreTransientForTheKeyRuntimeWindowOrTheActiveHostWindow) {
  const auto input = [] { EXPECT_STREQ(GetString("Name", "Your name:", "", 0), ""); };
  const auto question = [] { EXPECT_EQ(ShowQuestion("Leave?", "Unsaved work is lost."), -1); };

  // The host draws into a window of its own, made without GTK, and the user is in it.
  const ::Window host = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 200, 150, 800, 600, 0, 0, 0);
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
  EXPECT_EQ(ParentOf(input), host);
  // The window manager gives the host its focus back.
  ASSERT_TRUE(WaitFor([&] { return Active() == host; }));
  EXPECT_EQ(ParentOf(question), host);

  // A runtime window the user is in comes first.
  ASSERT_NE(OpenWindow(1, 100, 100, 300, 200, u"key", 0x76), 0);
  auto* key = static_cast<platform::GtkBackendWindow*>(WindowID(1));
  ASSERT_TRUE(WaitFor([&] { return toolkit_->KeyWindow() == key; }));
  EXPECT_EQ(ParentOf(input), gdk_x11_window_get_xid(gtk_widget_get_window(GTK_WIDGET(key->gtkWindow()))));
  CloseWindow(1);
  // The host has the focus back before it goes, so none comes back to it late.
  ASSERT_TRUE(WaitFor([&] { return Active() == host; }));

  // Neither: the dialog belongs to no window, also while the window manager still
  // names the host's window active after it has gone (openbox leaves the last one).
  XUnmapWindow(display_, host);
  XSync(display_, False);
  EXPECT_EQ(ParentOf(input), static_cast<::Window>(None));
  XDestroyWindow(display_, host);
}

// The colour dialog on every call: the colour given is the selected swatch, opaque;
// a colour shown before adds no swatch; a task bar lists the dialog alone of ours.
TEST_F(DialogParentOnDisplay, TheColourDialogShowsTheColourGivenAndNoOtherWindowOfOurs) {
  struct Shown {
    GdkRGBA selected{};
    int swatches = 0;
    std::vector<::Window> ours;
  };
  const auto ReadSwatches = [](GtkWidget* widget, Shown& shown, const auto& self) -> void {
    if (g_str_equal(G_OBJECT_TYPE_NAME(widget), "GtkColorSwatch") && gtk_widget_get_visible(widget)) {
      ++shown.swatches;
      if ((gtk_widget_get_state_flags(widget) & GTK_STATE_FLAG_SELECTED) != 0) {
        GdkRGBA* rgba = nullptr;
        g_object_get(widget, "rgba", &rgba, nullptr);
        shown.selected = *rgba;
        gdk_rgba_free(rgba);
      }
    }
    if (!GTK_IS_CONTAINER(widget)) return;
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* child = children; child != nullptr; child = child->next) {
      self(GTK_WIDGET(child->data), shown, self);
    }
    g_list_free(children);
  };
  const auto ReadClients = [this](Shown& shown) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, DefaultRootWindow(display_), XInternAtom(display_, "_NET_CLIENT_LIST", False), 0, 1024,
                       False, XA_WINDOW, &type, &format, &items, &after, &data);
    const auto* clients = reinterpret_cast<const ::Window*>(data);
    for (unsigned long i = 0; i < items; ++i) {
      if (PropertyOf(clients[i], "_NET_WM_PID", XA_CARDINAL) == static_cast<unsigned long>(getpid())) {
        shown.ours.push_back(clients[i]);
      }
    }
    if (data != nullptr) XFree(data);
  };
  std::vector<Shown> calls;
  for (const double colour : {65280.0, 255.0, 65280.0}) {
    Shown shown;
    automation_->WhenModal([&] {
      ReadSwatches(GTK_WIDGET(toolkit_->modalWindow()), shown, ReadSwatches);
      ReadClients(shown);
      automation_->TypeText(u"\r");
    });
    EXPECT_EQ(GetColor(colour, 30, 40), colour);
    const auto rgb = static_cast<int>(colour);
    const GdkRGBA given{(rgb & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, ((rgb >> 16) & 0xFF) / 255.0, 1};
    EXPECT_TRUE(gdk_rgba_equal(&shown.selected, &given)) << colour << " shows as " << shown.selected.red << ", " << shown.selected.green << ", " << shown.selected.blue
        << " alpha " << shown.selected.alpha;
    EXPECT_EQ(shown.ours.size(), 1u) << colour;
    calls.push_back(shown);
  }
  EXPECT_EQ(calls[2].swatches, calls[1].swatches);
}

// GetText's editor: the first glyph and the insertion point before it clear the
// editor's left edge.
TEST_F(DialogParentOnDisplay, TheTextWindowsTextClearsTheEditorsEdges) {
  GdkRectangle first{};
  automation_->WhenKey({[&] {
    auto* view = dynamic_cast<platform::GtkBackendView*>(IsGadget(kTextWindowEditor)->view);
    GtkTextView* editor = GTK_TEXT_VIEW(view->widget());
    GtkTextIter start;
    gtk_text_buffer_get_start_iter(gtk_text_view_get_buffer(editor), &start);
    gtk_text_view_get_iter_location(editor, &start, &first);
    gtk_text_view_buffer_to_window_coords(editor, GTK_TEXT_WINDOW_WIDGET, first.x, first.y, &first.x, &first.y);
    automation_->PressCloseButton(WindowID(kReservedWindow));
  }});
  EXPECT_STREQ(GetText("300,200", "Notes", "kept", "Done"), "");
  EXPECT_GE(first.x, 3);
}

}  // namespace
}  // namespace zeb
