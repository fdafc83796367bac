#import "platform/appkit/appkit_automation.h"

#import "platform/appkit/appkit_backend.h"

#ifdef GNUSTEP
#import <GNUstepGUI/GSDisplayServer.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <thread>
#include <utility>

#import "platform/appkit/appkit_bitmap.h"
#import "platform/appkit/appkit_event.h"
#import "platform/appkit/appkit_menus.h"
#import "platform/appkit/appkit_screen.h"
#import "platform/appkit/appkit_file_panel_automation.h"
#import "platform/appkit/appkit_strings.h"
#import "platform/appkit/appkit_toolkit.h"
#import "platform/appkit/appkit_view.h"
#include "platform/xtest_keys.h"

// Calls a function each time its repeating timer fires, in every mode the
// application's loops run in (its own loop, a modal loop, button tracking).
@interface ZebTimerCall : NSObject {
  std::function<bool()> call_;
  NSTimer* timer_;
}
// The timer repeats while the call answers true.
- (instancetype)initWithInterval:(NSTimeInterval)interval call:(std::function<bool()>)call;
- (void)stop;
@end

@implementation ZebTimerCall

- (instancetype)initWithInterval:(NSTimeInterval)interval call:(std::function<bool()>)call {
  if ((self = [super init]) == nil) return nil;
  call_ = std::move(call);
  timer_ = [[NSTimer timerWithTimeInterval:interval target:self selector:@selector(fire:) userInfo:nil repeats:YES] retain];
  for (NSString* mode : {NSDefaultRunLoopMode, NSModalPanelRunLoopMode, NSEventTrackingRunLoopMode}) {
    [[NSRunLoop currentRunLoop] addTimer:timer_ forMode:mode];
  }
  return self;
}

- (void)fire:(NSTimer*)timer {
  if (!call_()) [self stop];
}

- (void)stop {
  [timer_ invalidate];
  [timer_ release];
  timer_ = nil;
  call_ = nullptr;
}

- (void)dealloc {
  [self stop];
  [super dealloc];
}

@end

// The source of the drags the tests play: pressed, it drags what the drag
// pasteboard holds and allows the operations it is given.
@interface ZebDragSourceView : NSView {
  NSDragOperation operations_;
}
- (void)setOperations:(NSDragOperation)operations;
@end

@implementation ZebDragSourceView

- (void)setOperations:(NSDragOperation)operations {
  operations_ = operations;
}

- (BOOL)acceptsFirstMouse:(NSEvent*)event {
  return YES;
}

- (NSDragOperation)draggingSourceOperationMaskForLocal:(BOOL)isLocal {
  return operations_;
}

- (void)mouseDown:(NSEvent*)event {
  NSImage* image = [[[NSImage alloc] initWithSize:NSMakeSize(16, 16)] autorelease];
  [self dragImage:image
               at:[self convertPoint:[event locationInWindow] fromView:nil]
           offset:NSZeroSize
            event:event
       pasteboard:[NSPasteboard pasteboardWithName:NSDragPboard]
           source:self
        slideBack:NO];
}

@end

