#include "runtime/requesters/file_requesters.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "platform/toolkit.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/core/text_conversion.h"
#include "runtime/core/toolkit_strings.h"
#include "runtime/requesters/file_patterns.h"
#include "runtime/requesters/key_window_keeper.h"

namespace zeb {
namespace {

using platform::FilePanelMode;
using platform::ToolkitString;

// The paths of the last confirmed multiple-file open, and the next one to hand out.
struct Selection {
  std::vector<ToolkitString> paths;
  size_t next = 0;
};
// Never destroyed, as the library has no static destructors (extension/lifecycle.cpp).
Selection& Kept() {
  static auto& kept = *new Selection();
  return kept;
}

// Where a default path points a panel: the folder to open in (none when the path
// names none) and the name to offer there.
struct PanelPlace {
  std::optional<ToolkitString> folder;
  ToolkitString name;
};

// The folder is everything before the last "/" and the name everything after it;
// a "/" in the first place is the root folder, and in folder mode one trailing "/"
// goes first (but "/" stays the root).
PanelPlace SplitDefaultPath(ToolkitString path, bool folderMode) {
  if (folderMode && path.size() > 1 && path.back() == u'/') path.pop_back();
  for (size_t i = path.size(); i-- > 1;) {
    if (path[i] == u'/') return {path.substr(0, i), path.substr(i + 1)};
  }
  if (!path.empty() && path.front() == u'/') return {u"/", path.substr(1)};
  return {std::nullopt, path};
}

// The process's current folder, its bytes kept as a path's are; empty when it
// cannot be read.
ToolkitString CurrentFolder() {
  char* current = getcwd(nullptr, 0);
  if (current == nullptr) return {};
  const auto length = static_cast<int64_t>(std::strlen(current));
  ToolkitString folder(static_cast<size_t>(length), u'\0');
  folder.resize(static_cast<size_t>(DecodeUTF8Whole(current, length, folder.data(), BadText::kEscape)));
  std::free(current);
  return folder;
}

// What a panel is set up with besides its mode.
struct PanelSetup {
  const Unit* title;
  const Unit* defaultPath;
  PanelFilters filters;
  bool multiple;
};

// Runs a new panel set up for the default path; the paths chosen, none when the
// user cancelled or no panel can be shown.
std::vector<ToolkitString> ChoosePaths(FilePanelMode mode, const PanelSetup& setup) {
  std::unique_ptr<platform::FilePanel> panel = platform::CurrentToolkit().CreateFilePanel(mode);
  if (panel == nullptr) return {};
  const KeyWindowKeeper keeper;
  panel->SetTitle(StringToToolkitString(setup.title));
  panel->SetCanCreateDirectories(true);
  panel->SetAllowsMultipleSelection(setup.multiple);
  panel->SetFilters(setup.filters.filters, setup.filters.current);
  // A default path that names no folder starts in the current one.
  const PanelPlace place = SplitDefaultPath(StringToToolkitString(setup.defaultPath), mode == FilePanelMode::OpenFolder);
  panel->SetDirectory(place.folder ? *place.folder : CurrentFolder());
  panel->SetNameFieldText(place.name);
  if (!panel->RunModal()) return {};
  return panel->Filenames();
}

// The first path as the result, or the empty string.
void FirstPathResult(const std::vector<ToolkitString>& paths, int64_t start) {
  if (paths.empty()) {
    EmptyTempResult(start);
  } else {
    ToolkitStringToTempString(&paths.front(), start);
  }
}

}  // namespace

void OpenFileRequester(const Unit* title, const Unit* defaultFile, const Unit* pattern, int64_t patternPosition,
                       int64_t flags, int64_t start) {
  const bool multiple = (flags & OpenFileRequesterMultiple) != 0;
  const PanelSetup setup{title, defaultFile, FiltersOfPattern(StringToToolkitString(pattern), patternPosition), multiple};
  std::vector<ToolkitString> chosen = ChoosePaths(FilePanelMode::OpenFiles, setup);
  FirstPathResult(chosen, start);
  if (multiple && !chosen.empty()) Kept() = Selection{std::move(chosen), 1};
}

void OpenFileRequester(const Unit* title, const Unit* defaultFile, const Unit* pattern, int64_t patternPosition,
                       int64_t start) {
  OpenFileRequester(title, defaultFile, pattern, patternPosition, 0, start);
}

void NextSelectedFileName(int64_t start) {
  Selection& kept = Kept();
  if (kept.next < kept.paths.size()) {
    ToolkitStringToTempString(&kept.paths[kept.next++], start);
    return;
  }
  kept = Selection();
  EmptyTempResult(start);
}

void SaveFileRequester(const Unit* title, const Unit* defaultFile, const Unit* pattern, int64_t patternPosition,
                       int64_t start) {
  const PanelSetup setup{title, defaultFile, FiltersOfPattern(StringToToolkitString(pattern), patternPosition), false};
  FirstPathResult(ChoosePaths(FilePanelMode::Save, setup), start);
}

void PathRequester(const Unit* title, const Unit* initialPath, int64_t start) {
  std::vector<ToolkitString> chosen = ChoosePaths(FilePanelMode::OpenFolder, {title, initialPath, {}, false});
  if (!chosen.empty() && (chosen.front().empty() || chosen.front().back() != u'/')) chosen.front() += u'/';
  FirstPathResult(chosen, start);
}

}  // namespace zeb
