#import "platform/appkit/appkit_toolkit.h"

#include <algorithm>
#include <chrono>

#import "platform/appkit/appkit_alert.h"
#import "platform/appkit/appkit_bitmap.h"
#import "platform/appkit/appkit_controls.h"
#import "platform/appkit/appkit_event.h"
#import "platform/appkit/appkit_file_panel.h"
#import "platform/appkit/appkit_fonts.h"
#import "platform/appkit/appkit_gnustep_focus.h"
#import "platform/appkit/appkit_guest.h"
#import "platform/appkit/appkit_pasteboard.h"
#import "platform/appkit/appkit_screen.h"
#import "platform/appkit/appkit_text_view.h"
#import "platform/appkit/appkit_view.h"
#include "platform/closed_windows.h"

namespace zeb::platform {
namespace {

SEL SelectorOf(EditingAction action) {
  switch (action) {
    case EditingAction::Cut: return @selector(cut:);
    case EditingAction::Copy: return @selector(copy:);
    case EditingAction::Paste: return @selector(paste:);
    case EditingAction::Undo: return @selector(undo:);
    case EditingAction::Redo: return @selector(redo:);
    case EditingAction::SelectAll: return @selector(selectAll:);
  }
  return nullptr;
}

NSDate* DateOf(Deadline until) {
  if (until == Deadline::max()) return [NSDate distantFuture];
  const auto left = std::chrono::duration<double>(until - Clock::now()).count();
  return [NSDate dateWithTimeIntervalSinceNow:std::max(left, 0.0)];
}

// finishLaunching is sent once in the process, whichever toolkit object asks.
bool launched = false;

}  // namespace

AppKitToolkit::AppKitToolkit(bool hostOwnsApplication)
    : hostOwnsApplication_(hostOwnsApplication), pasteboard_(std::make_unique<AppKitPasteboard>()) {}

AppKitToolkit::~AppKitToolkit() {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  colorPanel_.reset();
  windows_.clear();
  closed_.clear();
  [pool release];
}

Capabilities AppKitToolkit::capabilities() const {
  Capabilities can;
  can.windows = true;
#ifdef GNUSTEP
  // A window manager's maximise request changes nothing on GNUstep's windows.
  can.zoom = false;
#else
  can.zoom = true;
#endif
  can.miniaturize = true;
  can.clickFocusesButtons = false;
#ifdef GNUSTEP
  // GNUstep's file manager has no name for bytes that are not UTF-8 (its listing
  // of a folder ends at such a name), so neither have its panels.
  can.nonUTF8FileNames = false;
#endif
  return can;
}

Window* AppKitToolkit::KeyWindow() const { return WindowOf([NSApp keyWindow]); }

// Launching is the host's when it owns the application. The process's arguments
// are not documents of the library's: its application delegate opens none.
void AppKitToolkit::FinishLaunching() {
  if (hostOwnsApplication_ || launched) return;
  launched = true;
  const GuestOfHost guest;
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  [NSApp finishLaunching];
  [pool release];
}

std::unique_ptr<ToolkitEvent> AppKitToolkit::NextEvent(Deadline until) {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  NSEvent* event = [NSApp nextEventMatchingMask:NSEventMaskAny untilDate:DateOf(until) inMode:NSDefaultRunLoopMode dequeue:YES];
  std::unique_ptr<ToolkitEvent> taken = event != nil ? std::make_unique<AppKitEvent>(event) : nullptr;
  [pool release];
  return taken;
}

bool AppKitToolkit::HasPendingEvent() {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  const bool pending = [NSApp nextEventMatchingMask:NSEventMaskAny
                                          untilDate:[NSDate distantPast]
                                             inMode:NSDefaultRunLoopMode
                                            dequeue:NO] != nil;
  [pool release];
  return pending;
}

void AppKitToolkit::PostWakeUpEvent() {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  [NSApp postEvent:MakeWakeUpEvent() atStart:YES];
  [pool release];
}

void AppKitToolkit::SendEvent(const ToolkitEvent& toolkitEvent) {
  const auto* event = dynamic_cast<const AppKitEvent*>(&toolkitEvent);
  if (event == nullptr || event->Kind() == EventKind::WakeUp) return;
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  if (event->Kind() == EventKind::KeyDown) {
    if (AppKitWindow* window = WindowOf([event->event() window])) window->CountKeyEvent();
  }
  [NSApp sendEvent:event->event()];
  [pool release];
}

bool AppKitToolkit::SendAction(EditingAction action) {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  const bool performed = [NSApp sendAction:SelectorOf(action) to:nil from:NSApp];
  [pool release];
  return performed;
}

void AppKitToolkit::UpdateWindows() {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  [NSApp updateWindows];
  [pool release];
}

std::optional<Rect> AppKitToolkit::MainScreenFrame() const {
  NSScreen* screen = PrimaryScreen();
  if (screen == nil) return std::nullopt;
  return FromAppKitRect([screen frame]);
}

FrameExtents AppKitToolkit::ExtentsForStyle(uint32_t style) const {
  const NSRect content = NSMakeRect(0, 0, 100, 100);
  const NSRect frame = [NSWindow frameRectForContentRect:content styleMask:StyleMaskOf(style)];
  return {NSMinX(content) - NSMinX(frame), NSMaxY(frame) - NSMaxY(content), NSMaxX(frame) - NSMaxX(content),
          NSMinY(content) - NSMinY(frame)};
}

Window* AppKitToolkit::CreateWindow(const Rect& content, uint32_t style) {
  if (PrimaryScreen() == nil) return nullptr;
#ifdef GNUSTEP
  // GNUstep's application keeps track of its key window only once it has
  // launched: windows made key before then all stayed key.
  FinishLaunching();
#endif
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  windows_.push_back(std::make_unique<AppKitWindow>(*this, content, style));
  [pool release];
  return windows_.back().get();
}

std::unique_ptr<View> AppKitToolkit::CreateView(std::unique_ptr<ViewDelegate> delegate) {
  return MakeFlippedView(std::move(delegate));
}

std::unique_ptr<TextField> AppKitToolkit::CreateTextField(bool secure) {
  return std::make_unique<AppKitTextField>(secure);
}

std::unique_ptr<Button> AppKitToolkit::CreateButton(ButtonType type, std::unique_ptr<ViewDelegate> delegate) {
  return std::make_unique<AppKitButton>(type, std::move(delegate));
}

std::unique_ptr<Label> AppKitToolkit::CreateLabel() { return std::make_unique<AppKitLabel>(); }

std::unique_ptr<TextView> AppKitToolkit::CreateTextView(std::unique_ptr<ViewDelegate> delegate) {
  return std::make_unique<AppKitTextView>(std::move(delegate));
}

std::unique_ptr<ScrollView> AppKitToolkit::CreateScrollView() { return std::make_unique<AppKitScrollView>(); }

SharedFont AppKitToolkit::FontWithFamily(const ToolkitString& family, uint32_t traits, double size) {
  return AppKitFontWithFamily(family, traits, size);
}

SharedFont AppKitToolkit::SystemFont(double size) { return AppKitSystemFont(size); }

Point AppKitToolkit::MouseLocation() const { return FromAppKitPoint([NSEvent mouseLocation]); }

int64_t AppKitToolkit::RunModal(Window& window) {
  auto* appKit = dynamic_cast<AppKitWindow*>(&window);
  if (appKit == nullptr) return 0;
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  // Shown key as the backend shows windows key, before the loop would show it.
  appKit->MakeKeyAndOrderFront();
  const NSModalResponse code = [NSApp runModalForWindow:appKit->nsWindow()];
  [pool release];
  return code;
}

// The modal loop sees the stop once it has handled an event: one is posted, for a
// stop that comes from a timer while the loop waits.
void AppKitToolkit::StopModal(int64_t code) {
  [NSApp stopModalWithCode:static_cast<NSModalResponse>(code)];
  PostWakeUpEvent();
}

int64_t AppKitToolkit::RunAlert(const ToolkitString& message, const ToolkitString& informative,
                                const std::vector<AlertButton>& buttons) {
#ifdef GNUSTEP
  // Before it has launched, GNUstep's application passes no key to the alert.
  FinishLaunching();
#endif
  return RunAppKitAlert(message, informative, buttons);
}

std::unique_ptr<Bitmap> AppKitToolkit::CreateBitmap(int width, int height) {
  return AppKitBitmap::Create(width, height);
}

ColorPanel* AppKitToolkit::SharedColorPanel() {
  if (PrimaryScreen() == nil) return nullptr;
#ifdef GNUSTEP
  // Before it has launched, GNUstep's application passes no key to a panel.
  FinishLaunching();
#endif
  if (colorPanel_ == nullptr) {
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    colorPanel_ = std::make_unique<AppKitColorPanel>(*this);
    [pool release];
  }
  return colorPanel_.get();
}

std::unique_ptr<FilePanel> AppKitToolkit::CreateFilePanel(FilePanelMode mode) {
  if (PrimaryScreen() == nil) return nullptr;
#ifdef GNUSTEP
  FinishLaunching();
#endif
  return std::make_unique<AppKitFilePanel>(mode);
}

AppKitWindow* AppKitToolkit::WindowOf(NSWindow* window) const {
  if (window == nil) return nullptr;
  const auto found = std::find_if(windows_.begin(), windows_.end(),
                                  [window](const auto& open) { return open->nsWindow() == window; });
  return found != windows_.end() ? found->get() : nullptr;
}

void AppKitToolkit::WindowClosed(AppKitWindow* window) { SetClosedWindowAside(windows_, closed_, window); }

}  // namespace zeb::platform