namespace zeb::platform {
namespace {

constexpr long kSourcePager = 2;
constexpr long kToggle = 2;
constexpr long kGravityNorthWest = 1;
constexpr long kMoveX = 1L << 8;
constexpr long kMoveY = 1L << 9;
// GNUstep's button tracking misses a release that comes with its press; a click
// holds the button a moment, and clicks of separate calls wait out the double-click
// time so that they do not join.
constexpr auto kButtonHeld = std::chrono::milliseconds(150);
constexpr auto kBetweenClicks = std::chrono::milliseconds(50);
constexpr auto kSeparateClicks = std::chrono::milliseconds(600);
constexpr auto kWindowManagerWait = std::chrono::seconds(3);
// How often the test's answer looks for its modal window, how many looks it waits
// for that window to take the keyboard before answering anyway, and how long a
// modal window may stay up after the answer.
constexpr NSTimeInterval kModalPoll = 0.03;
constexpr int kPollsBeforeAnswering = 100;
constexpr int kFocusedPolls = 5;
// How long a dialog's key is held, and the time between keys.
constexpr auto kKeyHeld = std::chrono::milliseconds(40);
constexpr auto kBetweenKeys = std::chrono::milliseconds(10);
constexpr NSTimeInterval kInputTick = 0.005;
constexpr NSTimeInterval kForgottenModal = 5;
// A pop-up is answered once it has shown a few polls (its items drawn); a click on
// a menu's item waits for the menu to highlight the item under the pointer, and
// the menu bar's submenu to open under its title.
constexpr int kPopUpPolls = 4;
constexpr auto kPointerSettles = std::chrono::milliseconds(100);
constexpr auto kSubmenuOpens = std::chrono::milliseconds(300);
constexpr auto kPasteboardWait = std::chrono::seconds(5);
// A script's first step waits longer for its window (a large text takes a while to
// show); each next one waits until the input before has been sent and the loop
// has had a quiet moment to handle it.
constexpr int kPollsBeforeFirstStep = 400;
constexpr auto kQuiet = std::chrono::milliseconds(300);
// Drop's source window, out of the way in the top-left corner of the screen, and
// how far apart the phases of a drag are.
constexpr int kDragSourceSide = 60;
constexpr int kDragSourceOffset = 10;
constexpr auto kDragPhase = std::chrono::milliseconds(80);
// How long a pop-up menu is held down before the pointer moves to the item, and
// how long choosing an item may take.
constexpr auto kMenuOpens = std::chrono::milliseconds(300);
constexpr auto kMenuTimeLimit = std::chrono::seconds(3);


// GNUstep makes Alt the Command key; the tests press Control for Command, as on GTK.
// Read once, when the back end starts, so set before the application exists.
void RegisterTestKeys() {
  NSDictionary* keys = [NSDictionary dictionaryWithObjectsAndKeys:@"Control_L", @"GSFirstCommandKey", @"Super_L",
                                                                  @"GSFirstControlKey", @"Alt_L", @"GSFirstAlternateKey", nil];
  [[NSUserDefaults standardUserDefaults] registerDefaults:keys];
}

// Puts the contents on the drag pasteboard, each kind in the type AppKit gives it.
void OfferForDragging(const DragContents& contents) {
  NSPasteboard* pasteboard = [NSPasteboard pasteboardWithName:NSDragPboard];
  NSMutableArray* types = [NSMutableArray array];
  if (contents.image) [types addObject:NSPasteboardTypeTIFF];
  if (contents.files) [types addObject:NSFilenamesPboardType];
  if (contents.text) [types addObject:NSPasteboardTypeString];
  [pasteboard declareTypes:types owner:nil];
  if (contents.image) [pasteboard setData:TIFFOf(*contents.image) forType:NSPasteboardTypeTIFF];
  if (contents.files) {
    NSMutableArray* paths = [NSMutableArray array];
    for (const ToolkitString& path : *contents.files) [paths addObject:ToNSString(path)];
    [pasteboard setPropertyList:paths forType:NSFilenamesPboardType];
  }
  if (contents.text) [pasteboard setString:ToNSString(*contents.text) forType:NSPasteboardTypeString];
}

class AppKitAutomation : public Automation {
 public:
  AppKitAutomation(Display* display, AppKitToolkit& toolkit) : display_(display), toolkit_(toolkit) {}
  ~AppKitAutomation() override {
    StopTimers();
    [dragSource_ close];
    [dragSource_ release];
    steps_.clear();
    for (ZebTimerCall* timer : {stepper_, forgotten_}) {
      [timer stop];
      [timer release];
    }
    XCloseDisplay(display_);
  }

  void PressCloseButton(Window* window) override {
    SendToWindowManager(XidOf(window), "_NET_CLOSE_WINDOW", CurrentTime, kSourcePager);
  }
  void PressZoomButton(Window* window) override {
    SendToWindowManager(XidOf(window), "_NET_WM_STATE", kToggle, Atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                        Atom("_NET_WM_STATE_MAXIMIZED_HORZ"), kSourcePager);
  }
  void Miniaturize(Window* window) override {
    XIconifyWindow(display_, XidOf(window), DefaultScreen(display_));
    XFlush(display_);
  }
  // GNUstep shows a miniaturised window as a miniwindow of its own, which a double
  // click brings back.
  void Deminiaturize(Window* window) override {
    auto* appKit = dynamic_cast<AppKitWindow*>(window);
    NSWindow* mini = appKit != nullptr ? [appKit->nsWindow() counterpart] : nil;
    if (mini == nil || !WaitUntilViewable(XidOf(mini))) return;
    ClickInside(XidOf(mini), {NSWidth([mini frame]) / 2, NSHeight([mini frame]) / 2}, 2, MouseButton::Left);
  }
  void ResizeContent(Window* window, Size content) override {
    XResizeWindow(display_, XidOf(window), static_cast<unsigned>(content.width), static_cast<unsigned>(content.height));
    XFlush(display_);
  }
  void MoveFrame(Window* window, Point origin) override {
    SendToWindowManager(XidOf(window), "_NET_MOVERESIZE_WINDOW", kGravityNorthWest | kMoveX | kMoveY | (kSourcePager << 12),
                        static_cast<long>(origin.x), static_cast<long>(origin.y));
  }
  void Activate(Window* window) override {
    SendToWindowManager(XidOf(window), "_NET_ACTIVE_WINDOW", kSourcePager, CurrentTime);
  }
  void Click(Window* window, Point contentPoint, int clicks, MouseButton button) override;
  void PressKey(char16_t key, uint32_t modifiers) override;
  Rect ShownFrame(View* view) override;
  int64_t KeyEventsDelivered(Window* window) override {
    auto* appKit = dynamic_cast<AppKitWindow*>(window);
    return appKit != nullptr ? appKit->keyEventsDelivered() : 0;
  }
  int64_t WatchdogEndings() const override { return watchdogEndings_; }

