// The text window: the reserved window with a multi-line editor above a button
// bar, in which the user edits a text until they press the button (the edited
// text) or close the window (nothing).
#pragma once

#include <cstdint>

#include "runtime/core/runtime_string.h"

namespace zeb {

// The gadgets of the text window, and the height of its button bar.
inline constexpr int64_t kTextWindowEditor = 1;
inline constexpr int64_t kTextWindowButton = 2;
inline constexpr int32_t kTextWindowButtonBar = 80;

// Shows the text window with an inner size of width x height, centred on the
// screen, and waits. The result at `start` is the editor's text when the button
// was pressed; the empty string when the window was closed, could not be opened,
// or its editor could not be made (the window then stays open).
void TextWindow(int32_t width, int32_t height, const Unit* title, const Unit* text, const Unit* buttonText,
                int64_t start);

}  // namespace zeb
