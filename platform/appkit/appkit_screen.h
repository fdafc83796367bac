// Screen geometry between the contract and AppKit: the contract measures from the
// top-left corner of the main screen, y downwards; AppKit from its bottom-left
// corner, y upwards.
#pragma once

#import "platform/appkit/appkit_compat.h"
#include "platform/geometry.h"

namespace zeb::platform {

// The screen with the menu bar (the first), or nil when there is none.
NSScreen* PrimaryScreen();
NSRect ToAppKitRect(const Rect& rect);
Rect FromAppKitRect(NSRect rect);
Point FromAppKitPoint(NSPoint point);
NSPoint ToAppKitPoint(const Point& point);

}  // namespace zeb::platform
