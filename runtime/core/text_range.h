// Source ranges of the text conversions. A length of -1 stands for the whole
// zero-terminated text together with its terminator; a null source, and any
// other negative length, is an empty range, so no conversion ever reads
// through a null pointer.
#pragma once

#include <cstdint>
#include <cstring>

#include "runtime/core/runtime_string.h"
#include "runtime/core/string_functions.h"

namespace zeb {

inline int64_t ByteRangeLength(const char* source, int64_t length) {
  if (source == nullptr) return 0;
  if (length == -1) return static_cast<int64_t>(std::strlen(source)) + 1;
  return length > 0 ? length : 0;
}

inline int64_t UnitRangeLength(const Unit* source, int64_t length) {
  if (source == nullptr) return 0;
  if (length == -1) return StringLength(source) + 1;
  return length > 0 ? length : 0;
}

}  // namespace zeb
