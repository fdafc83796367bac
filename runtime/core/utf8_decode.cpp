// UTF-8 to runtime string units. Text is looked at 16 bytes at a time: an
// ASCII block, by far the most common, is widened at once, and counting also
// takes a well-formed block of multi-byte text at once. Otherwise writing takes
// the ASCII prefix and decodes the characters after it one at a time up to the
// next ASCII byte, and counting goes one character at a time. Blocks are used
// while enough source and room are left that no character begun in one can
// meet the end of either, so the end and room checks of the stop rules are
// made only for the last few characters.
#include <cstdint>

#include "runtime/core/text_conversion.h"
#include "runtime/core/text_range.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zeb {
namespace {

constexpr int kBlock = 16;
// A character begun in a block ends at most 3 bytes past it, and no character
// yields more units than it has bytes.
constexpr int64_t kBlockReach = kBlock + 3;

inline bool IsContinuation(uint32_t byte) { return (byte & 0xC0) == 0x80; }

// The general form of a multi-byte character at p with `trail` continuation
// bytes announced: a byte in a continuation place that is not one ends the
// character with the value built so far and is consumed with it.
inline uint32_t DecodeSequence(const uint8_t* p, int trail, const uint8_t*& next) {
  uint32_t value = *p & (0x3Fu >> trail);
  const uint8_t* q = p + 1;
  for (int i = 0; i < trail; ++i) {
    const uint8_t byte = *q++;
    if (!IsContinuation(byte)) break;
    value = (value << 6) | (byte & 0x3F);
  }
  next = q;
  return value;
}

enum class Step { kNext, kStop, kInvalidLead };

// One character at p (before end). kChecked adds the checks for the end of the
// range and, in writing mode, for the room left; without it the caller
// guarantees both. Nothing is consumed or written by a character that stops.
template <bool kWrite, bool kChecked>
[[gnu::always_inline]] inline Step DecodeCharacter(const uint8_t*& p, const uint8_t* end, Unit* out,
                                                   int64_t room, int64_t& units) {
  const uint32_t lead = *p;
  if (lead < 0x80) {
    if constexpr (kWrite && kChecked) {
      if (units == room) return Step::kStop;
    }
    if constexpr (kWrite) out[units] = static_cast<Unit>(lead);
    ++units;
    ++p;
    return Step::kNext;
  }
  if (lead < 0xC0 || lead > 0xF7) return Step::kInvalidLead;
  // A character cut off by the end of the range is dropped, even when a
  // non-continuation byte would have ended it early.
  uint32_t value;
  const uint8_t* next;
  if (lead < 0xE0) {
    if (kChecked && end - p < 2) return Step::kStop;
    const uint32_t c1 = p[1];
    // Ended early or not, the character takes two bytes.
    value = IsContinuation(c1) ? ((lead & 0x1F) << 6) | (c1 & 0x3F) : lead & 0x1F;
    next = p + 2;
  } else if (lead < 0xF0) {
    if (kChecked && end - p < 3) return Step::kStop;
    const uint32_t c1 = p[1];
    const uint32_t c2 = p[2];
    if (IsContinuation(c1) && IsContinuation(c2)) {
      value = ((lead & 0x0F) << 12) | ((c1 & 0x3F) << 6) | (c2 & 0x3F);
      next = p + 3;
    } else {
      value = DecodeSequence(p, 2, next);
    }
  } else {
    if (kChecked && end - p < 4) return Step::kStop;
    const uint32_t c1 = p[1];
    const uint32_t c2 = p[2];
    const uint32_t c3 = p[3];
    if (IsContinuation(c1) && IsContinuation(c2) && IsContinuation(c3)) {
      value = ((lead & 0x07) << 18) | ((c1 & 0x3F) << 12) | ((c2 & 0x3F) << 6) | (c3 & 0x3F);
      next = p + 4;
    } else {
      value = DecodeSequence(p, 3, next);
    }
    if (value > 0x10FFFF) return Step::kStop;
    if (value > 0xFFFF) {
      if constexpr (kWrite) {
        // A pair is never split: it needs two free units.
        if (kChecked && room - units < 2) return Step::kStop;
        out[units] = static_cast<Unit>(0xD800 | ((value - 0x10000) >> 10));
        out[units + 1] = static_cast<Unit>(0xDC00 | (value & 0x3FF));
      }
      units += 2;
      p = next;
      return Step::kNext;
    }
  }
  if constexpr (kWrite) {
    if (kChecked && units == room) return Step::kStop;
    out[units] = static_cast<Unit>(value);
  }
  ++units;
  p = next;
  return Step::kNext;
}

#if defined(__SSE2__)

inline __m128i AtLeast(__m128i bytes, uint8_t bound) {
  const __m128i limit = _mm_set1_epi8(static_cast<char>(bound));
  return _mm_cmpeq_epi8(_mm_max_epu8(bytes, limit), bytes);
}

inline void WidenAscii(__m128i block, Unit* out) {
  const __m128i zero = _mm_setzero_si128();
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(block, zero));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(block, zero));
}

