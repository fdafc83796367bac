#include "platform/gtk/gtk_automation.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <gdk/gdkx.h>

#include <cstdlib>
#include <thread>

#include "platform/gtk/gtk_backend.h"

namespace zeb::platform {
namespace {

constexpr long kSourcePager = 2;
constexpr long kToggle = 2;
constexpr long kGravityNorthWest = 1;
constexpr long kMoveX = 1L << 8;
constexpr long kMoveY = 1L << 9;

struct ModifierKey {
  uint32_t flag;
  unsigned long keysym;
};
constexpr ModifierKey kModifierKeys[] = {
    {ModifierCommand, XK_Control_L}, {ModifierShift, XK_Shift_L}, {ModifierOption, XK_Alt_L}, {ModifierControl, XK_Super_L}};

}  // namespace

AutomatedBackend MakeGtkBackend() {
  std::unique_ptr<Toolkit> toolkit = ConnectGtkToolkit();
  Display* display = toolkit != nullptr ? XOpenDisplay(nullptr) : nullptr;
  if (display == nullptr) return {"gtk", nullptr, nullptr};
  auto automation = std::make_unique<GtkAutomation>(static_cast<GtkToolkit&>(*toolkit), display);
  return {"gtk", std::move(toolkit), std::move(automation)};
}

GtkAutomation::~GtkAutomation() { XCloseDisplay(display_); }

::Window GtkAutomation::XidOf(Window* window) const {
  auto* gtk = dynamic_cast<GtkBackendWindow*>(window);
  GdkWindow* gdk = gtk != nullptr ? gtk_widget_get_window(GTK_WIDGET(gtk->gtkWindow())) : nullptr;
  return gdk != nullptr ? gdk_x11_window_get_xid(gdk) : 0;
}

void GtkAutomation::SendToWindowManager(Window* window, const char* message, long l0, long l1, long l2, long l3) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = XidOf(window);
  event.xclient.message_type = XInternAtom(display_, message, False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = l0;
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[2] = l2;
  event.xclient.data.l[3] = l3;
  XSendEvent(display_, DefaultRootWindow(display_), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display_);
}

void GtkAutomation::PressCloseButton(Window* window) {
  SendToWindowManager(window, "_NET_CLOSE_WINDOW", CurrentTime, kSourcePager);
}

void GtkAutomation::PressZoomButton(Window* window) {
  SendToWindowManager(window, "_NET_WM_STATE", kToggle,
                      static_cast<long>(XInternAtom(display_, "_NET_WM_STATE_MAXIMIZED_VERT", False)),
                      static_cast<long>(XInternAtom(display_, "_NET_WM_STATE_MAXIMIZED_HORZ", False)), kSourcePager);
}

void GtkAutomation::Miniaturize(Window* window) {
  XIconifyWindow(display_, XidOf(window), DefaultScreen(display_));
  XFlush(display_);
}

void GtkAutomation::ResizeContent(Window* window, Size content) {
  XResizeWindow(display_, XidOf(window), static_cast<unsigned>(content.width), static_cast<unsigned>(content.height));
  XFlush(display_);
}

void GtkAutomation::MoveFrame(Window* window, Point frameOrigin) {
  SendToWindowManager(window, "_NET_MOVERESIZE_WINDOW", kGravityNorthWest | kMoveX | kMoveY | (kSourcePager << 12),
                      static_cast<long>(frameOrigin.x), static_cast<long>(frameOrigin.y));
}

void GtkAutomation::Activate(Window* window) {
  SendToWindowManager(window, "_NET_ACTIVE_WINDOW", kSourcePager, CurrentTime);
}

void GtkAutomation::Click(Window* window, Point contentPoint, int clicks, MouseButton button) {
  gint doubleClickTime = 400;
  g_object_get(gtk_settings_get_default(), "gtk-double-click-time", &doubleClickTime, nullptr);
  std::this_thread::sleep_until(lastClick_ + std::chrono::milliseconds(doubleClickTime + 100));
  int x = 0;
  int y = 0;
  ::Window child = 0;
  XTranslateCoordinates(display_, XidOf(window), DefaultRootWindow(display_), static_cast<int>(contentPoint.x),
                        static_cast<int>(contentPoint.y), &x, &y, &child);
  XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
  const unsigned buttonNumber = button == MouseButton::Right ? 3 : 1;
  for (int i = 0; i < clicks; ++i) {
    XTestFakeButtonEvent(display_, buttonNumber, True, CurrentTime);
    XTestFakeButtonEvent(display_, buttonNumber, False, CurrentTime);
  }
  XFlush(display_);
  lastClick_ = std::chrono::steady_clock::now();
}

void GtkAutomation::KeyStroke(unsigned long keysym, bool down) {
  const KeyCode code = XKeysymToKeycode(display_, keysym);
  if (code != 0) XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime);
}

void GtkAutomation::PressKey(char16_t key, uint32_t modifiers) {
  // Latin-1 keysyms are the characters themselves; a capital is its small letter
  // with Shift.
  unsigned long keysym = key;
  if (key >= u'A' && key <= u'Z') {
    keysym = key - u'A' + u'a';
    modifiers |= ModifierShift;
  }
  const bool capsLock = (modifiers & ModifierCapsLock) != 0;
  if (capsLock) {
    KeyStroke(XK_Caps_Lock, true);
    KeyStroke(XK_Caps_Lock, false);
  }
  for (const ModifierKey& m : kModifierKeys) {
    if ((modifiers & m.flag) != 0) KeyStroke(m.keysym, true);
  }
  KeyStroke(keysym, true);
  KeyStroke(keysym, false);
  for (const ModifierKey& m : kModifierKeys) {
    if ((modifiers & m.flag) != 0) KeyStroke(m.keysym, false);
  }
  if (capsLock) {
    KeyStroke(XK_Caps_Lock, true);
    KeyStroke(XK_Caps_Lock, false);
  }
  XFlush(display_);
}

int64_t GtkAutomation::KeyEventsDelivered(Window* window) {
  auto* gtk = dynamic_cast<GtkBackendWindow*>(window);
  return gtk != nullptr ? gtk->keyEventsDelivered() : 0;
}

// Another program copies an image: xclip owns the clipboard with image data only,
// until the next program takes it.
void GtkAutomation::CopyImageElsewhere() {
  const int status = std::system("timeout 10 xclip -selection clipboard -t image/png -i /dev/null </dev/null >/dev/null 2>&1");
  (void)status;
  XSync(display_, False);
}

}  // namespace zeb::platform
