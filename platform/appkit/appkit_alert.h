// Alerts of the AppKit backend: NSAlert, run modally.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/toolkit.h"

namespace zeb::platform {

// The tag of the button pressed on an alert with this message, informative text
// and buttons (none: AppKit's own OK); the first is the default button (Return),
// the one that cancels answers Escape.
int64_t RunAppKitAlert(const ToolkitString& message, const ToolkitString& informative,
                       const std::vector<AlertButton>& buttons);

}  // namespace zeb::platform
