// libFuzzer target for the UTF-8 decoder and encoder. The input is decoded as
// UTF-8, and its bytes, two by two, are also taken as 16-bit units (unpaired
// surrogates included); the last byte chooses the size of a limited destination.
// Every destination is allocated at exactly the size the conversion is given (3
// bytes more for a limited encoder destination, where a character begun may end
// past it), so AddressSanitizer reports any write beyond the documented reach.
// Whatever the input:
// - counting and writing into a destination larger than the text agree, and a
//   limited destination gets a prefix of the text, short of its size by at most
//   the one unit of a pair that cannot be split;
// - the encoder's bytes are well-formed UTF-8 (no overlong form, no byte C0, C1
//   or F5-FF, continuation bytes where a lead announces them, nothing above
//   U+10FFFF, no high surrogate), except that a lone low surrogate is encoded as
//   itself; they hold exactly the units before the first high surrogate that no
//   low one follows, where the encoder stops, and decoding them gives these
//   units back, so decode, encode and decode again is stable;
// - a limited encoder destination gets a prefix of the bytes, filled up to at
//   least its size unless the text ends first, and at most 3 bytes past it;
// - MultiByteToUnicode and UnicodeToMultiByte give the documented results;
// - under BadText::kEscape, decoding then encoding gives back exactly the bytes;
//   under kReplace, the units hold no unpaired surrogate, their bytes are
//   well-formed and are what RepairUTF8 makes of the input, and well-formed
//   input decodes as the strict reading of it; encoding any units under kReplace
//   gives well-formed bytes of those units with each unpaired surrogate as U+FFFD.
// A broken property ends the run like a crash.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "fuzz/require.h"
#include "runtime/core/text_conversion.h"

