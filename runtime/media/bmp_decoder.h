// The decoder for Windows bitmap (BMP) files.
//
// It accepts any source that starts with the letters B and M and has both reserved
// header fields 0, and decodes 1-bit (always black and white), 4- and 8-bit
// palette (8-bit also RLE8), 16-bit 5-5-5 and 5-6-5, 24- and 32-bit pictures into
// 24-bit red, green, blue rows, top row first. Other formats decode to nothing.
#pragma once

#include <cstdint>

#include "runtime/media/image_decoders.h"

namespace zeb {

// "BMP" in little-endian byte order.
inline constexpr uint32_t BMPImageIdentifier = 0x504D42;

extern const ImageDecoder BMPImageDecoder;

// Start routine: registers the decoder.
void RegisterBMPDecoder();

}  // namespace zeb
