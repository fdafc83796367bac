// A small modal panel that asks for one line of text.
#pragma once

#include <cstdint>

#include "runtime/core/runtime_string.h"

namespace zeb {

// InputRequester flags.
inline constexpr int64_t InputRequesterPassword = 1;

// Shows the panel with the message above a text field holding the default text,
// all of it selected, and an "OK" button that Return presses. The text entered
// goes to the temporary string buffer at `start`; the panel's close button, or a
// panel that cannot be shown, gives the empty string there.
void InputRequester(const Unit* title, const Unit* message, const Unit* defaultText, int64_t flags, int64_t start);
void InputRequester(const Unit* title, const Unit* message, const Unit* defaultText, int64_t start);

}  // namespace zeb