namespace {

using zeb::Unit;
using Units = std::u16string;
using Bytes = std::string;

bool IsHigh(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The units of well-formed UTF-8 (with the lone low surrogates the encoder
// writes), or nothing for any other bytes.
std::optional<Units> StrictUnits(const Bytes& bytes) {
  Units units;
  for (size_t i = 0; i < bytes.size();) {
    const uint8_t lead = static_cast<uint8_t>(bytes[i]);
    size_t trail = 0;
    uint32_t least = 0;
    if (lead < 0x80) {
      trail = 0;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      trail = 1, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      trail = 2, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      trail = 3, least = 0x10000;
    } else {
      return std::nullopt;
    }
    if (bytes.size() - i <= trail) return std::nullopt;
    uint32_t value = trail == 0 ? lead : lead & (0x3Fu >> trail);
    for (size_t k = 1; k <= trail; ++k) {
      const uint8_t byte = static_cast<uint8_t>(bytes[i + k]);
      if ((byte & 0xC0) != 0x80) return std::nullopt;
      value = value << 6 | (byte & 0x3F);
    }
    if (value < least || value > 0x10FFFF || IsHigh(value)) return std::nullopt;
    if (value >= 0x10000) {
      units += static_cast<Unit>(0xD800 + ((value - 0x10000) >> 10));
      units += static_cast<Unit>(0xDC00 + (value & 0x3FF));
    } else {
      units += static_cast<Unit>(value);
    }
    i += trail + 1;
  }
  return units;
}

// The units before the first high surrogate that no low surrogate follows.
Units BeforeBrokenPair(const Units& units) {
  for (size_t i = 0; i < units.size(); ++i) {
    if (!IsHigh(units[i])) continue;
    if (i + 1 == units.size() || !IsLow(units[i + 1])) return units.substr(0, i);
    ++i;
  }
  return units;
}

// Decodes bytes, checking counting against writing; `share` (0-255) chooses the
// limited destination, from none to the whole text. The other one has a unit
// more than the text needs, so that the decoder meets whatever stops it.
Units Decoded(const Bytes& bytes, uint8_t share) {
  const auto size = static_cast<int64_t>(bytes.size());
  const zeb::UTF8Decoded counted = zeb::DecodeUTF8(bytes.data(), size, nullptr, 0);
  const int64_t wholeSize = counted.units + 1;
  const auto whole = std::make_unique<Unit[]>(static_cast<size_t>(wholeSize));
  const zeb::UTF8Decoded written = zeb::DecodeUTF8(bytes.data(), size, whole.get(), wholeSize);
  Require(written.units == counted.units && written.bytesConsumed == counted.bytesConsumed &&
          written.stoppedAtInvalidLead == counted.stoppedAtInvalidLead);
  const Units units(whole.get(), static_cast<size_t>(written.units));

  const int64_t room = counted.units * share / 255;
  const auto part = std::make_unique<Unit[]>(static_cast<size_t>(room));
  const zeb::UTF8Decoded cut = zeb::DecodeUTF8(bytes.data(), size, part.get(), room);
  Require(cut.units <= room && cut.units >= room - 1);
  Require(Units(part.get(), static_cast<size_t>(cut.units)) == units.substr(0, static_cast<size_t>(cut.units)));

  const int64_t result = zeb::MultiByteToUnicode(zeb::CodePageUTF8, 0, bytes.data(), size, whole.get(), wholeSize);
  Require(result == (written.stoppedAtInvalidLead ? 0 : written.units));
  Require(zeb::MultiByteToUnicode(zeb::CodePageUTF8, 0, bytes.data(), size, nullptr, 0) == counted.units);
  return units;
}

// Encodes units and checks the bytes as described above; `share` chooses the
// limited destination, from one byte to a byte more than the text. The other
// one has that byte more, so that the encoder meets whatever stops it.
void CheckEncoding(const Units& units, uint8_t share) {
  const auto length = static_cast<int64_t>(units.size());
  const zeb::UTF8Encoded counted = zeb::EncodeUTF8(units.data(), length, nullptr, 0);
  const int64_t size = counted.bytes + 1;
  const auto whole = std::make_unique<char[]>(static_cast<size_t>(size));
  const zeb::UTF8Encoded written = zeb::EncodeUTF8(units.data(), length, whole.get(), size);
  Require(written.bytes == counted.bytes && written.brokenPair == counted.brokenPair);
  const Bytes bytes(whole.get(), static_cast<size_t>(written.bytes));

  const Units expected = BeforeBrokenPair(units);
  Require(StrictUnits(bytes) == expected);
  Require(Decoded(bytes, share) == expected);

  const int64_t room = 1 + counted.bytes * share / 255;
  const auto part = std::make_unique<char[]>(static_cast<size_t>(room + 3));
  const zeb::UTF8Encoded cut = zeb::EncodeUTF8(units.data(), length, part.get(), room);
  Require(cut.bytes >= std::min(room, counted.bytes) && cut.bytes <= room + 3);
  Require(Bytes(part.get(), static_cast<size_t>(cut.bytes)) == bytes.substr(0, static_cast<size_t>(cut.bytes)));

  const int64_t result = zeb::UnicodeToMultiByte(zeb::CodePageUTF8, 0, units.data(), length, whole.get(), size);
  Require(result == (written.brokenPair ? 0 : written.bytes));
}

// The units with each unpaired surrogate as U+FFFD.
Units WithoutUnpaired(const Units& units) {
  Units out = units;
  for (size_t i = 0; i < out.size(); ++i) {
    if (IsHigh(out[i]) && i + 1 < out.size() && IsLow(out[i + 1])) {
      ++i;
    } else if (IsHigh(out[i]) || IsLow(out[i])) {
      out[i] = 0xFFFD;
    }
  }
  return out;
}

Bytes EncodedWhole(const Units& units, zeb::BadText rule, bool* replaced) {
  const auto out = std::make_unique<char[]>(3 * units.size() + 1);
  const zeb::UTF8Encoded encoded =
      zeb::EncodeUTF8Whole(units.data(), static_cast<int64_t>(units.size()), out.get(), rule);
  *replaced = encoded.brokenPair;
  return Bytes(out.get(), static_cast<size_t>(encoded.bytes));
}

Units DecodedWhole(const Bytes& bytes, zeb::BadText rule) {
  const auto out = std::make_unique<Unit[]>(bytes.size() + 1);
  return Units(out.get(), static_cast<size_t>(zeb::DecodeUTF8Whole(bytes.data(), static_cast<int64_t>(bytes.size()),
                                                                    out.get(), rule)));
}

void CheckWhole(const Bytes& bytes) {
  bool replaced = true;
  Require(EncodedWhole(DecodedWhole(bytes, zeb::BadText::kEscape), zeb::BadText::kEscape, &replaced) == bytes);
  Require(!replaced);

  const Units units = DecodedWhole(bytes, zeb::BadText::kReplace);
  Require(WithoutUnpaired(units) == units);
  const Bytes encoded = EncodedWhole(units, zeb::BadText::kReplace, &replaced);
  Require(!replaced && StrictUnits(encoded) == units);
  const auto repaired = std::make_unique<char[]>(3 * bytes.size() + 1);
  Require(Bytes(repaired.get(), static_cast<size_t>(zeb::RepairUTF8(bytes.data(), static_cast<int64_t>(bytes.size()),
                                                                    repaired.get()))) == encoded);
  const std::optional<Units> strict = StrictUnits(bytes);
  if (strict && WithoutUnpaired(*strict) == *strict) Require(units == *strict);
}

void CheckWholeEncoding(const Units& units) {
  bool replaced = false;
  const Bytes bytes = EncodedWhole(units, zeb::BadText::kReplace, &replaced);
  const Units expected = WithoutUnpaired(units);
  Require(StrictUnits(bytes) == expected && replaced == (expected != units));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes bytes(reinterpret_cast<const char*>(data), size);
  const uint8_t share = size > 0 ? data[size - 1] : 0;
  CheckEncoding(Decoded(bytes, share), share);

  Units units;
  for (size_t i = 0; i + 1 < size; i += 2) units.push_back(static_cast<Unit>(data[i] | data[i + 1] << 8));
  CheckEncoding(units, share);
  CheckWhole(bytes);
  CheckWholeEncoding(units);

  // A length of -1 takes the text up to its NUL and the NUL itself.
  const size_t text = strnlen(bytes.c_str(), size);
  Require(zeb::MultiByteToUnicode(zeb::CodePageUTF8, 0, bytes.c_str(), -1, nullptr, 0) ==
          zeb::DecodeUTF8(bytes.c_str(), static_cast<int64_t>(text) + 1, nullptr, 0).units);
  return 0;
}
