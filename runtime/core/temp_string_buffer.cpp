#include "runtime/core/temp_string_buffer.h"

#include <cstdlib>
#include <cstring>

#include "runtime/core/string_functions.h"

namespace zeb {
namespace {

// One reallocation buys this much beyond the need, so chains of appends and nested
// results rarely reallocate.
constexpr int64_t kGrowthSlack = 16384;
// Bytes past the capacity that hold the terminator of the range just reserved.
constexpr int64_t kBlockSlack = 10;
constexpr int64_t kInitialCapacity = 16;

char* base = nullptr;
int64_t bufferPosition = 0;
int64_t capacity = 0;
int64_t limit = kDefaultTempBufferLimit;

void WriteTerminator(int64_t at) {
  const Unit zero = 0;
  std::memcpy(base + at, &zero, sizeof zero);
}

}  // namespace

void InitStringBuffer() {
  std::free(base);
  base = static_cast<char*>(std::calloc(1, kInitialCapacity));
  bufferPosition = 0;
  capacity = kInitialCapacity;
}

void FreeStringBuffer() {
  std::free(base);
  base = nullptr;
  bufferPosition = 0;
  capacity = 0;
}

Unit* ReserveTempString(int64_t units, int64_t at) {
  if (base == nullptr || units < 0 || at < 0 || units > limit || at > limit) return nullptr;
  // Callers reserve at or below the buffer position; the larger of the two is
  // counted so that a caller outside that rule still gets room.
  const int64_t need = (at > bufferPosition ? at : bufferPosition) + 2 * units;
  if (need >= capacity - 4) {
    const int64_t newCapacity = need + kGrowthSlack;
    if (newCapacity + kBlockSlack >= limit) return nullptr;
    char* grown = static_cast<char*>(std::realloc(base, static_cast<size_t>(newCapacity + kBlockSlack)));
    if (grown == nullptr) return nullptr;
    base = grown;
    capacity = newCapacity;
  }
  bufferPosition = at + 2 * units;
  return reinterpret_cast<Unit*>(base + at);
}

Unit* ReserveTempStringFrom(int64_t units, int64_t at, const Unit** source) {
  const int64_t inside = TempStringOffset(*source);
  Unit* target = ReserveTempString(units, at);
  if (target != nullptr && inside != 0) *source = reinterpret_cast<const Unit*>(base + inside - 1);
  return target;
}

void AppendTempString(const Unit* s) {
  if (s == nullptr) {
    WriteTerminator(bufferPosition);
    return;
  }
  const int64_t at = bufferPosition;
  const int64_t length = StringLength(s);
  Unit* target = ReserveTempStringFrom(length, at, &s);
  if (target == nullptr) {
    EmptyTempResult(at);
    return;
  }
  std::memmove(target, s, static_cast<size_t>(length) * sizeof(Unit));
  WriteTerminator(bufferPosition);
}

Unit* EmptyTempResult(int64_t at) {
  bufferPosition = at;
  WriteTerminator(at);
  return reinterpret_cast<Unit*>(base);
}

void ReleaseTempUnits(int64_t units) { bufferPosition -= 2 * units; }

Unit* TempStringAddress(int64_t offset) { return reinterpret_cast<Unit*>(base + offset); }

int64_t TempStringOffset(const void* address) {
  const auto at = reinterpret_cast<uintptr_t>(address);
  const auto start = reinterpret_cast<uintptr_t>(base);
  if (base == nullptr || at < start || at > start + static_cast<uintptr_t>(bufferPosition)) return 0;
  return static_cast<int64_t>(at - start) + 1;
}

int64_t TempBufferPosition() { return bufferPosition; }
void SetTempBufferPosition(int64_t position) { bufferPosition = position; }
int64_t TempBufferCapacity() { return capacity; }
void SetTempBufferLimit(int64_t bytes) { limit = bytes; }

}  // namespace zeb
