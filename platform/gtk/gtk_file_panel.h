// The file panel of the GTK backend: GTK's file chooser dialog, run in the
// toolkit's modal loop, or the desktop portal's where dialogs go through it.
#pragma once

#include <vector>

#include "platform/gtk/gtk_portal_file_chooser.h"
#include "platform/gtk/gtk_resources.h"
#include "platform/toolkit.h"

namespace zeb::platform {

class GtkToolkit;

// The full paths selected in a file chooser, in order.
std::vector<ToolkitString> SelectedPaths(GtkFileChooser* chooser);

class GtkFilePanel : public FilePanel {
 public:
  GtkFilePanel(GtkToolkit& toolkit, FilePanelMode mode);

  void SetTitle(const ToolkitString& title) override;
  void SetCanCreateDirectories(bool can) override;
  void SetAllowsMultipleSelection(bool allows) override;
  void SetDirectory(const ToolkitString& path) override { directory_ = path; }
  void SetNameFieldText(const ToolkitString& name) override { name_ = name; }
  void SetFilters(const std::vector<FileFilter>& filters, size_t current) override;
  bool RunModal() override;
  std::vector<ToolkitString> Filenames() const override { return chosen_; }

 private:
  static gboolean Accepts(const GtkFileFilterInfo* info, gpointer filter);
  static void OnResponse(GtkDialog*, gint response, gpointer self);
  static gboolean OnKeyPress(GtkWidget* dialog, GdkEventKey* event, gpointer self);
  GtkFileChooser* chooser() const { return GTK_FILE_CHOOSER(dialog_.get()); }

  GtkToolkit& toolkit_;
  FilePanelMode mode_;
  OwnedWidget dialog_;
  SignalConnection keys_;
  ToolkitString directory_;
  ToolkitString name_;
  PortalFileRequest portal_;  // the same dialog, asked of the desktop portal
  std::vector<ToolkitString> chosen_;
};

}  // namespace zeb::platform
