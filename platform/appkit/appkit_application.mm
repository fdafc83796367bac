#import "platform/appkit/appkit_application.h"

#import "platform/appkit/appkit_compat.h"

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
// icon window beside the game's.
void RegisterGuestDefaults() {
  [[NSUserDefaults standardUserDefaults]
      registerDefaults:[NSDictionary dictionaryWithObject:@"YES" forKey:@"GSSuppressAppIcon"]];
}
#endif

}  // namespace

bool AttachApplication() {
#ifdef GNUSTEP
  if (NSApp == nil) RegisterGuestDefaults();
#endif
  NSApplication* application = [NSApplication sharedApplication];
  id delegate = [application delegate];
  if (delegate != nil) return ![delegate isKindOfClass:[ZebApplicationDelegate class]];
  // Made once and kept for the life of the process, as the application is.
  [application setDelegate:(id)[[ZebApplicationDelegate alloc] init]];
  return false;
}

}  // namespace zeb::platform
