// Small functions over runtime strings: length, copies, comparisons, the integer
// value of a text, occurrence counts and field extraction.
#pragma once

#include <cstdint>

#include "runtime/core/runtime_string.h"

namespace zeb {

int64_t StringLength(const Unit* s);
Unit* CopyString(Unit* destination, const Unit* source);
// Copies up to n units and pads with zero units to n; no terminator when the
// source has n units or more.
Unit* CopyStringN(Unit* destination, const Unit* source, uint64_t n);

// 0 when equal, else the first differing units as signed 16-bit values, a - b.
int32_t CompareStrings(const Unit* a, const Unit* b);
int32_t CompareStringsN(const Unit* a, const Unit* b, uint64_t n);
int32_t CompareStringsNoCase(const Unit* a, const Unit* b);
// Null counts as the empty string.
int StringsEqual(const Unit* a, const Unit* b);

// Decimal, "$" hexadecimal or "%" binary, after spaces and tabs and one sign; the
// arithmetic wraps. A text that does not start a number gives 0.
int64_t StringToInteger(const Unit* s);

// Non-overlapping, case-sensitive matches of pattern in s.
int64_t CountOccurrences(const Unit* s, const Unit* pattern);

// Field number `index` (from 1) of s split at separator, as a result at `start`.
void ExtractField(const Unit* s, int32_t index, const Unit* separator, int64_t start);

}  // namespace zeb
