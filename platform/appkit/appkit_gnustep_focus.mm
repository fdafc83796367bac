#import "platform/appkit/appkit_gnustep_focus.h"

#ifdef GNUSTEP
#import <GNUstepGUI/GSDisplayServer.h>

#include <X11/Xlib.h>

namespace zeb::platform {

// On GNUstep's own display connection, so that it follows the mapping.
void SendTheIgnoredTakeFocus(NSWindow* window) {
  GSDisplayServer* server = GSServerForWindow(window);
  auto* display = static_cast<Display*>([server serverDevice]);
  const auto xid = reinterpret_cast<::Window>([server windowDevice:[window windowNumber]]);
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

}  // namespace zeb::platform
#endif