  void WhenModal(std::function<void()> user) override;
  void WhenKey(std::vector<std::function<void()>> steps) override;
  ModalContents ModalWindowContents() override;
  void PressButton(const ToolkitString& title) override;
  // Each key is held a moment while the loop runs, as a user holds it: GNUstep
  // reads a press whose release is already waiting as a press never released (a
  // button it presses stays pressed, its action unsent).
  void TypeText(const ToolkitString& text) override {
    for (const char16_t character : text) {
      Queue([this, character] { SendKey(character, true); }, kKeyHeld);
      Queue([this, character] { SendKey(character, false); }, kBetweenKeys);
    }
  }
  // The modal window, when it is a file panel.
  static NSSavePanel* FilePanelShown() {
    NSWindow* modal = [NSApp modalWindow];
    return [modal isKindOfClass:[NSSavePanel class]] ? (NSSavePanel*)modal : nil;
  }
  void CloseModalWindow() override {
    NSWindow* modal = [NSApp modalWindow];
    if (modal != nil) SendToWindowManager(XidOf(modal), "_NET_CLOSE_WINDOW", CurrentTime, kSourcePager);
  }

  void CopyImageElsewhere() override;
  void WhenPopUp(std::function<void()> user) override;
  std::vector<MenuEntry> PopUpEntries() override;
  Point PopUpOrigin() override;
  void ChoosePopUpItem(const ToolkitString& title) override;
  void DismissPopUp(bool withEscape) override;
  void ChooseMenuItem(const ToolkitString& menu, const ToolkitString& item) override;
  void Drop(Window* window, Point contentPoint, DragContents contents, uint32_t operations) override;
  void MovePointer(Point screenPoint) override {
    XTestFakeMotionEvent(display_, -1, static_cast<int>(screenPoint.x), static_cast<int>(screenPoint.y), CurrentTime);
    XFlush(display_);
  }
  // The user picks the colour in the panel's picker.
  void PickColor(const ColorComponents& color) override {
    if (![NSColorPanel sharedColorPanelExists]) return;
    [[NSColorPanel sharedColorPanel] setColor:[NSColor colorWithDeviceRed:color.red green:color.green blue:color.blue
                                                                    alpha:color.alpha]];
  }
  // The files are selected in the panel's browser, then the confirm button clicked.
  void ChooseFiles(const std::vector<ToolkitString>& paths) override {
    NSSavePanel* panel = FilePanelShown();
    if (panel != nil) ClickView(SelectInFilePanel(panel, paths));
  }
  void ChooseFilter(const ToolkitString& description) override;

 private:
  long Atom(const char* name) { return static_cast<long>(XInternAtom(display_, name, False)); }
  // The X window GNUstep shows the window's content in.
  static ::Window XidOf(NSWindow* window) {
    return reinterpret_cast<::Window>([GSServerForWindow(window) windowDevice:[window windowNumber]]);
  }
  static ::Window XidOf(Window* window) {
    auto* appKit = dynamic_cast<AppKitWindow*>(window);
    return appKit != nullptr ? XidOf(appKit->nsWindow()) : 0;
  }
  // Whether the window manager shows the X window within a few seconds.
  bool WaitUntilViewable(::Window xid) {
    const auto giveUp = std::chrono::steady_clock::now() + kWindowManagerWait;
    XWindowAttributes attributes{};
    while (XGetWindowAttributes(display_, xid, &attributes) != 0 && attributes.map_state != IsViewable) {
      if (std::chrono::steady_clock::now() > giveUp) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return attributes.map_state == IsViewable;
  }
  // Clicks at a point of an X window.
  void ClickInside(::Window xid, Point point, int clicks, MouseButton button);
  // Where a point of a view shows on the screen.
  Point ScreenPoint(NSView* view, NSPoint point) {
    NSView* content = [[view window] contentView];
    NSPoint shown = [view convertPoint:point toView:content];
    if (![content isFlipped]) shown.y = NSHeight([content bounds]) - shown.y;
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display_, XidOf([view window]), DefaultRootWindow(display_), static_cast<int>(shown.x),
                          static_cast<int>(shown.y), &x, &y, &child);
    return {static_cast<double>(x), static_cast<double>(y)};
  }
  // Clicks the middle of the view while the loop runs.
  void ClickView(NSView* view);
  void SendToWindowManager(::Window xid, const char* message, long l0, long l1 = 0, long l2 = 0, long l3 = 0);
  void KeyStroke(KeySym keysym, bool down) { XTestKeyStroke(display_, keysym, down); }

