#import "platform/appkit/appkit_alert.h"

#import "platform/appkit/appkit_compat.h"
#import "platform/appkit/appkit_gnustep_focus.h"
#import "platform/appkit/appkit_strings.h"

#ifdef GNUSTEP
#include <X11/Xlib.h>

#include <vector>

// GNUstep's alert panel cannot be closed, and tells the window manager so by
// leaving WM_DELETE_WINDOW out of its protocols; a window manager that draws a
// close box on it all the same (openbox does) closes it by killing its client: the
// whole host. Once the alert's loop runs, its panel is made closable and says so:
// the close box then ends the loop with no button pressed, which answers as the
// button that cancels.
@interface ZebClosableAlert : NSObject
+ (void)makeClosable;
@end

@implementation ZebClosableAlert

+ (void)makeClosable {
  NSWindow* panel = [NSApp modalWindow];
  if (panel == nil) return;
  // The alert releases its panel itself.
  [panel setReleasedWhenClosed:NO];
  // GNUstep's windows have no setStyleMask:; key-value coding sets the mask itself.
  [panel setValue:[NSNumber numberWithUnsignedInteger:[panel styleMask] | NSWindowStyleMaskClosable]
           forKey:@"styleMask"];
  const auto [display, xid] = zeb::platform::XWindowOf(panel);
  if (display == nullptr || xid == 0) return;
  Atom* declared = nullptr;
  int count = 0;
  std::vector<Atom> protocols;
  if (XGetWMProtocols(display, xid, &declared, &count) != 0) protocols.assign(declared, declared + count);
  if (declared != nullptr) XFree(declared);
  protocols.push_back(XInternAtom(display, "WM_DELETE_WINDOW", False));
  XSetWMProtocols(display, xid, protocols.data(), static_cast<int>(protocols.size()));
  XFlush(display);
}

@end
#endif

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
#ifdef GNUSTEP
  [ZebClosableAlert performSelector:@selector(makeClosable)
                         withObject:nil
                         afterDelay:0
                            inModes:[NSArray arrayWithObject:NSModalPanelRunLoopMode]];
#endif
  const NSModalResponse response = [alert runModal];
  [pool release];
  const int64_t index = response - NSAlertFirstButtonReturn;
  if (buttons.empty()) return response == NSAlertFirstButtonReturn ? kAlertDefaultButtonTag : 0;
  if (index >= 0 && index < static_cast<int64_t>(buttons.size())) return buttons[static_cast<size_t>(index)].tag;
  return ClosedAlertTag(buttons);
}

}  // namespace zeb::platform
