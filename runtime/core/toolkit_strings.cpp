#include "runtime/core/toolkit_strings.h"

#include <cstring>

#include "runtime/core/string_functions.h"
#include "runtime/core/temp_string_buffer.h"

namespace zeb {

platform::ToolkitString StringToToolkitString(const Unit* s) {
  if (s == nullptr) return {};
  return platform::ToolkitString(s, static_cast<size_t>(StringLength(s)));
}

void ToolkitStringToTempString(const platform::ToolkitString* string, int64_t start) {
  const auto units = string != nullptr ? static_cast<int64_t>(string->size()) : 0;
  Unit* target = ReserveTempString(units, start);
  if (target == nullptr) {
    EmptyTempResult(start);
    return;
  }
  if (units > 0) std::memcpy(target, string->data(), static_cast<size_t>(units) * sizeof(Unit));
  target[units] = 0;
}

}  // namespace zeb
