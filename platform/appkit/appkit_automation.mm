#import "platform/appkit/appkit_automation.h"

#import "platform/appkit/appkit_backend.h"

#ifdef GNUSTEP
#import <GNUstepGUI/GSDisplayServer.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>

#import "platform/appkit/appkit_toolkit.h"
#import "platform/appkit/appkit_view.h"

namespace zeb::platform {
namespace {

constexpr long kSourcePager = 2;
constexpr long kToggle = 2;
constexpr long kGravityNorthWest = 1;
constexpr long kMoveX = 1L << 8;
constexpr long kMoveY = 1L << 9;
// GNUstep's button tracking misses a release that comes with its press; a click
// holds the button a moment, and clicks of separate calls wait out the double-click
// time so that they do not join.
constexpr auto kButtonHeld = std::chrono::milliseconds(150);
constexpr auto kBetweenClicks = std::chrono::milliseconds(50);
constexpr auto kSeparateClicks = std::chrono::milliseconds(600);
constexpr auto kWindowManagerWait = std::chrono::seconds(3);

struct ModifierKey {
  uint32_t flag;
  KeySym keysym;
};
// The keys that the tests' defaults (below) make Command, Option and Control.
constexpr ModifierKey kModifierKeys[] = {
    {ModifierCommand, XK_Control_L}, {ModifierShift, XK_Shift_L}, {ModifierOption, XK_Alt_L}, {ModifierControl, XK_Super_L}};

// GNUstep makes Alt the Command key; the tests press Control for Command, as on GTK.
// Read once, when the back end starts, so set before the application exists.
void RegisterTestKeys() {
  NSDictionary* keys = [NSDictionary dictionaryWithObjectsAndKeys:@"Control_L", @"GSFirstCommandKey", @"Super_L",
                                                                  @"GSFirstControlKey", @"Alt_L", @"GSFirstAlternateKey", nil];
  [[NSUserDefaults standardUserDefaults] registerDefaults:keys];
}

class AppKitAutomation : public Automation {
 public:
  explicit AppKitAutomation(Display* display) : display_(display) {}
  ~AppKitAutomation() override { XCloseDisplay(display_); }

  void PressCloseButton(Window* window) override {
    SendToWindowManager(XidOf(window), "_NET_CLOSE_WINDOW", CurrentTime, kSourcePager);
  }
  void PressZoomButton(Window* window) override {
    SendToWindowManager(XidOf(window), "_NET_WM_STATE", kToggle, Atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                        Atom("_NET_WM_STATE_MAXIMIZED_HORZ"), kSourcePager);
  }
  void Miniaturize(Window* window) override {
    XIconifyWindow(display_, XidOf(window), DefaultScreen(display_));
    XFlush(display_);
  }
  // GNUstep shows a miniaturised window as a miniwindow of its own, which a double
  // click brings back.
  void Deminiaturize(Window* window) override {
    auto* appKit = dynamic_cast<AppKitWindow*>(window);
    NSWindow* mini = appKit != nullptr ? [appKit->nsWindow() counterpart] : nil;
    if (mini == nil || !WaitUntilViewable(XidOf(mini))) return;
    ClickInside(XidOf(mini), {NSWidth([mini frame]) / 2, NSHeight([mini frame]) / 2}, 2, MouseButton::Left);
  }
  void ResizeContent(Window* window, Size content) override {
    XResizeWindow(display_, XidOf(window), static_cast<unsigned>(content.width), static_cast<unsigned>(content.height));
    XFlush(display_);
  }
  void MoveFrame(Window* window, Point origin) override {
    SendToWindowManager(XidOf(window), "_NET_MOVERESIZE_WINDOW", kGravityNorthWest | kMoveX | kMoveY | (kSourcePager << 12),
                        static_cast<long>(origin.x), static_cast<long>(origin.y));
  }
  void Activate(Window* window) override {
    SendToWindowManager(XidOf(window), "_NET_ACTIVE_WINDOW", kSourcePager, CurrentTime);
  }
  void Click(Window* window, Point contentPoint, int clicks, MouseButton button) override;
  void PressKey(char16_t key, uint32_t modifiers) override;
  Rect ShownFrame(View* view) override;
  int64_t KeyEventsDelivered(Window* window) override {
    auto* appKit = dynamic_cast<AppKitWindow*>(window);
    return appKit != nullptr ? appKit->keyEventsDelivered() : 0;
  }
  int64_t WatchdogEndings() const override { return 0; }

  // Not built yet on AppKit: the dialogs, panels, menus, drops and the pasteboard
  // these drive cannot be made (see AppKitToolkit::capabilities), so there is
  // nothing to answer.
  void Drop(Window*, Point, DragContents, uint32_t) override {}
  void CopyImageElsewhere() override {}
  void WhenModal(std::function<void()>) override {}
  void WhenKey(std::vector<std::function<void()>>) override {}
  ModalContents ModalWindowContents() override { return {}; }
  void PressButton(const ToolkitString&) override {}
  void TypeText(const ToolkitString&) override {}
  void CloseModalWindow() override {}
  void PickColor(const ColorComponents&) override {}
  void WhenPopUp(std::function<void()>) override {}
  std::vector<MenuEntry> PopUpEntries() override { return {}; }
  Point PopUpOrigin() override { return {}; }
  void ChoosePopUpItem(const ToolkitString&) override {}
  void DismissPopUp(bool) override {}
  void ChooseMenuItem(const ToolkitString&, const ToolkitString&) override {}
  void MovePointer(Point screenPoint) override {
    XTestFakeMotionEvent(display_, -1, static_cast<int>(screenPoint.x), static_cast<int>(screenPoint.y), CurrentTime);
    XFlush(display_);
  }
  void ChooseFiles(const std::vector<ToolkitString>&) override {}
  void ChooseFilter(const ToolkitString&) override {}

