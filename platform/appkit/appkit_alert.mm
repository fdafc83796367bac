#import "platform/appkit/appkit_alert.h"

#import "platform/appkit/appkit_compat.h"
#import "platform/appkit/appkit_gnustep_focus.h"
#import "platform/appkit/appkit_strings.h"

namespace zeb::platform {

int64_t RunAppKitAlert(const ToolkitString& message, const ToolkitString& informative,
                       const std::vector<AlertButton>& buttons) {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  NSAlert* alert = [[[NSAlert alloc] init] autorelease];
  [alert setMessageText:ToNSString(message)];
  [alert setInformativeText:ToNSString(informative)];
  for (const AlertButton& button : buttons) {
    NSButton* added = [alert addButtonWithTitle:ToNSString(button.title)];
    if (button.cancels) [added setKeyEquivalent:@"\x1b"];
  }
  TakeFocusInNextModalLoop();
  const NSModalResponse response = [alert runModal];
  [pool release];
  const int64_t index = response - NSAlertFirstButtonReturn;
  if (buttons.empty()) return response == NSAlertFirstButtonReturn ? kAlertDefaultButtonTag : 0;
  if (index >= 0 && index < static_cast<int64_t>(buttons.size())) return buttons[static_cast<size_t>(index)].tag;
  return ClosedAlertTag(buttons);
}

}  // namespace zeb::platform
