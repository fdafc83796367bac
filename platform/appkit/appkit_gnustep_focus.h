// GNUstep on an X window manager: as it maps a window, GNUstep sets itself to
// ignore the next request to take the focus, the one the window manager sends for
// the mapping. When GNUstep gives the new window the focus itself, no such request
// comes, and the one ignored is the user's first activation of that window (a
// click on its title bar, a pager's request): it stays behind another key window.
#pragma once

#import "platform/appkit/appkit_compat.h"

#ifdef GNUSTEP
#include <X11/Xlib.h>
#endif

namespace zeb::platform {

#ifdef GNUSTEP
// GNUstep's connection to the X display and the X window that shows the window's
// content (0 when it has none).
struct GNUstepXWindow {
  Display* display;
  ::Window xid;
};
GNUstepXWindow XWindowOf(NSWindow* window);
// Sends the window the request GNUstep waits to ignore, just after it was shown
// key; should the window manager's come first, this one only keeps the window key.
void SendTheIgnoredTakeFocus(NSWindow* window);
// GNUstep asks the X server for the focus as it makes a window key, before the
// window manager has mapped it, and that request fails; a window the window
// manager does not focus as it maps it (a floating panel, which openbox maps
// without the focus) was left key without the keyboard. Waits a moment for the
// window to show and asks again.
void TakeFocusOnceShown(NSWindow* window);
// The same for the window of the next modal loop, which that loop shows itself.
void TakeFocusInNextModalLoop();
// Waits a moment (a second at most) for the window manager to map the window it
// was asked to show; whether it has.
bool WaitUntilMapped(NSWindow* window);
#else
inline void SendTheIgnoredTakeFocus(NSWindow*) {}
inline void TakeFocusOnceShown(NSWindow*) {}
inline void TakeFocusInNextModalLoop() {}
#endif

}  // namespace zeb::platform
