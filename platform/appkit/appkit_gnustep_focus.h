// GNUstep on an X window manager: as it maps a window, GNUstep sets itself to
// ignore the next request to take the focus, the one the window manager sends for
// the mapping. When GNUstep gives the new window the focus itself, no such request
// comes, and the one ignored is the user's first activation of that window (a
// click on its title bar, a pager's request): it stays behind another key window.
#pragma once

#import "platform/appkit/appkit_compat.h"

namespace zeb::platform {

#ifdef GNUSTEP
// Sends the window the request GNUstep waits to ignore, just after it was shown
// key; should the window manager's come first, this one only keeps the window key.
void SendTheIgnoredTakeFocus(NSWindow* window);
#else
inline void SendTheIgnoredTakeFocus(NSWindow*) {}
#endif

}  // namespace zeb::platform
