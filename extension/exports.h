// The exports, as the host sees them: the library defines them against the public
// header's own prototypes, one file per concern (process, file, clipboard, launch,
// dialog, menu and text-window exports).
#pragma once

#include "include/zebext.h"
