// The filters of a file panel: which names a panel lists while a filter is chosen.
#pragma once

#include <vector>

#include "platform/toolkit_string.h"

namespace zeb::platform {

// A filter as the user picks it: its description and the name patterns it lists.
// A pattern is a glob: "*" stands for any run of characters, "?" for one, and
// everything else for itself, letters compared without case.
struct FileFilter {
  ToolkitString description;
  std::vector<ToolkitString> patterns;

  // Whether a file of this name is listed: it matches one of the patterns.
  bool Accepts(const ToolkitString& name) const;
};

bool MatchesGlob(const ToolkitString& pattern, const ToolkitString& name);

}  // namespace zeb::platform
