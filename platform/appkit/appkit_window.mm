#import "platform/appkit/appkit_window.h"

#import "platform/appkit/appkit_controls.h"
#import "platform/appkit/appkit_gnustep_focus.h"
#import "platform/appkit/appkit_screen.h"
#import "platform/appkit/appkit_strings.h"
#import "platform/appkit/appkit_toolkit.h"
#import "platform/appkit/appkit_view.h"

using zeb::platform::AppKitWindow;
using zeb::platform::WindowDelegate;

// The NSWindow's delegate: AppKit's notifications, passed on to the window's
// WindowDelegate while it has one.
@interface ZebWindowObserver : NSObject {
  AppKitWindow* window_;
}
- (instancetype)initWithWindow:(AppKitWindow*)window;
// The window is going: nothing more is passed on to it.
- (void)forgetWindow;
@end

@implementation ZebWindowObserver

- (instancetype)initWithWindow:(AppKitWindow*)window {
  if ((self = [super init]) != nil) window_ = window;
  return self;
}

- (void)forgetWindow {
  window_ = nullptr;
}

- (WindowDelegate*)delegate {
  return window_ != nullptr ? window_->Delegate() : nullptr;
}

- (BOOL)windowShouldClose:(id)sender {
  WindowDelegate* delegate = [self delegate];
  return delegate == nullptr || delegate->WindowShouldClose();
}

- (void)windowWillClose:(NSNotification*)notification {
  AppKitWindow* window = window_;
  window_ = nullptr;
  if (window != nullptr) window->WillClose();
}

- (void)windowDidResize:(NSNotification*)notification {
  if (WindowDelegate* delegate = [self delegate]) delegate->WindowDidResize();
}

- (void)windowDidMove:(NSNotification*)notification {
  if (WindowDelegate* delegate = [self delegate]) delegate->WindowDidMove();
}

- (void)windowDidBecomeKey:(NSNotification*)notification {
  if (WindowDelegate* delegate = [self delegate]) delegate->WindowDidBecomeKey();
}

- (void)windowDidResignKey:(NSNotification*)notification {
  if (WindowDelegate* delegate = [self delegate]) delegate->WindowDidResignKey();
}

- (void)windowDidMiniaturize:(NSNotification*)notification {
  if (WindowDelegate* delegate = [self delegate]) delegate->WindowDidMiniaturize();
}

- (void)windowDidDeminiaturize:(NSNotification*)notification {
  if (WindowDelegate* delegate = [self delegate]) delegate->WindowDidDeminiaturize();
}

- (BOOL)windowShouldZoom:(NSWindow*)window toFrame:(NSRect)frame {
  WindowDelegate* delegate = [self delegate];
  return delegate == nullptr || delegate->WindowShouldZoom(zeb::platform::FromAppKitRect(frame));
}

@end

// The backend's windows.
@interface ZebWindow : NSWindow
@end

@implementation ZebWindow

// The frame the runtime gives a window is the one it shows: AppKit would keep a
// titled window below the menu bar as it shows it.
- (NSRect)constrainFrameRect:(NSRect)frame toScreen:(NSScreen*)screen {
  return frame;
}

- (void)cancelOperation:(id)sender {
  zeb::platform::CancelModalWindow(self);
}

#ifdef GNUSTEP
// GNUstep offers every key to the window's key equivalents before its first
// responder, so a default button took Return from the text the user was editing;
// in AppKit a text view takes Return as a new line. Escape that no key equivalent
// took presses the close button of a modal window (see IsEscape).
- (BOOL)performKeyEquivalent:(NSEvent*)event {
  id responder = [self firstResponder];
  const NSUInteger modifiers =
      [event modifierFlags] & (NSEventModifierFlagCommand | NSEventModifierFlagControl | NSEventModifierFlagOption);
  if ([responder isKindOfClass:[NSTextView class]] && [responder isEditable] && ![responder isFieldEditor] &&
      modifiers == 0 && [[event charactersIgnoringModifiers] isEqualToString:@"\r"]) {
    return NO;
  }
  return [super performKeyEquivalent:event] || (zeb::platform::IsEscape(event) && zeb::platform::CancelModalWindow(self));
}

