#include "runtime/requesters/file_patterns.h"

namespace zeb {
namespace {

using platform::FileFilter;
using platform::ToolkitString;

std::vector<ToolkitString> Split(const ToolkitString& text, char16_t separator) {
  std::vector<ToolkitString> parts;
  size_t from = 0;
  for (size_t at = text.find(separator); at != ToolkitString::npos; at = text.find(separator, from)) {
    parts.push_back(text.substr(from, at - from));
    from = at + 1;
  }
  parts.push_back(text.substr(from));
  return parts;
}

ToolkitString Trimmed(const ToolkitString& text) {
  const size_t first = text.find_first_not_of(u" \t");
  if (first == ToolkitString::npos) return {};
  return text.substr(first, text.find_last_not_of(u" \t") - first + 1);
}

// A pair as a filter; without patterns it lists nothing, and has none.
FileFilter FilterOfPair(const ToolkitString& description, const ToolkitString& patterns) {
  FileFilter filter{Trimmed(description), {}};
  ToolkitString joined;
  for (const ToolkitString& part : Split(patterns, u';')) {
    ToolkitString pattern = Trimmed(part);
    if (pattern.empty()) continue;
    if (!joined.empty()) joined += u';';
    joined += pattern;
    filter.patterns.push_back(std::move(pattern));
  }
  if (filter.description.empty()) filter.description = joined;
  return filter;
}

}  // namespace

PanelFilters FiltersOfPattern(const ToolkitString& pattern, int64_t position) {
  PanelFilters result;
  if (pattern.empty()) return result;
  std::vector<ToolkitString> fields = Split(pattern, u'|');
  // Without "|" the pattern describes itself; a last description lacks patterns.
  if (fields.size() % 2 == 1) fields.push_back(fields.size() == 1 ? pattern : ToolkitString());
  for (size_t pair = 0; pair < fields.size() / 2; ++pair) {
    FileFilter filter = FilterOfPair(fields[2 * pair], fields[2 * pair + 1]);
    if (filter.patterns.empty()) continue;
    if (position >= 1 && static_cast<uint64_t>(position) == pair + 1) result.current = result.filters.size();
    result.filters.push_back(std::move(filter));
  }
  if (!result.filters.empty()) result.filters.push_back(FileFilter{u"All files", {u"*"}});
  return result;
}

}  // namespace zeb
