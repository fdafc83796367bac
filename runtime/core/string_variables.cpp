#include "runtime/core/string_variables.h"

#include <cstdlib>
#include <cstring>

#include "runtime/core/string_functions.h"
#include "runtime/core/temp_string_buffer.h"

namespace zeb {
void TakeTempString(Unit** variable, int64_t start) {
  const int64_t bytes = TempBufferPosition() - start;
  const int64_t units = bytes > 0 ? bytes / 2 : 0;
  auto* block = static_cast<Unit*>(std::realloc(*variable, static_cast<size_t>(units * 2 + 10)));
  if (block != nullptr) {
    std::memcpy(block, TempStringAddress(start), static_cast<size_t>(units) * sizeof(Unit));
    block[units] = 0;
    *variable = block;
  }
  SetTempBufferPosition(start);
}

void CopyStringArgument(Unit** variable, const Unit* s) {
  if (s == nullptr) return;
  const int64_t length = StringLength(s);
  auto* block = static_cast<Unit*>(std::malloc(static_cast<size_t>(length + 5) * sizeof(Unit)));
  if (block == nullptr) return;
  std::memcpy(block, s, static_cast<size_t>(length + 1) * sizeof(Unit));
  *variable = block;
}

int64_t SetStringVariable(Unit** variable, const Unit* s) {
  if (s == nullptr) {
    std::free(*variable);
    *variable = nullptr;
    return 2;
  }
  const int64_t length = StringLength(s);
  // A fresh block, filled before the old one goes, so s may point into the
  // variable's own text.
  auto* block = static_cast<Unit*>(std::malloc(static_cast<size_t>(length) * 2 + 10));
  if (block == nullptr) return 0;
  std::memcpy(block, s, static_cast<size_t>(length + 1) * sizeof(Unit));
  std::free(*variable);
  *variable = block;
  return 2 * length + 2;
}

void FreeStringVariable(Unit* block) { std::free(block); }

}  // namespace zeb
