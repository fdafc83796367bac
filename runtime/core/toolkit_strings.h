// Runtime strings to and from the toolkit's 16-bit string type.
#pragma once

#include <cstdint>

#include "platform/toolkit.h"
#include "runtime/core/runtime_string.h"

namespace zeb {

// The toolkit string of s (null: the empty string).
platform::ToolkitString StringToToolkitString(const Unit* s);

// The toolkit string's units, unchanged, as a result at `start` (null: the empty
// string).
void ToolkitStringToTempString(const platform::ToolkitString* string, int64_t start);

}  // namespace zeb
