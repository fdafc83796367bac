// The AppKit backend's menus: the main menu, the application's menu bar, and the
// tracking of a pop-up menu.
#import "platform/appkit/appkit_gnustep_focus.h"
#import "platform/appkit/appkit_menus.h"
#import "platform/appkit/appkit_screen.h"
#import "platform/appkit/appkit_toolkit.h"

#ifdef GNUSTEP
#import <GNUstepGUI/GSDisplayServer.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

// GNUstep's pop-up menus tracked as a Mac's. GNUstep opens a context menu under
// the pointer, and its tracking reads the mouse alone: keys go to the key window,
// which a pop-up never is (GNUstep drops them when there is none), so Escape left
// the menu up. Here the menu opens at the point asked for, and while it is up the
// keyboard is held on a display connection of its own, where Escape cancels it and
// the arrows and Return choose as on a Mac.

namespace {

constexpr NSTimeInterval kKeyPoll = 0.02;

}  // namespace

// What happens while a pop-up is tracked: Escape cancels it, Down and Up move
// the highlight over the items that can be chosen, Return ends the tracking with
// the highlighted item picked, and a choice is noted.
@interface ZebPopUpWatch : NSObject {
  NSMenu* menu_;
  Display* keyboard_;
  NSTimer* timer_;
  NSInteger highlighted_;
  NSInteger picked_;
  BOOL chosen_;
}
- (instancetype)initWithMenu:(NSMenu*)menu;
- (NSInteger)picked;
- (BOOL)chosen;
- (void)stop;
@end

@implementation ZebPopUpWatch

- (instancetype)initWithMenu:(NSMenu*)menu {
  if ((self = [super init]) == nil) return nil;
  menu_ = menu;
  highlighted_ = -1;
  picked_ = -1;
  [[NSNotificationCenter defaultCenter] addObserver:self
                                           selector:@selector(actionSent:)
                                               name:NSMenuDidSendActionNotification
                                             object:menu];
  auto* shown = static_cast<Display*>([GSCurrentServer() serverDevice]);
  keyboard_ = shown != nullptr ? XOpenDisplay(DisplayString(shown)) : nullptr;
  if (keyboard_ == nullptr) return self;
  XGrabKeyboard(keyboard_, DefaultRootWindow(keyboard_), False, GrabModeAsync, GrabModeAsync, CurrentTime);
  timer_ = [NSTimer timerWithTimeInterval:kKeyPoll target:self selector:@selector(readKeys:) userInfo:nil repeats:YES];
  [[NSRunLoop currentRunLoop] addTimer:timer_ forMode:NSEventTrackingRunLoopMode];
  return self;
}

- (void)actionSent:(NSNotification*)notification {
  chosen_ = YES;
}

- (void)readKeys:(NSTimer*)timer {
  while (XPending(keyboard_) > 0) {
    XEvent event;
    XNextEvent(keyboard_, &event);
    if (event.type != KeyPress) continue;
    const KeySym key = XLookupKeysym(&event.xkey, 0);
    if (key == XK_Down || key == XK_Up) [self moveHighlight:key == XK_Down ? 1 : -1];
    if (key == XK_Return || key == XK_KP_Enter) picked_ = highlighted_;
    if (key == XK_Escape || key == XK_Return || key == XK_KP_Enter) [menu_ cancelTracking];
  }
}

// The next item that can be chosen in that direction, from the one the keys
// highlighted last (from the ends when none is); the highlight stays at the last
// one. The keys keep their own count: the tracking highlights what is under the
// pointer as it goes.
- (void)moveHighlight:(NSInteger)step {
  const NSInteger count = [menu_ numberOfItems];
  NSInteger index = highlighted_ < 0 ? (step > 0 ? -1 : count) : highlighted_;
  for (index += step; index >= 0 && index < count; index += step) {
    NSMenuItem* item = [menu_ itemAtIndex:index];
    if (![item isSeparatorItem] && [item isEnabled]) {
      highlighted_ = index;
      [[menu_ menuRepresentation] setHighlightedItemIndex:index];
      return;
    }
  }
}

- (NSInteger)picked {
  return picked_;
}

- (BOOL)chosen {
  return chosen_;
}

- (void)stop {
  [[NSNotificationCenter defaultCenter] removeObserver:self];
  [timer_ invalidate];
  timer_ = nil;
  if (keyboard_ != nullptr) XCloseDisplay(keyboard_);
  keyboard_ = nullptr;
}

