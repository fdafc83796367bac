// Drag and drop in the toolkit contract: what a drag offers a view it passes over
// or is dropped on.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/bitmap.h"
#include "platform/geometry.h"
#include "platform/toolkit_string.h"

namespace zeb::platform {

// Drag operations, alone (the operation a target chooses) or combined (what a
// source allows).
enum DragOperation : uint32_t {
  DragNone = 0,
  DragCopy = 1,
  DragLink = 2,
  DragGeneric = 4,
  DragMove = 16,
};

// What the dragging pasteboard holds, each kind when it is offered.
struct DragContents {
  std::unique_ptr<Bitmap> image;
  std::optional<std::vector<ToolkitString>> files;  // full paths
  std::optional<ToolkitString> text;
};

struct DraggingInfo {
  uint32_t sourceOperations = DragNone;  // what the source allows
  Point location;                        // in the target view, from its top-left
  DragContents contents;                 // filled when the drop is performed
};

}  // namespace zeb::platform
