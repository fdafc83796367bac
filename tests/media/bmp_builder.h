// Small BMP files built in memory for the decoder tests: a 14-byte file header and
// a 40-byte info header, then the colour table, then the pixel bytes as given.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace zeb::testing {

struct Rgb {
  uint8_t red, green, blue;
};

struct BmpLayout {
  int32_t width = 1;
  int32_t height = 1;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  uint32_t pixelOffset = 0;     // 0: right after the colour table
  std::vector<Rgb> palette;     // stored blue, green, red, reserved
  std::vector<uint8_t> pixels;  // exactly as they go into the file
};

inline std::vector<uint8_t> MakeBMP(const BmpLayout& layout) {
  const uint32_t pixelOffset =
      layout.pixelOffset != 0 ? layout.pixelOffset : 14 + 40 + static_cast<uint32_t>(layout.palette.size()) * 4;
  const auto pixelBytes = static_cast<uint32_t>(layout.pixels.size());
  // Each field as (value, bytes), little-endian; 2835 dots per metre is 72 per inch.
  const std::pair<uint32_t, int> fields[] = {
      {'B' | 'M' << 8, 2}, {pixelOffset + pixelBytes, 4}, {0, 4}, {pixelOffset, 4},  // the file header
      {40, 4}, {static_cast<uint32_t>(layout.width), 4}, {static_cast<uint32_t>(layout.height), 4}, {1, 2},
      {layout.bitCount, 2}, {layout.compression, 4}, {pixelBytes, 4}, {2835, 4}, {2835, 4},
      {layout.coloursUsed, 4}, {0, 4}};
  std::vector<uint8_t> file;
  for (const auto& [value, bytes] : fields) {
    for (int i = 0; i < bytes; ++i) file.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }
  for (const Rgb& entry : layout.palette) file.insert(file.end(), {entry.blue, entry.green, entry.red, 0x5A});
  file.insert(file.end(), layout.pixels.begin(), layout.pixels.end());
  return file;
}

// Pixels packed as the decoder writes them.
inline std::vector<uint8_t> Pixels(const std::vector<Rgb>& pixels) {
  std::vector<uint8_t> bytes;
  for (const Rgb& pixel : pixels) bytes.insert(bytes.end(), {pixel.red, pixel.green, pixel.blue});
  return bytes;
}

}  // namespace zeb::testing
