// A file panel that keeps how it was set up until it runs: for the backends that
// make or show their panel only in RunModal.
#pragma once

#include <vector>

#include "platform/toolkit.h"

namespace zeb::platform {

class RecordedFilePanel : public FilePanel {
 public:
  explicit RecordedFilePanel(FilePanelMode mode) : mode_(mode) {}

  void SetTitle(const ToolkitString& title) override { title_ = title; }
  void SetCanCreateDirectories(bool can) override { canCreateDirectories_ = can; }
  void SetAllowsMultipleSelection(bool allows) override { multiple_ = allows; }
  void SetDirectory(const ToolkitString& path) override { directory_ = path; }
  void SetNameFieldText(const ToolkitString& name) override { name_ = name; }
  // A first choice that is no filter's chooses the first.
  void SetFilters(const std::vector<FileFilter>& filters, size_t current) override {
    filters_ = filters;
    current_ = current < filters.size() ? current : 0;
  }
  std::vector<ToolkitString> Filenames() const override { return chosen_; }

 protected:
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
