// Fonts of the headless toolkit: descriptions of a family from a fixed list of
// families the simulated system has installed.
#pragma once

#include "platform/toolkit.h"

namespace zeb::platform {

// Null for a family that is not installed (names compare without regard to case).
SharedFont HeadlessFontWithFamily(const ToolkitString& family, uint32_t traits, double size);
SharedFont HeadlessSystemFont(double size);

}  // namespace zeb::platform
