// libFuzzer target for the pattern of the file dialogs as filters: the first byte
// is the position (signed), every other byte one unit of the pattern. Whatever
// the pattern, with its fields split at "|" taken two by two as pairs (a pattern
// without "|" being one pair with itself as the patterns):
// - the filters are the pairs whose patterns hold something besides ";" and
//   blanks (spaces and tabs), in order, then "All files" with "*"; none at all
//   when no pair is kept;
// - the position chooses its pair's filter when that pair is kept, else the first;
// - every description and glob is non-empty, holds no "|", has no blank at
//   either end, and each glob holds no ";" and is part of the pattern;
// - a pattern without "|" describes its filter itself, without blanks around it.
// A broken property ends the run like a crash.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/require.h"
#include "runtime/requesters/file_patterns.h"

namespace {

using zeb::platform::FileFilter;
using zeb::platform::ToolkitString;

bool IsBlank(char16_t unit) { return unit == u' ' || unit == u'\t'; }

// Non-empty, without a blank at either end.
bool Trimmed(const ToolkitString& text) { return !text.empty() && !IsBlank(text.front()) && !IsBlank(text.back()); }

// The patterns field of each pair: the pattern itself without "|", otherwise the
// second field of every two, empty for a last field alone.
std::vector<ToolkitString> PatternsOfPairs(const ToolkitString& pattern) {
  std::vector<ToolkitString> fields(1);
  for (const char16_t unit : pattern) {
    if (unit == u'|') {
      fields.emplace_back();
    } else {
      fields.back() += unit;
    }
  }
  if (fields.size() == 1) return fields;
  std::vector<ToolkitString> patterns;
  for (size_t i = 0; i < fields.size(); i += 2) patterns.push_back(i + 1 < fields.size() ? fields[i + 1] : u"");
  return patterns;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int64_t position = static_cast<int8_t>(data[0]);
  const ToolkitString pattern(data + 1, data + size);
  const zeb::PanelFilters panel = zeb::FiltersOfPattern(pattern, position);

  const std::vector<ToolkitString> pairs = PatternsOfPairs(pattern);
  size_t kept = 0;
  size_t current = 0;
  for (size_t pair = 0; pair < pairs.size(); ++pair) {
    if (pairs[pair].find_first_not_of(u"; \t") == ToolkitString::npos) continue;
    if (static_cast<int64_t>(pair) + 1 == position) current = kept;
    ++kept;
  }
  Require(panel.filters.size() == (kept > 0 ? kept + 1 : 0));
  Require(panel.current == current);
  if (kept == 0) return 0;

  const FileFilter& all = panel.filters.back();
  Require(all.description == u"All files" && all.patterns == std::vector<ToolkitString>{u"*"});
  for (size_t i = 0; i < kept; ++i) {
    const FileFilter& filter = panel.filters[i];
    Require(Trimmed(filter.description) && filter.description.find(u'|') == ToolkitString::npos);
    Require(!filter.patterns.empty());
    for (const ToolkitString& glob : filter.patterns) {
      Require(Trimmed(glob) && glob.find_first_of(u"|;") == ToolkitString::npos);
      Require(pattern.find(glob) != ToolkitString::npos);
    }
  }
  if (pattern.find(u'|') == ToolkitString::npos) {
    const size_t first = pattern.find_first_not_of(u" \t");
    Require(panel.filters[0].description == pattern.substr(first, pattern.find_last_not_of(u" \t") - first + 1));
  }
  return 0;
}