@end

@implementation NSMenu (ZebMacTracking)

// As GNUstep's context menus are tracked (GSTheme's rightMouseDisplay:), from a
// press of the left button that the pointer's position stands behind.
- (BOOL)popUpMenuPositioningItem:(NSMenuItem*)item atLocation:(NSPoint)location inView:(NSView*)view {
  [self displayTransient];
  NSWindow* window = [self window];
  // GNUstep hides its panels, menus among them, as the application loses the
  // keyboard (closing the last key window does that), but tracks on.
  [window setHidesOnDeactivate:NO];
  [self nestedSetFrameOrigin:NSMakePoint(location.x, location.y - NSHeight([window frame]))];
  // GNUstep holds the pointer for the tracking (so that a click outside reaches
  // the menu) only once the window manager has mapped the menu's window.
  zeb::platform::WaitUntilMapped(window);
  NSEvent* press = [NSEvent mouseEventWithType:NSEventTypeLeftMouseDown
                                      location:[window mouseLocationOutsideOfEventStream]
                                 modifierFlags:0
                                     timestamp:0
                                  windowNumber:[window windowNumber]
                                       context:nil
                                   eventNumber:0
                                    clickCount:1
                                      pressure:1];
  ZebPopUpWatch* watch = [[ZebPopUpWatch alloc] initWithMenu:self];
  [[self menuRepresentation] mouseDown:press];
  if ([watch picked] >= 0) [self performActionForItemAtIndex:[watch picked]];
  [watch stop];
  const BOOL chosen = [watch chosen];
  [watch release];
  if ([self isTransient]) [self closeTransient];
  return chosen;
}

// The tracking ends at the next release of the button, with no item highlighted.
- (void)cancelTracking {
  if (![self isTransient]) return;
  [[self menuRepresentation] setHighlightedItemIndex:-1];
  NSEvent* release = [NSEvent mouseEventWithType:NSEventTypeLeftMouseUp
                                        location:NSZeroPoint
                                   modifierFlags:0
                                       timestamp:0
                                    windowNumber:[[self window] windowNumber]
                                         context:nil
                                     eventNumber:0
                                      clickCount:1
                                        pressure:0];
  [NSApp postEvent:release atStart:YES];
}

@end
#endif

namespace zeb::platform {

std::shared_ptr<Menu> AppKitToolkit::CreateMenu(const ToolkitString& title) {
  return std::make_shared<AppKitMenu>(title);
}

std::shared_ptr<Menu> AppKitToolkit::CreateMenuBar() { return std::make_shared<AppKitMenu>(u""); }

std::unique_ptr<MenuItem> AppKitToolkit::CreateMenuItem(const ToolkitString& title, const ToolkitString& key,
                                                        uint32_t modifiers) {
  return std::make_unique<AppKitMenuItem>(false, title, key, modifiers);
}

std::unique_ptr<MenuItem> AppKitToolkit::CreateSeparatorItem() {
  return std::make_unique<AppKitMenuItem>(true, u"", u"", 0);
}

// The bar shows along the top of the screen whichever window is key.
void AppKitToolkit::SetMainMenu(std::shared_ptr<Menu> bar, Window*) {
  auto* appKit = dynamic_cast<AppKitMenu*>(bar.get());
  NSMenu* shown = appKit != nullptr ? appKit->nsMenu() : nil;
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
#ifdef GNUSTEP
  // GNUstep leaves the bar it replaces on the screen.
  if ([NSApp mainMenu] != shown) [[NSApp mainMenu] close];
#endif
  [NSApp setMainMenu:shown];
  [pool release];
  mainMenu_ = appKit != nullptr ? std::move(bar) : nullptr;
}

// The menu's top-left corner at the point; the tracking returns once the menu has
// closed, after the chosen item's action.
void AppKitToolkit::PopUpContextMenu(Menu& menu, Point screenPoint) {
  auto* appKit = dynamic_cast<AppKitMenu*>(&menu);
  if (appKit == nullptr || popUp_ != nil || PrimaryScreen() == nil) return;
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  popUp_ = appKit->nsMenu();
  [popUp_ popUpMenuPositioningItem:nil atLocation:ToAppKitPoint(screenPoint) inView:nil];
  popUp_ = nil;
  [pool release];
}

}  // namespace zeb::platform
