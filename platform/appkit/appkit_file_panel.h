// The file panels of the AppKit backend: NSOpenPanel for files and folders to
// open, NSSavePanel for a file to save under, run modally; the filters are a
// pop-up menu in the panel's accessory view.
#pragma once

#import "platform/appkit/appkit_compat.h"
#include "platform/recorded_file_panel.h"

namespace zeb::platform {

class AppKitFilePanel : public RecordedFilePanel {
 public:
  explicit AppKitFilePanel(FilePanelMode mode) : RecordedFilePanel(mode) {}

  bool RunModal() override;

 private:
  // The shared panel of the mode, set up as asked.
  NSSavePanel* PreparedPanel() const;
};

}  // namespace zeb::platform
