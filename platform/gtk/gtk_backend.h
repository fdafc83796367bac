// Connecting the GTK backend inside a foreign host.
#pragma once

#include <memory>

#include "platform/toolkit.h"

namespace zeb::platform {

// The GTK toolkit on the X display, or null when no display can be opened. It
// never prints, never aborts, leaves the host's locale alone, and keeps a GTK
// that the host initialised itself.
std::unique_ptr<Toolkit> ConnectGtkToolkit();

}  // namespace zeb::platform
