// The temporary string buffer: the one process-wide block in which every string
// result is built. A result is known by its result position (a byte offset from the
// block's start); it occupies [result position, buffer position) and a zero unit
// stands at the buffer position. Growth may move the block, so callers keep offsets
// and form addresses only after the last call that may reserve.
#pragma once

#include <cstdint>

#include "runtime/core/runtime_string.h"

namespace zeb {

void InitStringBuffer();
void FreeStringBuffer();

// Grows the buffer when needed, then returns base + at and sets the buffer position
// to at + 2 * units. Returns null and changes nothing when the block would reach the
// buffer limit (2 GiB) or the heap refuses; callers then give the empty result.
Unit* ReserveTempString(int64_t units, int64_t at);

// ReserveTempString for a copy of `source`, which may itself lie in the buffer:
// such a source is pointed to its new place when the block moves.
Unit* ReserveTempStringFrom(int64_t units, int64_t at, const Unit** source);

// Appends s at the buffer position with a terminator; null writes only a terminator.
void AppendTempString(const Unit* s);

// The empty result at `at`: buffer position := at, a zero unit there.
Unit* EmptyTempResult(int64_t at);

void ReleaseTempUnits(int64_t units);
Unit* TempStringAddress(int64_t offset);

// (address - base) + 1 when the address lies inside the used part (its end
// included), else 0.
int64_t TempStringOffset(const void* address);

int64_t TempBufferPosition();
void SetTempBufferPosition(int64_t position);
int64_t TempBufferCapacity();

// The block size the buffer never reaches: 2 GiB, since the growth arithmetic is
// kept within signed 32-bit values. Tests lower it to exercise the refusal.
inline constexpr int64_t kDefaultTempBufferLimit = int64_t{1} << 31;
void SetTempBufferLimit(int64_t bytes);

}  // namespace zeb
