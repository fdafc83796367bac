// libFuzzer target for the UTF-8 decoder and encoder. The input is decoded as
// UTF-8, and its bytes, two by two, are also taken as 16-bit units (unpaired
// surrogates included); the last byte chooses the size of a limited destination.
// Every destination is allocated at exactly the size the conversion is given (3
// bytes more for a limited encoder destination, where a character begun may end
// past it), so AddressSanitizer reports any write beyond the documented reach.
// Whatever the input:
// - counting and writing into a destination larger than the text or limited by
//   the last byte give what the plain reference of the converter tests gives
//   (tests/core/utf8_reference.h): the units or bytes, where and why they stop;
// - what the encoder wrote decodes back to the units it took;
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
#include <string>

#include "fuzz/require.h"
#include "runtime/core/text_conversion.h"
#include "tests/core/utf8_reference.h"

namespace {

using zeb::Unit;
using Units = std::u16string;
using Bytes = std::string;
using zeb::testing::DecodedWhole;
using zeb::testing::DecodesAsTheReference;
using zeb::testing::EncodedWhole;
using zeb::testing::EncodesAsTheReference;
using zeb::testing::ReferenceDecode;
using zeb::testing::ReferenceEncode;
using zeb::testing::Repaired;

// Counting, a destination with room to spare, and one that `share` (0-255) chooses
// from none to the whole text, as the reference says; returns the units.
Units CheckDecoding(const Bytes& bytes, uint8_t share) {
  const Units units = ReferenceDecode(bytes, -1).units;
  const auto count = static_cast<int64_t>(units.size());
  Require(DecodesAsTheReference(bytes, -1) && DecodesAsTheReference(bytes, count + 1) &&
          DecodesAsTheReference(bytes, count * share / 255));
  return units;
}

// The same for encoding, a limited destination from one byte to a byte more than
// the text; what the encoder wrote decodes to the units it took.
void CheckEncoding(const Units& units, uint8_t share) {
  const zeb::testing::ReferenceEncoding whole = ReferenceEncode(units, -1);
  const auto count = static_cast<int64_t>(whole.bytes.size());
  Require(EncodesAsTheReference(units, -1, 0) && EncodesAsTheReference(units, count + 1, 0) &&
          EncodesAsTheReference(units, 1 + count * share / 255, 3));
  Require(DecodesAsTheReference(whole.bytes, -1) &&
          ReferenceDecode(whole.bytes, -1).units == units.substr(0, whole.consumed));
}

// The units with each unpaired surrogate as U+FFFD.
Units WithoutUnpaired(const Units& units) {
  Units out = units;
  for (size_t i = 0; i < out.size(); ++i) {
    if ((out[i] & 0xFC00) == 0xD800 && i + 1 < out.size() && (out[i + 1] & 0xFC00) == 0xDC00) {
      ++i;
    } else if ((out[i] & 0xF800) == 0xD800) {  // any surrogate
      out[i] = 0xFFFD;
    }
  }
  return out;
}

void CheckWhole(const Bytes& bytes) {
  bool replaced = true;
  Require(EncodedWhole(DecodedWhole(bytes, zeb::BadText::kEscape), zeb::BadText::kEscape, &replaced) == bytes);
  Require(!replaced);

  // Units without unpaired surrogates have one well-formed encoding: the reference's.
  const Units units = DecodedWhole(bytes, zeb::BadText::kReplace);
  Require(WithoutUnpaired(units) == units);
  const Bytes encoded = EncodedWhole(units, zeb::BadText::kReplace, &replaced);
  Require(!replaced && encoded == ReferenceEncode(units, -1).bytes);
  Require(Repaired(bytes) == encoded);
  // Well-formed UTF-8 (no overlong form, encoded surrogate, cut or early-ended
  // character, nothing above U+10FFFF) is what the reference decodes whole into
  // units without an unpaired surrogate and encodes back to the same bytes.
  const zeb::testing::ReferenceDecoding strict = ReferenceDecode(bytes, -1);
  if (strict.consumed == static_cast<int64_t>(bytes.size()) && WithoutUnpaired(strict.units) == strict.units &&
      ReferenceEncode(strict.units, -1).bytes == bytes) {
    Require(units == strict.units);
  }
}

void CheckWholeEncoding(const Units& units) {
  bool replaced = false;
  const Bytes bytes = EncodedWhole(units, zeb::BadText::kReplace, &replaced);
  const Units expected = WithoutUnpaired(units);
  Require(bytes == ReferenceEncode(expected, -1).bytes && replaced == (expected != units));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes bytes(reinterpret_cast<const char*>(data), size);
  const uint8_t share = size > 0 ? data[size - 1] : 0;
  CheckEncoding(CheckDecoding(bytes, share), share);

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