// GNUstep brings a window back from its miniwindow (a double click on it, or the
// window manager's focus) without the notification that AppKit posts.
- (void)deminiaturize:(id)sender {
  const BOOL miniaturized = [self isMiniaturized];
  [super deminiaturize:sender];
  if (miniaturized && ![self isMiniaturized]) {
    [[NSNotificationCenter defaultCenter] postNotificationName:NSWindowDidDeminiaturizeNotification object:self];
  }
}

// Control-Tab and Control-Shift-Tab move the keyboard focus along the loop of key
// views, which AppKit makes for a window that has none; GNUstep makes it only for a
// window that becomes key with nothing focused (GetText's window focuses its editor
// first), and the focus stayed where it was.
- (void)selectNextKeyView:(id)sender {
  [self makeKeyViewLoopIfNone];
  [super selectNextKeyView:sender];
}

- (void)selectPreviousKeyView:(id)sender {
  [self makeKeyViewLoopIfNone];
  [super selectPreviousKeyView:sender];
}

- (void)makeKeyViewLoopIfNone {
  id focused = [self firstResponder];
  if ([focused isKindOfClass:[NSView class]] && [focused nextValidKeyView] == nil) {
    [self recalculateKeyViewLoop];
  }
}

// GNUstep's text views insert the characters of a key typed with Command, which a
// Mac's never do: such a key passes them by (the function keys still reach them).
- (void)sendEvent:(NSEvent*)event {
  if ([event type] == NSEventTypeKeyDown && ([event modifierFlags] & NSEventModifierFlagCommand) != 0 &&
      [[self firstResponder] isKindOfClass:[NSText class]]) {
    NSString* characters = [event characters];
    if ([characters length] > 0 && [characters characterAtIndex:0] < 0xF700) return;
  }
  [super sendEvent:event];
}
#endif

@end

