// Connecting the AppKit backend inside a foreign host.
#pragma once

#include <memory>

#include "platform/toolkit.h"

namespace zeb::platform {

// The AppKit toolkit, or null when no window server can be reached. It never
// prints, never aborts, and leaves the host's locale and signal handlers as they
// were; the application's delegate is the library's only when the host has none.
std::unique_ptr<Toolkit> ConnectAppKitToolkit();

}  // namespace zeb::platform