  // The dialog's input: each step is sent once the loop runs and the one before
  // has been held its time.
  void Queue(std::function<void()> send, std::chrono::milliseconds hold) {
    input_.push_back({std::move(send), hold});
    if (inputRunning_) return;
    [inputTimer_ release];
    inputRunning_ = true;
    inputTimer_ = [[ZebTimerCall alloc] initWithInterval:kInputTick call:[this] { return SendQueuedInput(); }];
  }
  bool SendQueuedInput() {
    const auto now = std::chrono::steady_clock::now();
    if (now < nextInput_) return true;
    if (input_.empty()) {
      inputRunning_ = false;
      return false;
    }
    const InputStep step = std::move(input_.front());
    input_.pop_front();
    step.send();
    XFlush(display_);
    nextInput_ = now + step.hold;
    return true;
  }
  // A key of the dialog's text going down or up, with Shift for a capital or a
  // shifted symbol.
  void SendKey(char16_t key, bool down) {
    KeySym keysym = key;
    if (key == u'\r') keysym = XK_Return;
    if (key == u'\t') keysym = XK_Tab;
    if (key == u'\x1b') keysym = XK_Escape;
    const bool shifted = XTestNeedsShift(display_, keysym);
    if (shifted && down) KeyStroke(XK_Shift_L, true);
    KeyStroke(keysym, down);
    if (shifted && !down) KeyStroke(XK_Shift_L, false);
  }

  void StopTimers() {
    input_.clear();
    inputRunning_ = false;
    for (ZebTimerCall** timer : {&poll_, &watchdog_, &inputTimer_}) {
      [*timer stop];
      [*timer release];
      *timer = nil;
    }
  }
  bool PollForModal();
  bool PollForPopUp();
  // Clicks a menu's item as a user does, once the input before has been handled:
  // moves onto it, waits for the menu to follow, presses and holds.
  void QueueClickOnItem(NSMenu* menu, NSInteger index);
  // Where the item's middle shows on the screen, from its top-left.
  Point ItemCentre(NSMenu* menu, NSInteger index);
  void QueueClickAt(std::function<Point()> where);
  bool TakeNextStep();
  bool CloseForgottenWindow();
  // Whether the X server sends the keyboard's input to the window.
  bool HasInputFocus(NSWindow* window) {
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    return focus == XidOf(window);
  }
  // Ends the modal loop of the window while it runs.
  void EndForgottenModal(NSWindow* modal) {
    if ([NSApp modalWindow] != modal) return;
    ++watchdogEndings_;
    [NSApp stopModalWithCode:0];
    [NSApp postEvent:MakeWakeUpEvent() atStart:YES];
  }

