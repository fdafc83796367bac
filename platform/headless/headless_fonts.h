// Fonts of the headless toolkit: a family, a size and traits, from a fixed list of
// families the simulated system has installed.
#pragma once

#include "platform/toolkit.h"

namespace zeb::platform {

class HeadlessFont : public Font {
 public:
  HeadlessFont(ToolkitString family, double size, uint32_t traits)
      : family_(std::move(family)), size_(size), traits_(traits) {}
  ToolkitString Family() const override { return family_; }
  double PointSize() const override { return size_; }
  uint32_t Traits() const override { return traits_; }

 private:
  ToolkitString family_;
  double size_;
  uint32_t traits_;
};

// Null for a family that is not installed (names compare without regard to case).
SharedFont HeadlessFontWithFamily(const ToolkitString& family, uint32_t traits, double size);
SharedFont HeadlessSystemFont(double size);

}  // namespace zeb::platform
