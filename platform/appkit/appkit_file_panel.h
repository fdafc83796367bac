// The file panels of the AppKit backend: NSOpenPanel for files and folders to
// open, NSSavePanel for a file to save under, run modally; the filters are a
// pop-up menu in the panel's accessory view.
#pragma once

#include <vector>

#import "platform/appkit/appkit_compat.h"
#include "platform/toolkit.h"

namespace zeb::platform {

class AppKitFilePanel : public FilePanel {
 public:
  explicit AppKitFilePanel(FilePanelMode mode) : mode_(mode) {}

  void SetTitle(const ToolkitString& title) override { title_ = title; }
  void SetCanCreateDirectories(bool can) override { canCreateDirectories_ = can; }
  void SetAllowsMultipleSelection(bool allows) override { multiple_ = allows; }
  void SetDirectory(const ToolkitString& path) override { directory_ = path; }
  void SetNameFieldText(const ToolkitString& name) override { name_ = name; }
  void SetFilters(const std::vector<FileFilter>& filters, size_t current) override;
  bool RunModal() override;
  std::vector<ToolkitString> Filenames() const override { return chosen_; }

 private:
  // The shared panel of the mode, set up as asked.
  NSSavePanel* PreparedPanel() const;

  FilePanelMode mode_;
  ToolkitString title_;
  bool canCreateDirectories_ = false;
  bool multiple_ = false;
  ToolkitString directory_;
  ToolkitString name_;
  std::vector<FileFilter> filters_;
  size_t current_ = 0;
  std::vector<ToolkitString> chosen_;
};

}  // namespace zeb::platform
