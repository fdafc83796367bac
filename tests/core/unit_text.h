// Test helpers: runtime strings as std::u16string for comparisons and messages.
#pragma once

#include <string>

#include "runtime/core/runtime_string.h"

namespace zeb {

inline std::u16string Text(const Unit* s) { return s == nullptr ? std::u16string() : std::u16string(s); }

}  // namespace zeb
