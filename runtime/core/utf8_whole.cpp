// UTF-8 from outside that must come back whole: decoding under a BadText rule,
// and repairing UTF-8 into UTF-8. Well-formed means what Unicode allows: no
// overlong form, no encoded surrogate, nothing above U+10FFFF. ASCII is taken
// 16 bytes at a time; the characters after it one by one.
#include <cstdint>
#include <cstring>

#include "runtime/core/text_conversion.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zeb {
namespace {

constexpr int kBlock = 16;

// The character at p (p < end) with a lead byte of 0x80 or more: its length
// and value when it is well formed, otherwise the length of the maximal
// ill-formed piece there (the longest start of a well-formed character, or the
// lead byte alone).
struct Character {
  int length;
  bool wellFormed;
  uint32_t value;
};

inline Character NonAsciiCharacter(const uint8_t* p, const uint8_t* end) {
  const uint32_t lead = *p;
  int trail;
  // The bounds of the byte after the lead; later bytes are 80 to BF.
  uint32_t low = 0x80;
  uint32_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    trail = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trail = 2;
    if (lead == 0xE0) low = 0xA0;   // below: overlong
    if (lead == 0xED) high = 0x9F;  // above: a surrogate
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trail = 3;
    if (lead == 0xF0) low = 0x90;   // below: overlong
    if (lead == 0xF4) high = 0x8F;  // above: beyond U+10FFFF
  } else {
    return {1, false, 0};
  }
  uint32_t value = lead & (0x3Fu >> trail);
  for (int i = 1; i <= trail; ++i) {
    if (end - p == i || p[i] < low || p[i] > high) return {i, false, 0};
    value = value << 6 | (p[i] & 0x3Fu);
    low = 0x80;
    high = 0xBF;
  }
  return {trail + 1, true, value};
}

#if defined(__SSE2__)
// The ASCII bytes among the 16 of a block: all of them, or those before the
// first other byte.
inline int AsciiPrefix(__m128i block) {
  const unsigned nonAscii = static_cast<unsigned>(_mm_movemask_epi8(block));
  return nonAscii == 0 ? kBlock : __builtin_ctz(nonAscii);
}
#endif

}  // namespace

int64_t DecodeUTF8Whole(const char* source, int64_t length, Unit* destination, BadText rule) {
  if (source == nullptr || length <= 0) return 0;
  const auto* p = reinterpret_cast<const uint8_t*>(source);
  const uint8_t* const end = p + length;
  int64_t units = 0;
  while (p < end) {
#if defined(__SSE2__)
    if (end - p >= kBlock) {
      // The whole block is widened: no unit is written past the bytes decoded
      // so far, so it fits, and the units past its ASCII prefix are written
      // again by what follows.
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const __m128i zero = _mm_setzero_si128();
      _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + units), _mm_unpacklo_epi8(block, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + units + 8), _mm_unpackhi_epi8(block, zero));
      const int ascii = AsciiPrefix(block);
      units += ascii;
      p += ascii;
      if (ascii == kBlock) continue;
    }
#endif
    if (*p < 0x80) {
      destination[units++] = *p++;
      continue;
    }
    const Character character = NonAsciiCharacter(p, end);
    if (character.wellFormed && character.value > 0xFFFF) {
      destination[units++] = static_cast<Unit>(0xD800 | ((character.value - 0x10000) >> 10));
      destination[units++] = static_cast<Unit>(0xDC00 | (character.value & 0x3FF));
    } else if (character.wellFormed) {
      destination[units++] = static_cast<Unit>(character.value);
    } else if (rule == BadText::kReplace) {
      destination[units++] = 0xFFFD;
    } else {
      // Escaped byte by byte: the bytes after the lead begin no character either.
      destination[units++] = static_cast<Unit>(0xDC00 | *p);
      p += 1;
      continue;
    }
    p += character.length;
  }
  return units;
}

int64_t RepairUTF8(const char* source, int64_t length, char* destination) {
  if (source == nullptr || length <= 0) return 0;
  const auto* p = reinterpret_cast<const uint8_t*>(source);
  const uint8_t* const end = p + length;
  auto* out = reinterpret_cast<uint8_t*>(destination);
  while (p < end) {
#if defined(__SSE2__)
    if (end - p >= kBlock) {
      // The whole block is stored: no more is written than 3 bytes a byte
      // taken, so it fits.
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
      const int ascii = AsciiPrefix(block);
      out += ascii;
      p += ascii;
      if (ascii == kBlock) continue;
    }
#endif
    if (*p < 0x80) {
      *out++ = *p++;
      continue;
    }
    const Character character = NonAsciiCharacter(p, end);
    if (character.wellFormed) {
      std::memcpy(out, p, static_cast<size_t>(character.length));
      out += character.length;
    } else {
      *out++ = 0xEF;
      *out++ = 0xBF;
      *out++ = 0xBD;
    }
    p += character.length;
  }
  return out - reinterpret_cast<uint8_t*>(destination);
}

}  // namespace zeb
