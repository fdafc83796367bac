#import "platform/autorelease_scope.h"

#import "platform/appkit/appkit_compat.h"
#include "platform/toolkit.h"

namespace zeb::platform {

// Another thread's calls reach no AppKit object, so they need no pool.
AutoreleaseScope::AutoreleaseScope() : pool_(OnToolkitThread() ? [[NSAutoreleasePool alloc] init] : nullptr) {}

AutoreleaseScope::~AutoreleaseScope() { [static_cast<NSAutoreleasePool*>(pool_) release]; }

}  // namespace zeb::platform
