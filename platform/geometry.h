// Geometry of the toolkit contract. Screen coordinates have their origin at the
// top-left corner of the main screen, x growing to the right and y downwards;
// content views are flipped the same way (origin top-left).
#pragma once

namespace zeb::platform {

struct Point {
  double x = 0;
  double y = 0;
};

struct Size {
  double width = 0;
  double height = 0;
};

struct Rect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  bool operator==(const Rect&) const = default;
};

// The decoration a window frame adds around its content on each side.
struct FrameExtents {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
};

}  // namespace zeb::platform
