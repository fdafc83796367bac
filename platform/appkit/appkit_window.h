// A window of the AppKit backend: an NSWindow, kept after it closes until the
// toolkit releases its closed windows, whose delegate (an observer of the
// backend's) passes AppKit's notifications on to the contract's WindowDelegate.
#pragma once

#include <memory>

#import "platform/appkit/appkit_compat.h"
#include "platform/toolkit.h"

@class ZebWindowObserver;

namespace zeb::platform {

class AppKitToolkit;

class AppKitWindow : public Window {
 public:
  // A hidden window with this content rectangle (contract coordinates).
  AppKitWindow(AppKitToolkit& toolkit, const Rect& content, uint32_t style);
  // A panel of AppKit's own that outlives every use (the shared colour panel):
  // closing it only hides it, and its content stays AppKit's.
  AppKitWindow(AppKitToolkit& toolkit, NSPanel* shared);
  ~AppKitWindow() override;
  AppKitWindow(const AppKitWindow&) = delete;
  AppKitWindow& operator=(const AppKitWindow&) = delete;

  void SetDelegate(WindowDelegate* delegate) override { delegate_ = delegate; }
  WindowDelegate* Delegate() const override { return delegate_; }
  uint32_t Style() const override { return style_; }
  void SetTitle(const ToolkitString& title) override;
  ToolkitString Title() const override;

  Rect Frame() const override;
  FrameExtents Extents() const override;
  void SetFrame(const Rect& frame) override;

  void SetContentView(std::unique_ptr<View> view) override;
  View* ContentView() const override { return content_.get(); }
  void MakeFirstResponder(View* view) override;
  void SetDefaultButton(Button* button) override;

  void OrderFront() override;
  void OrderOut() override;
  void MakeKeyAndOrderFront() override;
  void MakeKey() override;
  void Center() override;
  void Zoom() override;
  void Miniaturize() override;
  void Close() override;

  bool IsVisible() const override;
  bool IsZoomed() const override;
  bool IsMiniaturized() const override;
  void SetLevel(WindowLevel level) override;
  WindowLevel Level() const override { return level_; }
  void AddChildWindow(Window* child) override;
  void RemoveChildWindow(Window* child) override;

  NSWindow* nsWindow() const { return window_; }
  int64_t keyEventsDelivered() const { return keyEventsDelivered_; }
  void CountKeyEvent() { ++keyEventsDelivered_; }
  // AppKit is closing the window: the delegate hears of it last, then the toolkit
  // sets the window aside.
  void WillClose();

 private:
  AppKitToolkit& toolkit_;
  NSWindow* window_;
  ZebWindowObserver* observer_;
  uint32_t style_;
  WindowDelegate* delegate_ = nullptr;
  std::unique_ptr<View> content_;
  WindowLevel level_ = WindowLevel::Normal;
  bool closed_ = false;
  bool shared_ = false;
  int64_t keyEventsDelivered_ = 0;
};

// The AppKit style mask of the contract's window style bits.
NSUInteger StyleMaskOf(uint32_t style);

// Escape that no view took, in a window: presses its close button while it runs
// the modal loop and has one. Whether it did.
bool CancelModalWindow(NSWindow* window);
#ifdef GNUSTEP
// GNUstep's field editor keeps Escape to itself (it beeps), and a window aborts its
// modal loop on Escape, an answer no dialog can tell from a confirmation: the
// backend's windows and panels take Escape as a key equivalent instead, once no
// button of theirs has.
bool IsEscape(NSEvent* event);
#endif

}  // namespace zeb::platform