// Counts whole blocks of well-formed text from p, a character boundary, while
// at least kBlockReach bytes are left. Well formed means continuation bytes
// exactly where a lead announces them, no lead above F4 and nothing above
// U+10FFFF, so that no stop rule can apply. Blocks follow one another at fixed
// steps, so where the next one begins never waits for this one to be counted:
// a character that runs over into the next block leaves its expectations to
// it. Returns the character boundary where the next character must be looked
// at one by one: before a block that is not well formed, or near the end.
inline const uint8_t* CountWellFormedBlocks(const uint8_t* p, const uint8_t* end, int64_t& units) {
  const __m128i zero = _mm_setzero_si128();
  // The continuation bytes that the last block counted expects at the start
  // of the next one, and whether it ended with F4.
  __m128i carried = zero;
  __m128i carriedF4 = zero;
  unsigned open = 0;
  while (end - p >= kBlockReach) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if ((static_cast<unsigned>(_mm_movemask_epi8(block)) | open) == 0) {
      units += kBlock;
      p += kBlock;
      continue;
    }
    const __m128i continuation = _mm_cmplt_epi8(block, _mm_set1_epi8(static_cast<char>(0xC0)));
    const __m128i lead2 = AtLeast(block, 0xC0);
    const __m128i lead3 = AtLeast(block, 0xE0);
    const __m128i lead4 = AtLeast(block, 0xF0);
    const __m128i f4 = _mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(0xF4)));
    const __m128i expected = _mm_or_si128(_mm_or_si128(_mm_slli_si128(lead2, 1), _mm_slli_si128(lead3, 2)),
                                          _mm_or_si128(_mm_slli_si128(lead4, 3), carried));
    const __m128i afterF4 = _mm_or_si128(_mm_slli_si128(f4, 1), carriedF4);
    const __m128i tooHigh = _mm_or_si128(AtLeast(block, 0xF5), _mm_and_si128(afterF4, AtLeast(block, 0x90)));
    if (_mm_movemask_epi8(_mm_or_si128(_mm_xor_si128(continuation, expected), tooHigh)) != 0) break;

    // A four-byte character needs a surrogate pair unless it is an overlong
    // form (F0 before 80-8F), whose value fits in one unit.
    const __m128i following = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
    const __m128i overlong = _mm_andnot_si128(AtLeast(following, 0x90),
                                              _mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(0xF0))));
    // Units per byte: 1 for a lead or ASCII byte, 0 for a continuation byte,
    // and 1 more for the lead of a pair.
    const __m128i weights =
        _mm_sub_epi8(_mm_add_epi8(_mm_set1_epi8(1), continuation), _mm_andnot_si128(overlong, lead4));
    const __m128i sums = _mm_sad_epu8(weights, zero);
    units += _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);

    carried = _mm_or_si128(_mm_or_si128(_mm_srli_si128(lead2, 15), _mm_srli_si128(lead3, 14)),
                           _mm_srli_si128(lead4, 13));
    carriedF4 = _mm_srli_si128(f4, 15);
    open = static_cast<unsigned>(_mm_movemask_epi8(carried));
    p += kBlock;
  }
  if (open != 0) {
    // The last block counted ends inside a character: hand it back.
    --p;
    while (IsContinuation(*p)) --p;
    units -= *p >= 0xF0 && !(*p == 0xF0 && p[1] < 0x90) ? 2 : 1;
  }
  return p;
}

#endif  // __SSE2__

UTF8Decoded Count(const uint8_t* const begin, const uint8_t* const end) {
  const uint8_t* p = begin;
  int64_t units = 0;
  Step step = Step::kNext;
  while (p < end) {
#if defined(__SSE2__)
    p = CountWellFormedBlocks(p, end, units);
#endif
    step = DecodeCharacter<false, true>(p, end, nullptr, 0, units);
    if (step != Step::kNext) break;
  }
  return {units, p - begin, step == Step::kInvalidLead};
}

UTF8Decoded Write(const uint8_t* const begin, const uint8_t* const end, Unit* const out, const int64_t room) {
  const uint8_t* p = begin;
  int64_t units = 0;
  Step step = Step::kNext;
  while (p < end) {
    if (end - p >= kBlockReach && room - units >= kBlockReach) {
      const uint8_t* const blockEnd = p + kBlock;
#if defined(__SSE2__)
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const unsigned nonAscii = static_cast<unsigned>(_mm_movemask_epi8(block));
      // The whole block is widened even when only a prefix of it is ASCII:
      // the units past the prefix are written again by what follows, or stay
      // past the count, inside the destination.
      WidenAscii(block, out + units);
      if (nonAscii == 0) {
        p += kBlock;
        units += kBlock;
        continue;
      }
      const int ascii = __builtin_ctz(nonAscii);
      p += ascii;
      units += ascii;
#endif
      // Decode up to the next ASCII byte, which may begin a block again.
      do {
        step = DecodeCharacter<true, false>(p, end, out, room, units);
      } while (step == Step::kNext && p < blockEnd && *p >= 0x80);
    } else {
      step = DecodeCharacter<true, true>(p, end, out, room, units);
    }
    if (step != Step::kNext) break;
  }
  return {units, p - begin, step == Step::kInvalidLead};
}

}  // namespace

UTF8Decoded DecodeUTF8(const char* source, int64_t sourceLength, Unit* destination, int64_t destinationSize) {
  const int64_t length = ByteRangeLength(source, sourceLength);
  if (length == 0) return {0, 0, false};
  const auto* begin = reinterpret_cast<const uint8_t*>(source);
  if (destination == nullptr) return Count(begin, begin + length);
  return Write(begin, begin + length, destination, destinationSize > 0 ? destinationSize : 0);
}

}  // namespace zeb