namespace zeb::platform {

NSUInteger StyleMaskOf(uint32_t style) {
  NSUInteger mask = NSWindowStyleMaskBorderless;
  if ((style & StyleTitled) != 0) mask |= NSWindowStyleMaskTitled;
  if ((style & StyleClosable) != 0) mask |= NSWindowStyleMaskClosable;
  if ((style & StyleMiniaturizable) != 0) mask |= NSWindowStyleMaskMiniaturizable;
  if ((style & StyleResizable) != 0) mask |= NSWindowStyleMaskResizable;
  return mask;
}

bool CancelModalWindow(NSWindow* window) {
  if ([NSApp modalWindow] != window || ([window styleMask] & NSWindowStyleMaskClosable) == 0) return false;
  [window performClose:nil];
  return true;
}

#ifdef GNUSTEP
bool IsEscape(NSEvent* event) { return [[event charactersIgnoringModifiers] isEqualToString:@"\x1b"]; }
#endif

AppKitWindow::AppKitWindow(AppKitToolkit& toolkit, const Rect& content, uint32_t style)
    : toolkit_(toolkit), style_(style) {
  window_ = [[ZebWindow alloc] initWithContentRect:ToAppKitRect(content)
                                        styleMask:StyleMaskOf(style)
                                          backing:NSBackingStoreBuffered
                                            defer:NO];
  // The window stays until the toolkit releases it, whatever closes it.
  [window_ setReleasedWhenClosed:NO];
  observer_ = [[ZebWindowObserver alloc] initWithWindow:this];
  [window_ setDelegate:(id)observer_];
}

AppKitWindow::AppKitWindow(AppKitToolkit& toolkit, NSPanel* shared)
    : toolkit_(toolkit), window_([shared retain]), style_(StyleTitled), shared_(true) {
  if (([shared styleMask] & NSWindowStyleMaskClosable) != 0) style_ |= StyleClosable;
  if (([shared styleMask] & NSWindowStyleMaskMiniaturizable) != 0) style_ |= StyleMiniaturizable;
  if (([shared styleMask] & NSWindowStyleMaskResizable) != 0) style_ |= StyleResizable;
  observer_ = [[ZebWindowObserver alloc] initWithWindow:this];
  [window_ setDelegate:(id)observer_];
}

// A window destroyed open (with its toolkit) closes without telling anyone: its
// toolkit is letting go of it.
AppKitWindow::~AppKitWindow() {
  [observer_ forgetWindow];
  [window_ setDelegate:nil];
  if (!closed_) [window_ close];
  if (!shared_) [window_ setContentView:nil];
  content_.reset();
  [observer_ release];
  [window_ release];
}

void AppKitWindow::SetTitle(const ToolkitString& title) { [window_ setTitle:ToNSString(title)]; }

ToolkitString AppKitWindow::Title() const { return FromNSString([window_ title]); }

Rect AppKitWindow::Frame() const { return FromAppKitRect([window_ frame]); }

FrameExtents AppKitWindow::Extents() const {
  const NSRect frame = [window_ frame];
  const NSRect content = [window_ contentRectForFrameRect:frame];
  const double top = NSMaxY(frame) - NSMaxY(content);
  const double bottom = NSMinY(content) - NSMinY(frame);
  return {NSMinX(content) - NSMinX(frame), top, NSMaxX(frame) - NSMaxX(content), bottom};
}

void AppKitWindow::SetFrame(const Rect& frame) { [window_ setFrame:ToAppKitRect(frame) display:YES]; }

void AppKitWindow::SetContentView(std::unique_ptr<View> view) {
  auto* appKit = dynamic_cast<AppKitView*>(view.get());
  [window_ setContentView:appKit != nullptr ? appKit->nsView() : nil];
  content_ = appKit != nullptr ? std::move(view) : nullptr;
}

void AppKitWindow::MakeFirstResponder(View* view) {
  auto* appKit = dynamic_cast<AppKitView*>(view);
  [window_ makeFirstResponder:appKit != nullptr ? appKit->nsView() : nil];
}

void AppKitWindow::SetDefaultButton(Button* button) {
  auto* appKit = dynamic_cast<AppKitButton*>(button);
  [window_ setDefaultButtonCell:appKit != nullptr ? [appKit->nsButton() cell] : nil];
}

void AppKitWindow::OrderFront() { [window_ orderFront:nil]; }

void AppKitWindow::OrderOut() { [window_ orderOut:nil]; }

// A window manager that leaves the keyboard where it is as it maps the window
// (with the menu bar, say, which GNUstep gives the keyboard when no window is
// key) would leave it key without the keyboard.
void AppKitWindow::MakeKeyAndOrderFront() {
  [window_ makeKeyAndOrderFront:nil];
  SendTheIgnoredTakeFocus(window_);
  TakeFocusOnceShown(window_);
}

void AppKitWindow::MakeKey() { [window_ makeKeyWindow]; }

// In the middle of the main screen; AppKit's own centring sits a little high.
void AppKitWindow::Center() {
  NSScreen* screen = PrimaryScreen();
  if (screen == nil) return;
  const NSRect area = [screen frame];
  NSRect frame = [window_ frame];
  frame.origin.x = NSMidX(area) - frame.size.width / 2;
  frame.origin.y = NSMidY(area) - frame.size.height / 2;
  [window_ setFrame:frame display:YES];
}

void AppKitWindow::Zoom() { [window_ zoom:nil]; }

void AppKitWindow::Miniaturize() { [window_ miniaturize:nil]; }

void AppKitWindow::Close() {
  if (!closed_) [window_ close];
}

bool AppKitWindow::IsVisible() const { return [window_ isVisible]; }

bool AppKitWindow::IsZoomed() const { return [window_ isZoomed]; }

bool AppKitWindow::IsMiniaturized() const { return [window_ isMiniaturized]; }

void AppKitWindow::SetLevel(WindowLevel level) {
  level_ = level;
  [window_ setLevel:level == WindowLevel::Floating ? NSFloatingWindowLevel : NSNormalWindowLevel];
}

void AppKitWindow::AddChildWindow(Window* child) {
  if (auto* appKit = dynamic_cast<AppKitWindow*>(child)) [window_ addChildWindow:appKit->window_ ordered:NSWindowAbove];
}

void AppKitWindow::RemoveChildWindow(Window* child) {
  if (auto* appKit = dynamic_cast<AppKitWindow*>(child)) [window_ removeChildWindow:appKit->window_];
}

void AppKitWindow::WillClose() {
  if (shared_) return;
  closed_ = true;
  WindowDelegate* delegate = delegate_;
  delegate_ = nullptr;
  if (delegate != nullptr) delegate->WindowWillClose();
  toolkit_.WindowClosed(this);
}

}  // namespace zeb::platform
