// Bitmaps of the toolkit contract.
#pragma once

#include <cstdint>

namespace zeb::platform {

// A 32-bit bitmap: red, green, blue, alpha bytes, alpha not premultiplied, rows
// top-down, width * 4 bytes per row. Bitmaps of more bytes than this are refused.
inline constexpr int64_t kLargestBitmapBytes = int64_t{1} << 30;
class Bitmap {
 public:
  virtual ~Bitmap() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual uint8_t* Pixels() = 0;
};

}  // namespace zeb::platform
