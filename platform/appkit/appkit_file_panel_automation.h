// What the AppKit automation reads from and does to a running file panel, through
// the views GNUstep's panels are made of (a browser of folders, a name field, the
// filter menu of the accessory view).
#pragma once

#include <vector>

#import "platform/appkit/appkit_compat.h"
#include "platform/automation.h"

namespace zeb::platform {

#ifdef GNUSTEP
// The panel's folder, the name it offers for saving, its filters with the chosen
// one, and the names it lists in the folder.
void ReadFilePanel(NSSavePanel* panel, ModalContents& contents);
// Shows the paths' folder and selects the paths in it (saving: offers the first
// path's name there), as the user does before confirming; the button that confirms.
NSButton* SelectInFilePanel(NSSavePanel* panel, const std::vector<ToolkitString>& paths);
// The pop-up menu of the panel's filters, or nil.
NSPopUpButton* FilterMenuOf(NSSavePanel* panel);
#endif

}  // namespace zeb::platform
