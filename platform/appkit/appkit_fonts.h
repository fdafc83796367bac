// Fonts of the AppKit backend: a font is its family, size and traits, and becomes
// an NSFont where a view shows it.
#pragma once

#import "platform/appkit/appkit_compat.h"
#include "platform/fonts.h"

namespace zeb::platform {

// The family at this size with these traits, or null when AppKit has no such
// family.
SharedFont AppKitFontWithFamily(const ToolkitString& family, uint32_t traits, double size);
// The user interface's font at this size.
SharedFont AppKitSystemFont(double size);
// The NSFont that shows the font (null: the system font at its standard size).
NSFont* NSFontOf(const SharedFont& font);

}  // namespace zeb::platform
