// A bitmap of the headless toolkit: the pixel bytes and nothing else.
#pragma once

#include <vector>

#include "platform/toolkit.h"

namespace zeb::platform {

class HeadlessBitmap : public Bitmap {
 public:
  HeadlessBitmap(int width, int height)
      : width_(width), height_(height), pixels_(static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  uint8_t* Pixels() override { return pixels_.data(); }

 private:
  int width_;
  int height_;
  std::vector<uint8_t> pixels_;
};

}  // namespace zeb::platform