  Display* display_;
  AppKitToolkit& toolkit_;
  std::chrono::steady_clock::time_point lastClick_{};
  std::function<void()> user_;
  int polls_ = 0;
  int focusedPolls_ = 0;
  ZebTimerCall* poll_ = nil;
  ZebTimerCall* watchdog_ = nil;
  int64_t watchdogEndings_ = 0;
  struct InputStep {
    std::function<void()> send;
    std::chrono::milliseconds hold;
  };
  std::deque<InputStep> input_;
  ZebTimerCall* inputTimer_ = nil;
  bool inputRunning_ = false;
  std::chrono::steady_clock::time_point nextInput_{};
  std::deque<std::function<void()>> steps_;
  ZebTimerCall* stepper_ = nil;
  int stepPolls_ = 0;
  std::chrono::steady_clock::time_point lastStep_{};
  ZebTimerCall* forgotten_ = nil;
  NSInteger watchedWindow_ = 0;
  NSWindow* dragSource_ = nil;
};

// Where the view shows in its window's content, from the top-left.
Rect FrameInContent(NSView* shown) {
  NSView* content = [[shown window] contentView];
  NSRect frame = [shown convertRect:[shown bounds] toView:content];
  if (![content isFlipped]) frame.origin.y = NSHeight([content bounds]) - NSMaxY(frame);
  return {frame.origin.x, frame.origin.y, frame.size.width, frame.size.height};
}

// Whether the view is a button that shows its title (an alert's icon is a button
// that shows only its image).
bool ShowsTitle(NSView* view) {
  if (![view isKindOfClass:[NSButton class]]) return false;
  NSButton* button = (NSButton*)view;
  return [[button title] length] > 0 && ([button image] == nil || [button imagePosition] != NSImageOnly);
}

// Every view inside the view, depth first, in the order they were added.
void VisitViews(NSView* view, const std::function<void(NSView*)>& visit) {
  for (NSView* subview in [view subviews]) {
    if ([subview isHiddenOrHasHiddenAncestor]) continue;
    visit(subview);
    VisitViews(subview, visit);
  }
}

// The input of the last answer goes on: a key that ended its dialog as it went
// down is still let go.
void AppKitAutomation::WhenModal(std::function<void()> user) {
  for (ZebTimerCall** timer : {&poll_, &watchdog_}) {
    [*timer stop];
    [*timer release];
    *timer = nil;
  }
  user_ = std::move(user);
  polls_ = 0;
  focusedPolls_ = 0;
  poll_ = [[ZebTimerCall alloc] initWithInterval:kModalPoll call:[this] { return PollForModal(); }];
}

// Answers once a modal window is up and key (or has been up a while without the
// keyboard), and ends that window's loop when it is still up a few seconds later.
bool AppKitAutomation::PollForModal() {
  // The answer may run the loop itself, which fires this timer again.
  if (!user_) return false;
  NSWindow* modal = [NSApp modalWindow];
  if (modal == nil) return true;
  focusedPolls_ = [modal isKeyWindow] && HasInputFocus(modal) ? focusedPolls_ + 1 : 0;
  if (focusedPolls_ < kFocusedPolls && ++polls_ < kPollsBeforeAnswering) return true;
  [watchdog_ stop];
  [watchdog_ release];
  watchdog_ = [[ZebTimerCall alloc] initWithInterval:kForgottenModal
                                                call:[this, modal] {
                                                  EndForgottenModal(modal);
                                                  return false;
                                                }];
  std::exchange(user_, nullptr)();
  return false;
}

void AppKitAutomation::WhenKey(std::vector<std::function<void()>> steps) {
  steps_.assign(steps.begin(), steps.end());
  stepPolls_ = 0;
  focusedPolls_ = 0;
  lastStep_ = {};
  if (stepper_ == nil) stepper_ = [[ZebTimerCall alloc] initWithInterval:kModalPoll call:[this] { return TakeNextStep(); }];
}

// The first step waits for a key window that has the keyboard; each next one until
// the input of the step before has been sent and the loop has been quiet a moment.
// After the last, the window the script was for has its close button pressed
// while it stays open and key.
bool AppKitAutomation::TakeNextStep() {
  const auto now = std::chrono::steady_clock::now();
  NSWindow* key = [NSApp keyWindow];
  if (lastStep_ == std::chrono::steady_clock::time_point{}) {
    focusedPolls_ = key != nil && HasInputFocus(key) ? focusedPolls_ + 1 : 0;
    if (focusedPolls_ < kFocusedPolls && ++stepPolls_ < kPollsBeforeFirstStep) return true;
  } else {
    XSync(display_, False);
    if (inputRunning_ || now - lastStep_ < kQuiet || now - nextInput_ < kQuiet) return true;
  }
  const std::function<void()> step = std::move(steps_.front());
  steps_.pop_front();
  lastStep_ = now;
  step();
  if (!steps_.empty()) return true;
  [stepper_ autorelease];
  stepper_ = nil;
  watchedWindow_ = [[NSApp keyWindow] windowNumber];
  [forgotten_ stop];
  [forgotten_ release];
  forgotten_ = [[ZebTimerCall alloc] initWithInterval:kForgottenModal call:[this] { return CloseForgottenWindow(); }];
  return false;
}

bool AppKitAutomation::CloseForgottenWindow() {
  NSWindow* watched = watchedWindow_ != 0 ? [NSApp windowWithWindowNumber:watchedWindow_] : nil;
  if (watched == nil || ![watched isVisible] || ([NSApp keyWindow] != watched && [NSApp keyWindow] != nil)) {
    watchedWindow_ = 0;
    return false;
  }
  ++watchdogEndings_;
  SendToWindowManager(XidOf(watched), "_NET_CLOSE_WINDOW", CurrentTime, kSourcePager);
  return true;
}

ModalContents AppKitAutomation::ModalWindowContents() {
  ModalContents contents;
  NSWindow* modal = [NSApp modalWindow];
  if (modal == nil) return contents;
  contents.title = FromNSString([modal title]);
  const NSSize content = [[modal contentView] frame].size;
  contents.content = {content.width, content.height};
  if (NSSavePanel* panel = FilePanelShown()) ReadFilePanel(panel, contents);
  VisitViews([modal contentView], [&](NSView* view) {
    if (ShowsTitle(view)) {
      contents.buttons.push_back(FromNSString([(NSButton*)view title]));
      contents.controls.push_back(FrameInContent(view));
    }
    if (![view isKindOfClass:[NSTextField class]]) return;
    NSTextField* field = (NSTextField*)view;
    contents.controls.push_back(FrameInContent(view));
    if (![field isEditable]) {
      contents.labels.push_back(FromNSString([field stringValue]));
      return;
    }
    if (contents.field) return;
    NSText* editor = [field currentEditor];
    contents.field = FromNSString(editor != nil ? [editor string] : [field stringValue]);
    contents.secure = [field isKindOfClass:[NSSecureTextField class]];
    if (editor != nil) {
      const NSRange range = [editor selectedRange];
      contents.selection = {static_cast<int64_t>(range.location), static_cast<int64_t>(NSMaxRange(range))};
    }
  });
  return contents;
}

void AppKitAutomation::PressButton(const ToolkitString& title) {
  NSWindow* modal = [NSApp modalWindow];
  NSString* wanted = ToNSString(title);
  NSView* found = nil;
  VisitViews([modal contentView], [&](NSView* view) {
    if (found == nil && ShowsTitle(view) && [[(NSButton*)view title] isEqualToString:wanted]) {
      found = view;
    }
  });
  if (found != nil) ClickView(found);
}

void AppKitAutomation::ClickView(NSView* view) {
  if ([view window] == nil) return;
  const Point at = ScreenPoint(view, NSMakePoint(NSMidX([view bounds]), NSMidY([view bounds])));
  Queue(
      [this, at] {
        XTestFakeMotionEvent(display_, -1, static_cast<int>(at.x), static_cast<int>(at.y), CurrentTime);
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
      },
      std::chrono::duration_cast<std::chrono::milliseconds>(kButtonHeld));
  Queue([this] { XTestFakeButtonEvent(display_, 1, False, CurrentTime); }, kBetweenKeys);
}

// Another program's drag: a small window of this process stands in for that
// program as the source, and the pointer drags from it to the point with real
// button and motion events, one phase at a time while the loop (and the drag's
// own loop) runs. GNUstep takes no drop from another X client: it reads the types
// a drag offers from its pasteboard server, which learns of no other client's drag.
void AppKitAutomation::Drop(Window* window, Point contentPoint, DragContents contents, uint32_t operations) {
  if (dragSource_ == nil) {
    const NSRect screen = [PrimaryScreen() frame];
    const NSRect frame = NSMakeRect(kDragSourceOffset, NSMaxY(screen) - kDragSourceOffset - kDragSourceSide,
                                    kDragSourceSide, kDragSourceSide);
    dragSource_ = [[NSWindow alloc] initWithContentRect:frame
                                              styleMask:NSWindowStyleMaskBorderless
                                                backing:NSBackingStoreBuffered
                                                  defer:NO];
    [dragSource_ setReleasedWhenClosed:NO];
    ZebDragSourceView* view = [[ZebDragSourceView alloc] initWithFrame:NSMakeRect(0, 0, kDragSourceSide, kDragSourceSide)];
    [dragSource_ setContentView:view];
    [view release];
  }
  int x = 0;
  int y = 0;
  ::Window child = 0;
  XTranslateCoordinates(display_, XidOf(window), DefaultRootWindow(display_), static_cast<int>(contentPoint.x),
                        static_cast<int>(contentPoint.y), &x, &y, &child);
  constexpr int kSourceCentre = kDragSourceOffset + kDragSourceSide / 2;
  // The source offers the contents and shows once the drag before has ended.
  auto offered = std::make_shared<DragContents>(std::move(contents));
  Queue(
      [this, offered, operations] {
        OfferForDragging(*offered);
        [static_cast<ZebDragSourceView*>([dragSource_ contentView]) setOperations:operations];
        [dragSource_ orderFront:nil];
        WaitUntilViewable(XidOf(dragSource_));
      },
      kDragPhase);
  Queue(
      [this] {
        XTestFakeMotionEvent(display_, -1, kSourceCentre, kSourceCentre, CurrentTime);
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
      },
      kDragPhase);
  Queue([this] { XTestFakeMotionEvent(display_, -1, kSourceCentre + 20, kSourceCentre + 20, CurrentTime); }, kDragPhase);
  Queue([this, x, y] { XTestFakeMotionEvent(display_, -1, x - 5, y - 5, CurrentTime); }, kDragPhase);
  Queue([this, x, y] { XTestFakeMotionEvent(display_, -1, x, y, CurrentTime); }, kDragPhase);
  Queue([this] { XTestFakeButtonEvent(display_, 1, False, CurrentTime); }, kDragPhase);
  Queue([this] { [dragSource_ orderOut:nil]; }, kDragPhase);
}

// The user presses on the filter menu, moves down its list to the filter's item
// and lets go there; this returns once the panel has taken the filter, the loop
// run meanwhile.
void AppKitAutomation::ChooseFilter(const ToolkitString& description) {
  NSSavePanel* panel = FilePanelShown();
  NSPopUpButton* menu = panel != nil ? FilterMenuOf(panel) : nil;
  const NSInteger index = menu != nil ? [menu indexOfItemWithTitle:ToNSString(description)] : -1;
  if (index < 0 || index == [menu indexOfSelectedItem]) return;
  const Point at = ScreenPoint(menu, NSMakePoint(NSMidX([menu bounds]), NSMidY([menu bounds])));
  Queue(
      [this, at] {
        XTestFakeMotionEvent(display_, -1, static_cast<int>(at.x), static_cast<int>(at.y), CurrentTime);
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
      },
      kMenuOpens);
  // The item's place is known once the list shows.
  Queue(
      [this, menu, index] {
        const Point to = ItemCentre([menu menu], index);
        XTestFakeMotionEvent(display_, -1, static_cast<int>(to.x), static_cast<int>(to.y), CurrentTime);
      },
      std::chrono::duration_cast<std::chrono::milliseconds>(kButtonHeld));
  Queue([this] { XTestFakeButtonEvent(display_, 1, False, CurrentTime); }, kBetweenKeys);
  const auto giveUp = std::chrono::steady_clock::now() + kMenuTimeLimit;
  while (([menu indexOfSelectedItem] != index || inputRunning_) && std::chrono::steady_clock::now() < giveUp) {
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    NSEvent* event = [NSApp nextEventMatchingMask:NSEventMaskAny
                                        untilDate:[NSDate dateWithTimeIntervalSinceNow:kInputTick]
                                           inMode:NSModalPanelRunLoopMode
                                          dequeue:YES];
    if (event != nil) [NSApp sendEvent:event];
    [pool release];
  }
}

void AppKitAutomation::SendToWindowManager(::Window xid, const char* message, long l0, long l1, long l2, long l3) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = xid;
  event.xclient.message_type = XInternAtom(display_, message, False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = l0;
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[2] = l2;
  event.xclient.data.l[3] = l3;
  XSendEvent(display_, DefaultRootWindow(display_), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display_);
}

void AppKitAutomation::Click(Window* window, Point contentPoint, int clicks, MouseButton button) {
  ClickInside(XidOf(window), contentPoint, clicks, button);
}

void AppKitAutomation::ClickInside(::Window xid, Point point, int clicks, MouseButton button) {
  int x = 0;
  int y = 0;
  ::Window child = 0;
  XTranslateCoordinates(display_, xid, DefaultRootWindow(display_), static_cast<int>(point.x), static_cast<int>(point.y),
                        &x, &y, &child);
  std::this_thread::sleep_until(lastClick_ + kSeparateClicks);
  XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
  const unsigned number = button == MouseButton::Right ? 3 : 1;
  for (int i = 0; i < clicks; ++i) {
    XTestFakeButtonEvent(display_, number, True, CurrentTime);
    XFlush(display_);
    std::this_thread::sleep_for(kButtonHeld);
    XTestFakeButtonEvent(display_, number, False, CurrentTime);
    XFlush(display_);
    std::this_thread::sleep_for(kBetweenClicks);
  }
  lastClick_ = std::chrono::steady_clock::now();
}

// After the keys TypeText still has to send.
void AppKitAutomation::PressKey(char16_t key, uint32_t modifiers) {
  if (!inputRunning_) {
    XTestPressKey(display_, key, modifiers);
    return;
  }
  Queue([this, key, modifiers] { XTestPressKey(display_, key, modifiers); }, kBetweenKeys);
}

// From the top-left of the window's content view.
Rect AppKitAutomation::ShownFrame(View* view) {
  auto* appKit = dynamic_cast<AppKitView*>(view);
  if (appKit == nullptr || [appKit->nsView() window] == nil) return {};
  return FrameInContent(appKit->nsView());
}

// Another program copies an image: xclip owns the clipboard with image data only,
// and the pasteboard server takes what the clipboard then offers (no text) a
// moment after xclip's command has returned.
void AppKitAutomation::CopyImageElsewhere() {
  NSPasteboard* pasteboard = [NSPasteboard generalPasteboard];
  const NSInteger before = [pasteboard changeCount];
  const int status = std::system("timeout 10 xclip -selection clipboard -t image/png -i /dev/null </dev/null >/dev/null 2>&1");
  if (status != 0) return;
  const auto giveUp = std::chrono::steady_clock::now() + kPasteboardWait;
  while ([pasteboard changeCount] == before && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void AppKitAutomation::WhenPopUp(std::function<void()> user) {
  StopTimers();
  user_ = std::move(user);
  polls_ = 0;
  poll_ = [[ZebTimerCall alloc] initWithInterval:kModalPoll call:[this] { return PollForPopUp(); }];
}

// Answers once the pop-up has shown a moment (or has been tracked a while without
// showing), and cancels it when it is still up a few seconds after the answer.
bool AppKitAutomation::PollForPopUp() {
  NSMenu* menu = toolkit_.popUpMenu();
  if (menu == nil) return true;
  ++polls_;
  if ((polls_ < kPopUpPolls || ![[menu window] isVisible]) && polls_ < kPollsBeforeAnswering) return true;
  [watchdog_ stop];
  [watchdog_ release];
  watchdog_ = [[ZebTimerCall alloc] initWithInterval:kForgottenModal
                                                call:[this, menu] {
                                                  if (toolkit_.popUpMenu() == menu) {
                                                    ++watchdogEndings_;
                                                    [menu cancelTracking];
                                                  }
                                                  return false;
                                                }];
  std::exchange(user_, nullptr)();
  return false;
}

std::vector<MenuEntry> AppKitAutomation::PopUpEntries() {
  std::vector<MenuEntry> entries;
  for (NSMenuItem* item in [toolkit_.popUpMenu() itemArray]) {
    MenuEntry entry;
    entry.separator = [item isSeparatorItem];
    if (!entry.separator) entry.title = FromNSString([item title]);
    entries.push_back(std::move(entry));
  }
  return entries;
}

Point AppKitAutomation::PopUpOrigin() {
  NSMenu* menu = toolkit_.popUpMenu();
  if (menu == nil) return {};
  int x = 0;
  int y = 0;
  ::Window child = 0;
  XTranslateCoordinates(display_, XidOf([menu window]), DefaultRootWindow(display_), 0, 0, &x, &y, &child);
  return {static_cast<double>(x), static_cast<double>(y)};
}

void AppKitAutomation::ChoosePopUpItem(const ToolkitString& title) {
  NSMenu* menu = toolkit_.popUpMenu();
  const NSInteger index = [menu indexOfItemWithTitle:ToNSString(title)];
  if (menu != nil && index >= 0) QueueClickOnItem(menu, index);
}

// Escape goes to the keyboard the menu holds; the click lands above and to the
// left of the menu, which opens down and to the right.
void AppKitAutomation::DismissPopUp(bool withEscape) {
  if (withEscape) {
    PressKey(u'\x1b', 0);
    return;
  }
  QueueClickAt([this] {
    const Point origin = PopUpOrigin();
    return Point{std::max(0.0, origin.x - 40), std::max(0.0, origin.y - 40)};
  });
}

// A bar on the screen is clicked open, then its item; a bar not shown (the
// application is not active) is out of the user's reach, and its item acts as a
// click would make it.
void AppKitAutomation::ChooseMenuItem(const ToolkitString& menu, const ToolkitString& item) {
  auto* bar = dynamic_cast<AppKitMenu*>(toolkit_.MainMenu());
  if (bar == nullptr) return;
  NSMenuItem* top = nil;
  for (size_t index = 0; index < bar->ItemCount() && top == nil; ++index) {
    MenuItem* candidate = bar->ItemAt(index);
    const Menu* submenu = candidate->Submenu();
    if (submenu != nullptr && (submenu->Title() == menu || candidate->Title() == menu)) {
      top = static_cast<AppKitMenuItem*>(candidate)->nsItem();
    }
  }
  NSMenu* submenu = [top submenu];
  const NSInteger chosen = submenu != nil ? [submenu indexOfItemWithTitle:ToNSString(item)] : -1;
  if (chosen < 0) return;
  NSMenu* shown = bar->nsMenu();
  if (![[shown window] isVisible]) {
    [submenu performActionForItemAtIndex:chosen];
    return;
  }
  QueueClickOnItem(shown, [shown indexOfItem:top]);
  Queue([] {}, kSubmenuOpens);
  QueueClickOnItem(submenu, chosen);
}

void AppKitAutomation::QueueClickOnItem(NSMenu* menu, NSInteger index) {
  QueueClickAt([this, menu, index] { return ItemCentre(menu, index); });
}

Point AppKitAutomation::ItemCentre(NSMenu* menu, NSInteger index) {
  NSView* view = [menu menuRepresentation];
  NSWindow* window = [view window];
  const NSRect item = [view convertRect:[(NSMenuView*)view rectOfItemAtIndex:index] toView:nil];
  int x = 0;
  int y = 0;
  ::Window child = 0;
  XTranslateCoordinates(display_, XidOf(window), DefaultRootWindow(display_), static_cast<int>(NSMidX(item)),
                        static_cast<int>(NSHeight([window frame]) - NSMidY(item)), &x, &y, &child);
  return {static_cast<double>(x), static_cast<double>(y)};
}

// The point is found as the pointer moves there, after the input before.
void AppKitAutomation::QueueClickAt(std::function<Point()> where) {
  Queue(
      [this, where = std::move(where)] {
        const Point at = where();
        XTestFakeMotionEvent(display_, -1, static_cast<int>(at.x), static_cast<int>(at.y), CurrentTime);
      },
      kPointerSettles);
  Queue([this] { XTestFakeButtonEvent(display_, 1, True, CurrentTime); },
        std::chrono::duration_cast<std::chrono::milliseconds>(kButtonHeld));
  Queue([this] { XTestFakeButtonEvent(display_, 1, False, CurrentTime); }, kBetweenKeys);
}

}  // namespace

AutomatedBackend MakeAppKitBackend() {
  RegisterTestKeys();
  std::unique_ptr<Toolkit> toolkit = ConnectAppKitToolkit();
  Display* display = toolkit != nullptr ? XOpenDisplay(nullptr) : nullptr;
  if (display == nullptr) return {"appkit", nullptr, nullptr};
  auto automation = std::make_unique<AppKitAutomation>(display, static_cast<AppKitToolkit&>(*toolkit));
  return {"appkit", std::move(toolkit), std::move(automation)};
}

}  // namespace zeb::platform

#else

namespace zeb::platform {

// The input a Mac's tests would need (Quartz events) is not built yet.
AutomatedBackend MakeAppKitBackend() { return {"appkit", nullptr, nullptr}; }

}  // namespace zeb::platform

#endif
