// Fonts of the toolkit contract: a family at a size with a weight and a slant,
// shared by whoever holds it (a font object, a view that shows it).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace zeb::platform {

using ToolkitString = std::u16string;

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

}  // namespace zeb::platform
