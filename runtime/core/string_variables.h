// String variables: C-heap blocks that hold a runtime string beyond one expression
// (procedure parameters, locals, record fields). A variable is a pointer to the
// block it owns, or null for the empty string.
#pragma once

#include <cstdint>

#include "runtime/core/runtime_string.h"

namespace zeb {

// Moves the result [start, buffer position) into the variable (reallocated to the
// result's bytes + 10) and gives the area back: buffer position := start.
void TakeTempString(Unit** variable, int64_t start);

// Gives a procedure its own copy of a string parameter in a block of
// (length + 5) * 2 bytes. A null s leaves the variable as it is.
void CopyStringArgument(Unit** variable, const Unit* s);

// Copies s into the variable (2 * length + 10 bytes) and returns 2 * length + 2;
// a null s frees the block, nulls the variable and returns 2.
int64_t SetStringVariable(Unit** variable, const Unit* s);

void FreeStringVariable(Unit* block);

// A string variable that frees its block on every exit of the scope that owns it.
class StringVariable {
 public:
  StringVariable() = default;
  explicit StringVariable(const Unit* s) { CopyStringArgument(&block_, s); }
  StringVariable(StringVariable&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
  StringVariable(const StringVariable&) = delete;
  StringVariable& operator=(const StringVariable&) = delete;
  StringVariable& operator=(StringVariable&&) = delete;
  ~StringVariable() { FreeStringVariable(block_); }

  // Takes the temporary result that starts at `start`.
  void Take(int64_t start) { TakeTempString(&block_, start); }
  void Set(const Unit* s) { SetStringVariable(&block_, s); }

  // The string; an unset variable reads as the empty string.
  const Unit* get() const { return block_ != nullptr ? block_ : kEmptyString; }

 private:
  static constexpr Unit kEmptyString[1] = {0};
  Unit* block_ = nullptr;
};

}  // namespace zeb
