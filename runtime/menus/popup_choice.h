// The pop-up choice: a pop-up menu built from a text of "|"-separated fields ("-"
// is a separator), shown at the mouse on the reserved window; the number of the
// item chosen.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/toolkit_string.h"
#include "runtime/core/runtime_string.h"

namespace zeb {

// The fields of the items text, in order: the text between one "|" and the next
// (an empty field too).
std::vector<platform::ToolkitString> PopupFields(const Unit* items);

// Closes every runtime window, shows the menu and waits until it closes. The item's
// number (the fields that are not separators count from 1), or the default when
// the menu closed without a choice; 0 when the reserved window cannot be opened.
int64_t PopupChoice(const Unit* items, int64_t defaultResult);

}  // namespace zeb