 private:
  long Atom(const char* name) { return static_cast<long>(XInternAtom(display_, name, False)); }
  // The X window GNUstep shows the window's content in.
  static ::Window XidOf(NSWindow* window) {
    return reinterpret_cast<::Window>([GSServerForWindow(window) windowDevice:[window windowNumber]]);
  }
  static ::Window XidOf(Window* window) {
    auto* appKit = dynamic_cast<AppKitWindow*>(window);
    return appKit != nullptr ? XidOf(appKit->nsWindow()) : 0;
  }
  // Whether the window manager shows the X window within a few seconds.
  bool WaitUntilViewable(::Window xid) {
    const auto giveUp = std::chrono::steady_clock::now() + kWindowManagerWait;
    XWindowAttributes attributes{};
    while (XGetWindowAttributes(display_, xid, &attributes) != 0 && attributes.map_state != IsViewable) {
      if (std::chrono::steady_clock::now() > giveUp) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return attributes.map_state == IsViewable;
  }
  // Clicks at a point of an X window.
  void ClickInside(::Window xid, Point point, int clicks, MouseButton button);
  void SendToWindowManager(::Window xid, const char* message, long l0, long l1 = 0, long l2 = 0, long l3 = 0);
  void KeyStroke(KeySym keysym, bool down) {
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    if (code != 0) XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime);
  }

  Display* display_;
  std::chrono::steady_clock::time_point lastClick_{};
};

void AppKitAutomation::SendToWindowManager(::Window xid, const char* message, long l0, long l1, long l2, long l3) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = xid;
  event.xclient.message_type = XInternAtom(display_, message, False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = l0;
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[2] = l2;
  event.xclient.data.l[3] = l3;
  XSendEvent(display_, DefaultRootWindow(display_), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display_);
}

void AppKitAutomation::Click(Window* window, Point contentPoint, int clicks, MouseButton button) {
  ClickInside(XidOf(window), contentPoint, clicks, button);
}

void AppKitAutomation::ClickInside(::Window xid, Point point, int clicks, MouseButton button) {
  int x = 0;
  int y = 0;
  ::Window child = 0;
  XTranslateCoordinates(display_, xid, DefaultRootWindow(display_), static_cast<int>(point.x), static_cast<int>(point.y),
                        &x, &y, &child);
  std::this_thread::sleep_until(lastClick_ + kSeparateClicks);
  XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
  const unsigned number = button == MouseButton::Right ? 3 : 1;
  for (int i = 0; i < clicks; ++i) {
    XTestFakeButtonEvent(display_, number, True, CurrentTime);
    XFlush(display_);
    std::this_thread::sleep_for(kButtonHeld);
    XTestFakeButtonEvent(display_, number, False, CurrentTime);
    XFlush(display_);
    std::this_thread::sleep_for(kBetweenClicks);
  }
  lastClick_ = std::chrono::steady_clock::now();
}

void AppKitAutomation::PressKey(char16_t key, uint32_t modifiers) {
  KeySym keysym = key;
  if (key == u'\r') keysym = XK_Return;
  if (key == u'\t') keysym = XK_Tab;
  if (key == u'\x1b') keysym = XK_Escape;
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

// From the top-left of the window's content view.
Rect AppKitAutomation::ShownFrame(View* view) {
  auto* appKit = dynamic_cast<AppKitView*>(view);
  if (appKit == nullptr || [appKit->nsView() window] == nil) return {};
  NSView* shown = appKit->nsView();
  NSView* content = [[shown window] contentView];
  NSRect frame = [shown convertRect:[shown bounds] toView:content];
  if (![content isFlipped]) frame.origin.y = NSHeight([content bounds]) - NSMaxY(frame);
  return {frame.origin.x, frame.origin.y, frame.size.width, frame.size.height};
}

}  // namespace

AutomatedBackend MakeAppKitBackend() {
  RegisterTestKeys();
  std::unique_ptr<Toolkit> toolkit = ConnectAppKitToolkit();
  Display* display = toolkit != nullptr ? XOpenDisplay(nullptr) : nullptr;
  if (display == nullptr) return {"appkit", nullptr, nullptr};
  return {"appkit", std::move(toolkit), std::make_unique<AppKitAutomation>(display)};
}

}  // namespace zeb::platform

#else

namespace zeb::platform {

// The input a Mac's tests would need (Quartz events) is not built yet.
AutomatedBackend MakeAppKitBackend() { return {"appkit", nullptr, nullptr}; }

}  // namespace zeb::platform

#endif
