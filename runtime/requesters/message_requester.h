// A modal alert with a title, a message and a choice of buttons.
#pragma once

#include <cstdint>

#include "runtime/core/runtime_string.h"

namespace zeb {

// MessageRequester flags (flags & 3) and results.
inline constexpr int64_t MessageRequesterYesNo = 1;
inline constexpr int64_t MessageRequesterYesNoCancel = 2;
inline constexpr int64_t MessageRequesterYes = 6;
inline constexpr int64_t MessageRequesterNo = 7;
inline constexpr int64_t MessageRequesterCancel = 2;

// Shows the alert; with flags & 3 of 0 only the toolkit's default button, with 1
// "Yes" and "No", with 2 or 3 also "Cancel". Returns the pressed button's result,
// or 0 for the default button alone and when the alert cannot be shown.
int64_t MessageRequester(const Unit* title, const Unit* text, int64_t flags);
int64_t MessageRequester(const Unit* title, const Unit* text);

}  // namespace zeb
