// The open, save and folder requesters on the toolkit's file panels, and the kept
// selection of a multiple-file open.
//
// Every requester takes its texts as runtime strings (null: empty) and leaves its
// result in the temporary string buffer at `start`; the empty string means
// cancelled or no panel. The open and save panels offer the pattern's filters and
// start with the one at the pattern position; the save panel keeps the typed name
// as it is, whichever filter is chosen.
#pragma once

#include <cstdint>

#include "runtime/core/runtime_string.h"

namespace zeb {

// OpenFileRequester flags.
inline constexpr int64_t OpenFileRequesterMultiple = 1;

// The chosen file's full path. With OpenFileRequesterMultiple the user may choose
// several: the first is the result and the others are kept for
// NextSelectedFileName.
void OpenFileRequester(const Unit* title, const Unit* defaultFile, const Unit* pattern, int64_t patternPosition,
                       int64_t flags, int64_t start);
void OpenFileRequester(const Unit* title, const Unit* defaultFile, const Unit* pattern, int64_t patternPosition,
                       int64_t start);
// The next kept path, or the empty string once none is left (the selection is then
// forgotten).
void NextSelectedFileName(int64_t start);
// The full path to save under.
void SaveFileRequester(const Unit* title, const Unit* defaultFile, const Unit* pattern, int64_t patternPosition,
                       int64_t start);
// The chosen folder's full path, always ending in "/".
void PathRequester(const Unit* title, const Unit* initialPath, int64_t start);

}  // namespace zeb
