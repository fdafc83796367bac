// ZebWindowEvents, the delegate of every runtime window, and ZebFlippedWindowView,
// its content view: both turn what the toolkit reports into runtime events.
#pragma once

#include <cstdint>

#include "platform/toolkit.h"
#include "runtime/gadgets/drag_drop.h"

namespace zeb {

class ZebWindowEvents : public platform::WindowDelegate {
 public:
  // Records the window and its number and becomes the window's delegate.
  ZebWindowEvents(platform::Window* window, int64_t windowID);

  bool WindowShouldClose() override;
  void WindowWillClose() override;
  void WindowDidResize() override;
  void WindowDidMove() override;
  void WindowDidBecomeKey() override;
  void WindowDidResignKey() override;
  void WindowDidMiniaturize() override;
  void WindowDidDeminiaturize() override;
  bool WindowShouldZoom(const platform::Rect& proposedFrame) override;
  int64_t WindowID() const override { return WindowID_; }

 private:
  void Post(int32_t type) const;

  platform::Window* WindowInstance;
  int64_t WindowID_;
  int32_t ZoomEvent = 0;  // posted before the next size event; 0 for none
};

class ZebFlippedWindowView : public ZebDragDropView {
 public:
  explicit ZebFlippedWindowView(int64_t windowID) : WindowID(windowID) {}

  void DrawRect(const platform::Rect& dirty) override;
  void MouseUp(int clickCount) override;
  void RightMouseUp(int clickCount) override;
 protected:
  // Drops go to ZebDragDrop for the window; the toolkit delivers none while the
  // view registers no dragged types, which it does not.
  int64_t DropGadget() const override { return -1; }
  int64_t DropWindow() const override { return WindowID; }

 private:
  int64_t WindowID;
};

}  // namespace zeb
