#include "runtime/core/string_functions.h"

#include <cstring>
#include <cwctype>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "runtime/core/temp_string_buffer.h"

namespace zeb {
namespace {

const Unit kEmpty[1] = {0};

int32_t Signed(Unit u) { return static_cast<int16_t>(u); }

// Units are widened with their sign before the C library's mapping, so units from
// 0x8000 up reach it as values it leaves alone.
int32_t Lowered(Unit u) { return static_cast<int32_t>(std::towlower(static_cast<wint_t>(Signed(u)))); }

bool IsSpaceOrTab(Unit u) { return u == u' ' || u == u'\t'; }

int HexDigit(Unit u) {
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= u'A' && u <= u'F') return u - u'A' + 10;
  if (u >= u'a' && u <= u'f') return u - u'a' + 10;
  return -1;
}

// Arithmetic on the integer value wraps silently, as unsigned arithmetic does.
uint64_t Accumulate(const Unit* s, uint64_t base) {
  uint64_t value = 0;
  for (;; ++s) {
    int digit = -1;
    if (base == 16) {
      digit = HexDigit(*s);
    } else if (*s >= u'0' && *s < u'0' + base) {
      digit = *s - u'0';
    }
    if (digit < 0) return value;
    value = value * base + static_cast<uint64_t>(digit);
  }
}

// The start and length of field `index` (from 1), or false when there are fewer.
bool FindField(const Unit* s, int32_t index, const Unit* separator, int64_t* begin, int64_t* length) {
  const int64_t total = StringLength(s);
  const int64_t separatorLength = StringLength(separator);
  int64_t fieldStart = 0;
  int32_t field = 1;
  int64_t i = 0;
  while (true) {
    const bool atEnd = i >= total;
    bool match = false;
    if (!atEnd) {
      match = separatorLength <= 1 ? (separatorLength == 1 && s[i] == separator[0])
                                   : CompareStringsN(s + i, separator, static_cast<uint64_t>(separatorLength)) == 0;
    }
    if (atEnd || match) {
      if (field == index) {
        *begin = fieldStart;
        *length = i - fieldStart;
        return true;
      }
      if (atEnd) return false;
      ++field;
      i += separatorLength;
      fieldStart = i;
      continue;
    }
    ++i;
  }
}

}  // namespace

// Every host string passes through here, so the terminator is searched for eight
// units at a time. The aligned loads never cross a page boundary, but may read
// past the end of the string's allocation within its last 16 bytes, which is why
// neither the address nor the thread sanitizer watches this function (as with the
// C library's strlen).
__attribute__((no_sanitize("address", "thread"))) int64_t StringLength(const Unit* s) {
  const Unit* p = s;
#if defined(__SSE2__)
  while ((reinterpret_cast<uintptr_t>(p) & 15) != 0) {
    if (*p == 0) return p - s;
    ++p;
  }
  const __m128i zero = _mm_setzero_si128();
  for (;; p += 8) {
    const __m128i block = _mm_load_si128(reinterpret_cast<const __m128i*>(p));
    const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(block, zero));
    if (mask != 0) return (p - s) + __builtin_ctz(static_cast<unsigned>(mask)) / 2;
  }
#else
  while (*p != 0) ++p;
  return p - s;
#endif
}

Unit* CopyString(Unit* destination, const Unit* source) {
  std::memcpy(destination, source, static_cast<size_t>(StringLength(source) + 1) * sizeof(Unit));
  return destination;
}

Unit* CopyStringN(Unit* destination, const Unit* source, uint64_t n) {
  uint64_t i = 0;
  for (; i < n && source[i] != 0; ++i) destination[i] = source[i];
  for (; i < n; ++i) destination[i] = 0;
  return destination;
}

int32_t CompareStrings(const Unit* a, const Unit* b) {
  for (;; ++a, ++b) {
    if (*a != *b) return Signed(*a) - Signed(*b);
    if (*a == 0) return 0;
  }
}

int32_t CompareStringsN(const Unit* a, const Unit* b, uint64_t n) {
  for (uint64_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return Signed(a[i]) - Signed(b[i]);
    if (a[i] == 0) return 0;
  }
  return 0;
}

int32_t CompareStringsNoCase(const Unit* a, const Unit* b) {
  for (;; ++a, ++b) {
    const int32_t x = Lowered(*a);
    const int32_t y = Lowered(*b);
    if (x != y) return x - y;
    if (*a == 0 || *b == 0) return 0;
  }
}

int StringsEqual(const Unit* a, const Unit* b) {
  return CompareStrings(a != nullptr ? a : kEmpty, b != nullptr ? b : kEmpty) == 0 ? 1 : 0;
}

int64_t StringToInteger(const Unit* s) {
  if (s == nullptr) return 0;
  while (IsSpaceOrTab(*s)) ++s;
  bool negative = false;
  if (*s == u'-') {
    negative = true;
    ++s;
  } else if (*s == u'+') {
    ++s;
  }
  uint64_t value = 0;
  if (*s == u'$') {
    value = Accumulate(s + 1, 16);
  } else if (*s == u'%') {
    value = Accumulate(s + 1, 2);
  } else {
    value = Accumulate(s, 10);
  }
  return static_cast<int64_t>(negative ? 0 - value : value);
}

int64_t CountOccurrences(const Unit* s, const Unit* pattern) {
  if (s == nullptr || pattern == nullptr || pattern[0] == 0) return 0;
  const int64_t patternLength = StringLength(pattern);
  int64_t count = 0;
  for (const Unit* at = s; *at != 0;) {
    if (*at == pattern[0] && CompareStringsN(at, pattern, static_cast<uint64_t>(patternLength)) == 0) {
      ++count;
      at += patternLength;
    } else {
      ++at;
    }
  }
  return count;
}

void ExtractField(const Unit* s, int32_t index, const Unit* separator, int64_t start) {
  if (s == nullptr) s = kEmpty;
  if (separator == nullptr) separator = kEmpty;
  int64_t begin = 0;
  int64_t length = 0;
  if (index < 1 || !FindField(s, index, separator, &begin, &length)) {
    EmptyTempResult(start);
    return;
  }
  // The source may lie in the buffer itself: the units move only after the
  // reservation, which may move the block.
  const Unit* field = s + begin;
  Unit* target = ReserveTempStringFrom(length, start, &field);
  if (target == nullptr) {
    EmptyTempResult(start);
    return;
  }
  std::memmove(target, field, static_cast<size_t>(length) * sizeof(Unit));
  target[length] = 0;
}

}  // namespace zeb
