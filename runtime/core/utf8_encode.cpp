// Runtime string units to UTF-8. Units are looked at 16 at a time: an ASCII
// block is narrowed at once, and counting also takes a block without broken
// pairs at once. Otherwise the ASCII prefix is taken and the units after it are
// encoded one at a time up to the next ASCII unit. Blocks are used while enough
// units and room are left that no character begun in one can meet the end of
// either, so the room check is made only for the last few characters.
#include <cstdint>

#include "runtime/core/text_conversion.h"
#include "runtime/core/text_range.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zeb {
namespace {

constexpr int kBlock = 16;
// A character begun in a block may take the unit after it (a pair), and no
// unit needs more than 3 bytes.
constexpr int64_t kBlockUnitsReach = kBlock + 1;
constexpr int64_t kBlockBytesReach = 3 * kBlockUnitsReach;

enum class Step { kNext, kReplaced, kStop, kBrokenPair };

// What becomes of an unpaired surrogate: the runtime's own rule (a high one
// stops the conversion, a low one is encoded like any other unit), or one of
// the BadText rules.
enum class Rule { kStop, kReplace, kEscape };

// Writes U+FFFD for an unpaired surrogate under the BadText rules.
template <bool kWrite>
inline Step Replaced(uint8_t* out, int64_t& bytes) {
  if constexpr (kWrite) {
    out[bytes] = 0xEF;
    out[bytes + 1] = 0xBF;
    out[bytes + 2] = 0xBD;
  }
  bytes += 3;
  return Step::kReplaced;
}

// The character at s (before end). In writing mode the caller has checked that
// a character may still be begun; once begun it is written whole.
template <bool kWrite, Rule kRule = Rule::kStop>
[[gnu::always_inline]] inline Step EncodeCharacter(const Unit*& s, const Unit* end, uint8_t* out,
                                                   int64_t& bytes) {
  const uint32_t unit = *s;
  if (unit < 0x80) {
    if constexpr (kWrite) out[bytes] = static_cast<uint8_t>(unit);
    bytes += 1;
  } else if (unit < 0x800) {
    if constexpr (kWrite) {
      out[bytes] = static_cast<uint8_t>(0xC0 | (unit >> 6));
      out[bytes + 1] = static_cast<uint8_t>(0x80 | (unit & 0x3F));
    }
    bytes += 2;
  } else if (kRule != Rule::kStop && (unit & 0xFC00) == 0xDC00) {
    // A low surrogate here has no high one before it.
    ++s;
    if (kRule == Rule::kEscape && unit >= 0xDC80 && unit <= 0xDCFF) {
      if constexpr (kWrite) out[bytes] = static_cast<uint8_t>(unit);
      bytes += 1;
      return Step::kNext;
    }
    return Replaced<kWrite>(out, bytes);
  } else if ((unit & 0xFC00) != 0xD800) {
    // Under the runtime's rule lone low surrogates are encoded like any other unit.
    if constexpr (kWrite) {
      out[bytes] = static_cast<uint8_t>(0xE0 | (unit >> 12));
      out[bytes + 1] = static_cast<uint8_t>(0x80 | ((unit >> 6) & 0x3F));
      out[bytes + 2] = static_cast<uint8_t>(0x80 | (unit & 0x3F));
    }
    bytes += 3;
  } else {
    const bool paired = end - s >= 2 && (s[1] & 0xFC00) == 0xDC00;
    if (kRule != Rule::kStop && !paired) {
      ++s;
      return Replaced<kWrite>(out, bytes);
    }
    if (end - s < 2) return Step::kStop;
    const uint32_t low = s[1];
    if (!paired) return Step::kBrokenPair;
    const uint32_t value = 0x10000 + (((unit & 0x3FF) << 10) | (low & 0x3FF));
    if constexpr (kWrite) {
      out[bytes] = static_cast<uint8_t>(0xF0 | (value >> 18));
      out[bytes + 1] = static_cast<uint8_t>(0x80 | ((value >> 12) & 0x3F));
      out[bytes + 2] = static_cast<uint8_t>(0x80 | ((value >> 6) & 0x3F));
      out[bytes + 3] = static_cast<uint8_t>(0x80 | (value & 0x3F));
    }
    bytes += 4;
    ++s;
  }
  ++s;
  return Step::kNext;
}

// A unit that is not a surrogate, where at least 4 bytes of the destination
// are free: its bytes are put together in one word and all 4 bytes are stored,
// so the length of the character never needs a branch (in mixed text it is not
// predictable). The bytes past the character are written again by the next one
// or stay past the count, inside the destination.
[[gnu::always_inline]] inline void EncodeUnitInBlock(uint32_t unit, uint8_t* out, int64_t& bytes) {
  const uint32_t twoBytes = (0xC0 | (unit >> 6)) | ((0x80 | (unit & 0x3F)) << 8);
  const uint32_t threeBytes =
      (0xE0 | (unit >> 12)) | ((0x80 | ((unit >> 6) & 0x3F)) << 8) | ((0x80 | (unit & 0x3F)) << 16);
  const uint32_t word = unit < 0x80 ? unit : (unit < 0x800 ? twoBytes : threeBytes);
  const uint8_t encoded[4] = {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8),
                              static_cast<uint8_t>(word >> 16), 0};
  __builtin_memcpy(out + bytes, encoded, 4);
  bytes += 1 + (unit >= 0x80) + (unit >= 0x800);
}

