// The two code-page conversions: UTF-8 through its encoder and decoder, and one
// byte per unit (ISO 8859-1), whose units above 0xFF have no byte and are
// left out.
#include "runtime/core/text_conversion.h"

#include "runtime/core/text_range.h"

namespace zeb {
namespace {

int64_t BytesToUnits(const char* source, int64_t sourceLength, Unit* destination, int64_t destinationSize) {
  const int64_t length = ByteRangeLength(source, sourceLength);
  if (destination == nullptr) return length;
  const int64_t count = length < destinationSize ? length : destinationSize;
  const auto* bytes = reinterpret_cast<const unsigned char*>(source);
  for (int64_t i = 0; i < count; ++i) destination[i] = bytes[i];
  return count > 0 ? count : 0;
}

int64_t UnitsToBytes(const Unit* source, int64_t sourceLength, char* destination, int64_t destinationSize) {
  const int64_t length = UnitRangeLength(source, sourceLength);
  int64_t bytes = 0;
  if (destination == nullptr) {
    for (int64_t i = 0; i < length; ++i) bytes += source[i] < 0x100;
    return bytes;
  }
  for (int64_t i = 0; i < length && bytes < destinationSize; ++i) {
    if (source[i] < 0x100) destination[bytes++] = static_cast<char>(source[i]);
  }
  return bytes;
}

}  // namespace

int64_t MultiByteToUnicode(int codePage, int /*flags*/, const char* source, int64_t sourceLength,
                           Unit* destination, int64_t destinationSize) {
  if (codePage == CodePageUTF8) {
    const UTF8Decoded decoded = DecodeUTF8(source, sourceLength, destination, destinationSize);
    return destination != nullptr && decoded.stoppedAtInvalidLead ? 0 : decoded.units;
  }
  if (codePage == CodePage8Bit) return BytesToUnits(source, sourceLength, destination, destinationSize);
  return 0;
}

int64_t UnicodeToMultiByte(int codePage, int /*flags*/, const Unit* source, int64_t sourceLength,
                           char* destination, int64_t destinationSize, void* /*ignored1*/,
                           void* /*ignored2*/) {
  if (codePage == CodePageUTF8) {
    const UTF8Encoded encoded = EncodeUTF8(source, sourceLength, destination, destinationSize);
    return destination != nullptr && encoded.brokenPair ? 0 : encoded.bytes;
  }
  if (codePage == CodePage8Bit) return UnitsToBytes(source, sourceLength, destination, destinationSize);
  return 0;
}

}  // namespace zeb
