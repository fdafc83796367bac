// Font objects: numbered toolkit fonts made from a family, a size and a style, for
// the gadgets to show their text in.
#pragma once

#include <cstdint>

#include "platform/toolkit.h"
#include "runtime/core/runtime_string.h"

namespace zeb {

// LoadFont flags.
inline constexpr int32_t FontFlagBold = 1;
inline constexpr int32_t FontFlagItalic = 2;

struct FontRecord {
  const platform::Font* font;  // the handle, null while the number is free
  platform::SharedFont* holder;  // keeps the font alive for the record
};

// Start routine: makes the font registry. End routine: frees every font.
void InitFonts();
void EndFonts();

// The family at `size` points, bold and italic as the flags say; a family the
// toolkit does not know gives the system font of that size, without the style.
// Returns the record's address for -1 (the font's number from then on), the
// toolkit font for a chosen number, 0 when no record could be had.
int64_t LoadFont(int64_t number, const Unit* family, int32_t size, int32_t flags);

// The toolkit font of the font, or 0.
int64_t FontID(int64_t number);

// Frees the font; -1 frees every font.
void FreeFont(int64_t number);

// The font that FontID handed out as `handle`, while some font object holds it;
// null for any other value.
platform::SharedFont FontFromID(int64_t handle);

}  // namespace zeb
