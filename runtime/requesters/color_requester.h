// The colour panel, run modally with "Cancel" and "OK" buttons of its own, and the
// conversions between the runtime's RGB integers and toolkit colours.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/toolkit.h"

namespace zeb {

// An RGB integer: red in bits 0 to 7, green 8 to 15, blue 16 to 23, alpha 24 to 31.
platform::ColorComponents ColorFromRGB(int64_t rgb);
// The colour as an RGB integer, each component times 255 truncated; -1 for a
// colour without an RGB form.
int64_t RGBFromColor(const std::optional<platform::ColorComponents>& color);

// Shows the colour panel starting at `initial` (its low 24 bits; -1 for white) and
// returns the colour chosen with "OK" as a 24-bit RGB integer, or -1 when the user
// cancelled, closed the panel, or no panel can be shown.
int64_t ColorRequester(int64_t initial);
int64_t ColorRequester();

}  // namespace zeb
