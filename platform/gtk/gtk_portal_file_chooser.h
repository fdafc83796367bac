// The file and folder dialogs of the desktop portal (org.freedesktop.portal.FileChooser
// on the session bus): the dialog runs outside a sandbox, shows the user's own files
// and gives the game access to what the user chose.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_filters.h"
#include "platform/toolkit.h"

namespace zeb::platform {

class GtkToolkit;

// What a file panel asks the portal for.
struct PortalFileRequest {
  FilePanelMode mode = FilePanelMode::OpenFiles;
  std::string title;   // UTF-8
  std::string folder;  // the folder's bytes; empty for none
  std::string name;    // UTF-8, the name offered for saving
  bool multiple = false;
  std::vector<FileFilter> filters;
  size_t currentFilter = 0;
};

// Whether the dialogs go through the portal: in a sandbox (Flatpak, Snap), or when
// GTK_USE_PORTAL=1 asks for it.
bool PortalWanted();

// Runs the portal's dialog in the toolkit's modal loop: the paths chosen, none
// when the user cancelled. Nothing when there is no portal to ask, or it refused
// (no FileChooser, an error reply, a version too old for folders): then the
// caller shows its own dialog.
std::optional<std::vector<ToolkitString>> ChooseThroughPortal(GtkToolkit& toolkit, const PortalFileRequest& request);

}  // namespace zeb::platform
