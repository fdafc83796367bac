// The UTF-8 rules of the runtime's converters, written plainly one character at
// a time, for the converter tests and the UTF-8 fuzz target to compare with, and
// the checks and wrappers both use.
// Decoding stops at a lead byte 80-BF or F8-FF (an invalid lead), at a character
// cut off by the end of the range, above U+10FFFF, or where the room ends (a pair
// needs two units); a continuation byte missing where the lead announces one ends
// the character early, and the byte is lost. Overlong forms and encoded
// surrogates are accepted. Encoding stops at a high surrogate that no low one
// follows (a broken pair), or once `size` bytes are written; a lone low surrogate
// encodes as itself.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/core/runtime_string.h"
#include "runtime/core/text_conversion.h"

namespace zeb::testing {

struct ReferenceDecoding {
  std::u16string units;
  int64_t consumed = 0;
  bool invalidLead = false;
};

// room < 0 counts.
inline ReferenceDecoding ReferenceDecode(const std::string& bytes, int64_t room) {
  ReferenceDecoding r;
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<uint8_t>(bytes[i]);
    if ((lead >= 0x80 && lead <= 0xBF) || lead >= 0xF8) {
      r.invalidLead = true;
      break;
    }
    const size_t trail = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    uint32_t value = trail == 0 ? lead : lead & (0x3F >> trail);
    if (bytes.size() - i - 1 < trail) break;
    size_t next = i + 1;
    for (size_t k = 0; k < trail; ++k) {
      const auto byte = static_cast<uint8_t>(bytes[next++]);
      if ((byte >> 6) != 2) break;
      value = value * 64 + (byte & 0x3F);
    }
    if (value > 0x10FFFF) break;
    const std::u16string character =
        value > 0xFFFF ? std::u16string{static_cast<Unit>(0xD800 | ((value - 0x10000) >> 10)),
                                        static_cast<Unit>(0xDC00 | ((value - 0x10000) & 0x3FF))}
                       : std::u16string(1, static_cast<Unit>(value));
    if (room >= 0 && r.units.size() + character.size() > static_cast<size_t>(room)) break;
    r.units += character;
    i = next;
  }
  r.consumed = static_cast<int64_t>(i);
  return r;
}

struct ReferenceEncoding {
  std::string bytes;
  size_t consumed = 0;
  bool brokenPair = false;
};

inline void AppendUTF8(uint32_t v, std::string& out) {
  const int trail = v < 0x80 ? 0 : v < 0x800 ? 1 : v < 0x10000 ? 2 : 3;
  out += static_cast<char>(trail == 0 ? v : ((0xFF00 >> (trail + 1)) & 0xFF) | (v >> (6 * trail)));
  for (int k = trail - 1; k >= 0; --k) out += static_cast<char>(0x80 | ((v >> (6 * k)) & 0x3F));
}

// size < 0 counts.
inline ReferenceEncoding ReferenceEncode(const std::u16string& units, int64_t size) {
  ReferenceEncoding r;
  size_t i = 0;
  while (i < units.size()) {
    if (size >= 0 && r.bytes.size() >= static_cast<size_t>(size)) break;
    uint32_t v = units[i];
    size_t taken = 1;
    if (v >= 0xD800 && v <= 0xDBFF) {
      if (i + 1 == units.size()) break;
      const uint32_t low = units[i + 1];
      if (low < 0xDC00 || low > 0xDFFF) {
        r.brokenPair = true;
        break;
      }
      v = 0x10000 + (((v & 0x3FF) << 10) | (low & 0x3FF));
      taken = 2;
    }
    AppendUTF8(v, r.bytes);
    i += taken;
  }
  r.consumed = i;
  return r;
}

// The converters against the reference: decodes `bytes`, from an exactly sized
// copy, into a destination of exactly `room` units (counting for -1); whether the
// units, the bytes consumed, the reason for the stop and MultiByteToUnicode's
// answer are the reference's.
inline bool DecodesAsTheReference(const std::string& bytes, int64_t room) {
  const auto length = static_cast<int64_t>(bytes.size());
  const std::vector<char> source(bytes.begin(), bytes.end());
  const ReferenceDecoding expected = ReferenceDecode(bytes, room);
  const int64_t given = std::max<int64_t>(room, 0);
  const auto out = std::make_unique<Unit[]>(static_cast<size_t>(given));
  Unit* const destination = room < 0 ? nullptr : out.get();
  const UTF8Decoded got = DecodeUTF8(source.data(), length, destination, given);
  return got.units == static_cast<int64_t>(expected.units.size()) && got.bytesConsumed == expected.consumed &&
         got.stoppedAtInvalidLead == expected.invalidLead &&
         (room < 0 || std::u16string(out.get(), static_cast<size_t>(got.units)) == expected.units) &&
         MultiByteToUnicode(CodePageUTF8, 0, source.data(), length, destination, given) ==
             (room >= 0 && expected.invalidLead ? 0 : got.units);
}

// The same for encoding `units` into `size` bytes (counting for -1), the
// destination allocated with `reach` bytes more, where a character begun below the
// size may end; nothing past that character or the size may change.
inline bool EncodesAsTheReference(const std::u16string& units, int64_t size, int64_t reach) {
  constexpr char kGuard = 0x5A;
  const auto length = static_cast<int64_t>(units.size());
  const std::vector<Unit> source(units.begin(), units.end());
  const ReferenceEncoding expected = ReferenceEncode(units, size);
  const int64_t given = std::max<int64_t>(size, 0);
  std::string out(static_cast<size_t>(size < 0 ? 0 : size + reach), kGuard);
  char* const destination = size < 0 ? nullptr : out.data();
  const UTF8Encoded got = EncodeUTF8(source.data(), length, destination, given);
  const auto untouched = static_cast<size_t>(std::clamp<int64_t>(std::max(given, got.bytes), 0, given + reach));
  return got.bytes == static_cast<int64_t>(expected.bytes.size()) && got.brokenPair == expected.brokenPair &&
         (size < 0 || (out.compare(0, expected.bytes.size(), expected.bytes) == 0 &&
                       out.find_first_not_of(kGuard, untouched) == std::string::npos)) &&
         UnicodeToMultiByte(CodePageUTF8, 0, source.data(), length, destination, given) ==
             (size >= 0 && expected.brokenPair ? 0 : got.bytes);
}

// The whole-text converters from and into std::string and std::u16string, with
// exactly sized copies and destinations, so the sanitizers see any overrun.
inline std::u16string DecodedWhole(const std::string& bytes, BadText rule) {
  const std::vector<char> source(bytes.begin(), bytes.end());
  const auto units = std::make_unique<Unit[]>(bytes.size());
  const int64_t count = DecodeUTF8Whole(source.data(), static_cast<int64_t>(bytes.size()), units.get(), rule);
  return std::u16string(units.get(), static_cast<size_t>(count));
}

inline std::string EncodedWhole(const std::u16string& units, BadText rule, bool* replaced) {
  const auto bytes = std::make_unique<char[]>(3 * units.size());
  const UTF8Encoded encoded = EncodeUTF8Whole(units.data(), static_cast<int64_t>(units.size()), bytes.get(), rule);
  *replaced = encoded.brokenPair;
  return std::string(bytes.get(), static_cast<size_t>(encoded.bytes));
}

inline std::string Repaired(const std::string& bytes) {
  const auto out = std::make_unique<char[]>(3 * bytes.size());
  return std::string(out.get(), static_cast<size_t>(RepairUTF8(bytes.data(), static_cast<int64_t>(bytes.size()),
                                                               out.get())));
}

}  // namespace zeb::testing
