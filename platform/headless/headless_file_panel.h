// The file panel of the headless toolkit: a panel window with "Cancel" and a
// confirm button, which remembers how it was set up and what the simulated user
// chose.
#pragma once

#include <vector>

#include "platform/recorded_file_panel.h"

namespace zeb::platform {

class HeadlessToolkit;

class HeadlessFilePanel : public RecordedFilePanel {
 public:
  HeadlessFilePanel(HeadlessToolkit& toolkit, FilePanelMode mode) : RecordedFilePanel(mode), toolkit_(toolkit) {}

  bool RunModal() override;

  const ToolkitString& directory() const { return directory_; }
  // The name offered for saving; opening selects, and offers nothing.
  ToolkitString offeredName() const { return mode_ == FilePanelMode::Save ? name_ : ToolkitString(); }
  const std::vector<FileFilter>& filters() const { return filters_; }
  // The chosen filter's description; empty without filters.
  ToolkitString currentFilter() const;
  // The user picks the filter of this description (none of it: no change).
  void ChooseFilter(const ToolkitString& description);
  // The names the panel lists in its folder, sorted: its folders and the files the
  // chosen filter accepts, without hidden ones.
  std::vector<ToolkitString> ListedNames() const;
  // The user selects these paths (only the first without multiple selection), or
  // none to take what the panel shows, and confirms.
  void Choose(const std::vector<ToolkitString>& paths);

 private:
  HeadlessToolkit& toolkit_;
};

}  // namespace zeb::platform