// A replaced character is noted and the conversion goes on.
inline Step Carried(Step step, bool& replaced) {
  if (step != Step::kReplaced) return step;
  replaced = true;
  return Step::kNext;
}

#if defined(__SSE2__)

inline __m128i Masked16(__m128i units, uint16_t bits, uint16_t value) {
  return _mm_cmpeq_epi16(_mm_and_si128(units, _mm_set1_epi16(static_cast<short>(bits))),
                         _mm_set1_epi16(static_cast<short>(value)));
}

// -1 in each place whose unit is at most `bound`.
inline __m128i AtMost16(__m128i units, uint16_t bound) {
  return _mm_cmpeq_epi16(_mm_subs_epu16(units, _mm_set1_epi16(static_cast<short>(bound))),
                         _mm_setzero_si128());
}

// Counts 16 units in which every high surrogate is followed by a low one:
// 3 bytes per unit, one less at or below 0x7FF and one less again at or below
// 0x7F, and a pair's 3 + 3 become 4. A high surrogate in the last place is left
// for the next block. Returns the units taken, or 0 when a broken pair needs
// the scalar step.
inline int CountBlock(__m128i low, __m128i high, int64_t& bytes) {
  const __m128i highSurrogateLow = Masked16(low, 0xFC00, 0xD800);
  const __m128i highSurrogateHigh = Masked16(high, 0xFC00, 0xD800);
  // -1 in each place that follows a high surrogate.
  const __m128i afterHighLow = _mm_slli_si128(highSurrogateLow, 2);
  const __m128i afterHighHigh =
      _mm_or_si128(_mm_slli_si128(highSurrogateHigh, 2), _mm_srli_si128(highSurrogateLow, 14));
  const __m128i broken = _mm_or_si128(_mm_andnot_si128(Masked16(low, 0xFC00, 0xDC00), afterHighLow),
                                      _mm_andnot_si128(Masked16(high, 0xFC00, 0xDC00), afterHighHigh));
  if (_mm_movemask_epi8(broken) != 0) return 0;

  const __m128i shorter = _mm_add_epi16(_mm_add_epi16(AtMost16(low, 0x7F), AtMost16(low, 0x7FF)),
                                        _mm_add_epi16(AtMost16(high, 0x7F), AtMost16(high, 0x7FF)));
  const __m128i pairs = _mm_add_epi16(afterHighLow, afterHighHigh);
  const __m128i less = _mm_add_epi16(shorter, _mm_add_epi16(pairs, pairs));
  const __m128i sums = _mm_madd_epi16(less, _mm_set1_epi16(1));
  const __m128i folded = _mm_add_epi32(sums, _mm_shuffle_epi32(sums, _MM_SHUFFLE(1, 0, 3, 2)));
  const __m128i total = _mm_add_epi32(folded, _mm_shuffle_epi32(folded, _MM_SHUFFLE(2, 3, 0, 1)));
  const int taken = (_mm_movemask_epi8(highSurrogateHigh) & 0x8000) != 0 ? kBlock - 1 : kBlock;
  bytes += 3 * taken + _mm_cvtsi128_si32(total);
  return taken;
}

