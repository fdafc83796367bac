#import "platform/appkit/appkit_application.h"

#import "platform/appkit/appkit_compat.h"

#ifdef GNUSTEP
#import <GNUstepGUI/GSDisplayServer.h>
#endif

// The application's delegate when the host has none. The process's arguments are
// the host's, not documents: opening them does nothing.
@interface ZebApplicationDelegate : NSObject
- (void)application:(NSApplication*)application openFiles:(NSArray*)files;
@end

@implementation ZebApplicationDelegate
- (void)application:(NSApplication*)application openFiles:(NSArray*)files {
}
@end

namespace zeb::platform {
namespace {

#ifdef GNUSTEP
// GNUstep would otherwise give a library loaded into a game its own application
// icon window beside the game's, and show its menus in NeXT's style: the main menu
// as a column of its own (whose items GNUstep rearranges), a pop-up with a title.
// As on a Mac, the main menu is a bar along the top of the screen.
void RegisterGuestDefaults() {
  [[NSUserDefaults standardUserDefaults]
      registerDefaults:[NSDictionary dictionaryWithObjectsAndKeys:@"YES", @"GSSuppressAppIcon",
                                                                  @"NSMacintoshInterfaceStyle", @"NSMenuInterfaceStyle", nil]];
}

// GNUstep's X back end sets up its mouse at the first click, and contacts the
// distributed notification server there (starting it when none runs); while it
// waits for the answer it reads on in the X queue, so that first click's release
// came before its press and the click was lost. It is set up here instead.
void PrepareMouse() {
  id server = GSCurrentServer();
  const SEL initialize = @selector(initializeMouse);
  if ([server respondsToSelector:initialize]) [server performSelector:initialize];
}
#endif

}  // namespace

bool AttachApplication() {
#ifdef GNUSTEP
  const bool made = NSApp == nil;
  if (made) RegisterGuestDefaults();
#endif
  NSApplication* application = [NSApplication sharedApplication];
#ifdef GNUSTEP
  if (made) PrepareMouse();
#endif
  id delegate = [application delegate];
  if (delegate != nil) return ![delegate isKindOfClass:[ZebApplicationDelegate class]];
  // Made once and kept for the life of the process, as the application is.
  [application setDelegate:(id)[[ZebApplicationDelegate alloc] init]];
  return false;
}

}  // namespace zeb::platform
