// Key equivalents: a key typed while a menu bar is the main menu chooses the item
// whose shortcut it is.
#pragma once

#include "platform/toolkit.h"

namespace zeb {

// Chooses the main menu's first item (depth first, in order) whose key and
// modifiers (Shift, Control, Option, Command) the key event carries; true when
// one did.
bool PerformKeyEquivalent(const platform::ToolkitEvent& event);

}  // namespace zeb