#endif  // __SSE2__

template <bool kWrite, Rule kRule = Rule::kStop>
UTF8Encoded Encode(const Unit* const begin, const Unit* const end, uint8_t* const out, const int64_t size) {
  const Unit* s = begin;
  int64_t bytes = 0;
  Step step = Step::kNext;
  bool replaced = false;
  while (s < end) {
    if (end - s >= kBlockUnitsReach && (!kWrite || size - bytes >= kBlockBytesReach)) {
      const Unit* const blockEnd = s + kBlock;
#if defined(__SSE2__)
      const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
      const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 8));
      const unsigned ascii = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_packs_epi16(AtMost16(low, 0x7F), AtMost16(high, 0x7F))));
      if constexpr (kWrite) {
        // The whole block is narrowed even when only a prefix of it is ASCII:
        // the bytes past the prefix are written again by what follows, or
        // stay past the count, inside the destination.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + bytes), _mm_packus_epi16(low, high));
        if (ascii == 0xFFFF) {
          s += kBlock;
          bytes += kBlock;
          continue;
        }
        const int count = __builtin_ctz(~ascii);
        s += count;
        bytes += count;
      } else {
        if (ascii == 0xFFFF) {
          s += kBlock;
          bytes += kBlock;
          continue;
        }
        const int taken = CountBlock(low, high, bytes);
        if (taken > 0) {
          s += taken;
          continue;
        }
      }
#endif
      // Encode up to the next ASCII unit, which may begin a block again.
      do {
        const uint32_t unit = *s;
        if (kWrite && (unit & 0xF800) != 0xD800) {
          EncodeUnitInBlock(unit, out, bytes);
          ++s;
        } else {
          step = Carried(EncodeCharacter<kWrite, kRule>(s, end, out, bytes), replaced);
        }
      } while (step == Step::kNext && s < blockEnd && *s >= 0x80);
    } else {
      if (kWrite && bytes >= size) break;
      step = Carried(EncodeCharacter<kWrite, kRule>(s, end, out, bytes), replaced);
    }
    if (step != Step::kNext) break;
  }
  return {bytes, replaced || step == Step::kBrokenPair};
}

}  // namespace

UTF8Encoded EncodeUTF8(const Unit* source, int64_t sourceLength, char* destination, int64_t destinationSize) {
  const int64_t length = UnitRangeLength(source, sourceLength);
  if (length == 0) return {0, false};
  if (destination == nullptr) return Encode<false>(source, source + length, nullptr, 0);
  if (destinationSize <= 0) return {0, false};
  return Encode<true>(source, source + length, reinterpret_cast<uint8_t*>(destination), destinationSize);
}

UTF8Encoded EncodeUTF8Whole(const Unit* source, int64_t length, char* destination, BadText rule) {
  if (source == nullptr || length <= 0) return {0, false};
  auto* out = reinterpret_cast<uint8_t*>(destination);
  // Room for 3 bytes a unit: no character is ever cut short by it.
  if (rule == BadText::kReplace) return Encode<true, Rule::kReplace>(source, source + length, out, 3 * length);
  return Encode<true, Rule::kEscape>(source, source + length, out, 3 * length);
}

}  // namespace zeb
