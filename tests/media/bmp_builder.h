// Small BMP files built in memory for the decoder tests: a 14-byte file header and
// a 40-byte info header, then the colour table, then the pixel bytes as given.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace zeb::testing {

struct Rgb {
  uint8_t red, green, blue;
  bool operator==(const Rgb&) const = default;
};

struct BmpLayout {
  int32_t width = 1;
  int32_t height = 1;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  std::vector<Rgb> palette;     // stored blue, green, red, reserved
  std::vector<uint8_t> pixels;  // exactly as they go into the file
};

inline void PutLE(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline std::vector<uint8_t> MakeBMP(const BmpLayout& layout) {
  const uint32_t pixelOffset = 14 + 40 + static_cast<uint32_t>(layout.palette.size()) * 4;
  std::vector<uint8_t> file = {'B', 'M'};
  PutLE(file, pixelOffset + layout.pixels.size(), 4);
  PutLE(file, 0, 4);  // the two reserved fields
  PutLE(file, pixelOffset, 4);
  PutLE(file, 40, 4);
  PutLE(file, static_cast<uint32_t>(layout.width), 4);
  PutLE(file, static_cast<uint32_t>(layout.height), 4);
  PutLE(file, 1, 2);  // planes
  PutLE(file, layout.bitCount, 2);
  PutLE(file, layout.compression, 4);
  PutLE(file, layout.pixels.size(), 4);
  PutLE(file, 2835, 4);  // 72 dots per inch, both ways
  PutLE(file, 2835, 4);
  PutLE(file, layout.coloursUsed, 4);
  PutLE(file, 0, 4);
  for (const Rgb& entry : layout.palette) file.insert(file.end(), {entry.blue, entry.green, entry.red, 0x5A});
  file.insert(file.end(), layout.pixels.begin(), layout.pixels.end());
  return file;
}

// Rows of `width` pixels packed as the decoder writes them.
inline std::vector<uint8_t> Pixels(std::initializer_list<Rgb> pixels) {
  std::vector<uint8_t> bytes;
  for (const Rgb& pixel : pixels) bytes.insert(bytes.end(), {pixel.red, pixel.green, pixel.blue});
  return bytes;
}

}  // namespace zeb::testing
