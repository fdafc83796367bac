#import "platform/appkit/appkit_gnustep_focus.h"

#ifdef GNUSTEP
#import <GNUstepGUI/GSDisplayServer.h>

#include <X11/Xlib.h>

#include <chrono>
#include <thread>

namespace zeb::platform {

GNUstepXWindow XWindowOf(NSWindow* window) {
  GSDisplayServer* server = GSServerForWindow(window);
  return {static_cast<Display*>([server serverDevice]),
          reinterpret_cast<::Window>([server windowDevice:[window windowNumber]])};
}

// On GNUstep's own display connection, so that it follows the mapping.
void SendTheIgnoredTakeFocus(NSWindow* window) {
  const auto [display, xid] = XWindowOf(window);
  if (display == nullptr || xid == 0) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = xid;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_TAKE_FOCUS", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, xid, False, NoEventMask, &event);
  XFlush(display);
}

bool WaitUntilMapped(NSWindow* window) {
  const auto [display, xid] = XWindowOf(window);
  if (display == nullptr || xid == 0) return false;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  XWindowAttributes attributes{};
  while (XGetWindowAttributes(display, xid, &attributes) != 0 && attributes.map_state != IsViewable &&
         std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return attributes.map_state == IsViewable;
}

// The window manager maps a window within a moment; one it has not mapped by
// then is left as it is.
void TakeFocusOnceShown(NSWindow* window) {
  if (!WaitUntilMapped(window) || ![window isKeyWindow]) return;
  const auto [display, xid] = XWindowOf(window);
  // GNUstep's request also points its input method at the window; it carries the
  // time of the last event GNUstep saw, which the X server may hold too old, so the
  // focus is asked for once more as of now.
  [GSServerForWindow(window) setinputfocus:static_cast<int>([window windowNumber])];
  XSetInputFocus(display, xid, RevertToParent, CurrentTime);
  XFlush(display);
}

}  // namespace zeb::platform

// Takes the focus for the modal window once its loop runs.
@interface ZebModalFocus : NSObject
+ (void)takeFocus;
@end

@implementation ZebModalFocus

+ (void)takeFocus {
  if (NSWindow* modal = [NSApp modalWindow]) zeb::platform::TakeFocusOnceShown(modal);
}

@end

namespace zeb::platform {

void TakeFocusInNextModalLoop() {
  [ZebModalFocus performSelector:@selector(takeFocus)
                      withObject:nil
                      afterDelay:0
                         inModes:[NSArray arrayWithObject:NSModalPanelRunLoopMode]];
}

}  // namespace zeb::platform
#endif
