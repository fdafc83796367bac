#import "platform/appkit/appkit_backend.h"

#ifdef GNUSTEP
#include <X11/Xlib.h>

#include <cstdlib>
#else
#import <CoreGraphics/CoreGraphics.h>
#endif

#import "platform/appkit/appkit_application.h"
#import "platform/appkit/appkit_guest.h"
#import "platform/appkit/appkit_toolkit.h"

namespace zeb::platform {
namespace {

#ifdef GNUSTEP
// GNUstep's X back end prints and raises when it cannot open the display; Xlib
// answers quietly.
bool WindowServerReachable() {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == 0) return false;
  Display* probe = XOpenDisplay(nullptr);
  if (probe == nullptr) return false;
  XCloseDisplay(probe);
  return true;
}
#else
// A login session with a window server (not an ssh session or a daemon's).
bool WindowServerReachable() {
  CFDictionaryRef session = CGSessionCopyCurrentDictionary();
  if (session == nullptr) return false;
  CFRelease(session);
  return true;
}
#endif

}  // namespace

std::unique_ptr<Toolkit> ConnectAppKitToolkit() {
  if (!WindowServerReachable()) return nullptr;
  const GuestOfHost guest;
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  const bool hostOwns = AttachApplication();
  [pool release];
  return std::make_unique<AppKitToolkit>(hostOwns);
}

}  // namespace zeb::platform
