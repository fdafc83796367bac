// The system clipboard's plain text.
#pragma once

#include <cstdint>

#include "runtime/core/runtime_string.h"

namespace zeb {

// The clipboard's text as a result at `start`; the empty string when it holds none.
void GetClipboardText(int64_t start);
// Replaces the clipboard's contents with the text (null: the empty text); returns 1.
int SetClipboardText(const Unit* text);

}  // namespace zeb
