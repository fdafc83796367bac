// Drags in AppKit's terms: what the views that take drops register for, and an
// NSDraggingInfo read as the contract's DraggingInfo.
#pragma once

#import "platform/appkit/appkit_compat.h"
#include "platform/drops.h"

namespace zeb::platform {

// The dragged types a view that takes drops registers, in the order it prefers
// them: an image (TIFF), file names, text.
NSArray* DroppedTypes();
// The drag over the view: what its source allows and where it is, from the view's
// top-left; with `withContents`, what its pasteboard holds of the dropped types.
DraggingInfo DraggingInfoOf(id<NSDraggingInfo> drag, NSView* view, bool withContents);

}  // namespace zeb::platform
