// The automation API of the AppKit backend, for the tests: on GNUstep's X display,
// real input through the XTest extension and the requests a window manager takes
// from pagers, sent on a display connection of its own. What it plays covers the
// windows, the alerts, GetString's panel, the text window, drops, the menus, the
// clipboard, the colour panel and the file panels.
#pragma once

#include "platform/automation.h"

namespace zeb::platform {

// The AppKit toolkit and its automation, or a backend without a toolkit when no
// window server can be reached (or, on a Mac, where no automation is built).
AutomatedBackend MakeAppKitBackend();

}  // namespace zeb::platform
