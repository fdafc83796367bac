// Fonts of the toolkit contract: a family at a size with a weight and a slant,
// shared by whoever holds it (a font object, a view that shows it).
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "platform/toolkit_string.h"

namespace zeb::platform {

enum FontTrait : uint32_t {
  FontItalic = 1,
  FontBold = 2,
};

class Font {
 public:
  virtual ~Font() = default;
  // The family as asked for (or the system font's family), its size in points and
  // its traits.
  virtual ToolkitString Family() const = 0;
  virtual double PointSize() const = 0;
  virtual uint32_t Traits() const = 0;
};

using SharedFont = std::shared_ptr<const Font>;

// A font as its family, size and traits: all a backend keeps of one.
class FontDescription : public Font {
 public:
  FontDescription(ToolkitString family, double size, uint32_t traits)
      : family_(std::move(family)), size_(size), traits_(traits) {}
  ToolkitString Family() const override { return family_; }
  double PointSize() const override { return size_; }
  uint32_t Traits() const override { return traits_; }

 private:
  ToolkitString family_;
  double size_;
  uint32_t traits_;
};

}  // namespace zeb::platform
