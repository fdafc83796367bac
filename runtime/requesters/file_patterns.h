// The pattern of the open and save requesters as the filters of a file panel.
//
// A pattern lists pairs of a description and its patterns, all separated by "|",
// the patterns of a pair by ";": "Text files|*.txt;*.md|Images|*.png;*.bmp". A
// pattern without "|" is one filter described by the pattern itself. Spaces around
// a pattern are dropped, a pair without patterns is left out, and a pair without a
// description is described by its patterns. "All files" always comes last, so every
// file stays within reach; an empty pattern (or one with no pair left) gives no
// filters, and the panel lists every file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/file_filters.h"

namespace zeb {

struct PanelFilters {
  std::vector<platform::FileFilter> filters;
  size_t current = 0;  // the filter chosen at first
};

// The filters of the pattern. The position (from 1) names the pair chosen at first;
// 0, a position beyond the pairs or one of a pair left out choose the first.
PanelFilters FiltersOfPattern(const platform::ToolkitString& pattern, int64_t position);

}  // namespace zeb
