// The toolkit's UTF-16 strings as NSString and back: both hold UTF-16 units, so
// the units pass unchanged, unpaired surrogates included.
#pragma once

#import "platform/appkit/appkit_compat.h"
#include "platform/toolkit_string.h"

namespace zeb::platform {

// An autoreleased string of the same units.
NSString* ToNSString(const ToolkitString& text);
// The units of the string; nil gives the empty string.
ToolkitString FromNSString(NSString* text);

}  // namespace zeb::platform
