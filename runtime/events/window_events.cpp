#include "runtime/events/window_events.h"

#include "runtime/events/event_queue.h"
#include "runtime/events/gadget_list.h"
#include "runtime/events/windows.h"
#include "runtime/menus/menus.h"

namespace zeb {

ZebWindowEvents::ZebWindowEvents(platform::Window* window, int64_t windowID)
    : WindowInstance(window), WindowID_(windowID) {
  window->SetDelegate(this);
}

void ZebWindowEvents::Post(int32_t type) const { PostEvent(type, WindowID_, WindowID_, 0); }

// The close button only asks: the window stays until the program closes it.
bool ZebWindowEvents::WindowShouldClose() {
  Post(CloseWindowEvent);
  return false;
}

void ZebWindowEvents::WindowWillClose() {
  ZebGadgetList::RemoveWindow(WindowInstance);
  WindowInstance->SetDelegate(nullptr);
  RemoveWindowEvents(WindowID_);
  ForgetWindowRecord(WindowID_);
  delete this;
}

void ZebWindowEvents::WindowDidResize() {
  if (ZoomEvent != 0) Post(ZoomEvent);
  Post(SizeWindowEvent);
  if (platform::View* content = WindowInstance->ContentView()) content->SetNeedsDisplay();
  ZoomEvent = 0;
}

void ZebWindowEvents::WindowDidMove() { Post(MoveWindowEvent); }

void ZebWindowEvents::WindowDidBecomeKey() {
  MenuWindowBecameKey(WindowInstance);
  Post(ActivateWindowEvent);
}

void ZebWindowEvents::WindowDidResignKey() { Post(DeactivateWindowEvent); }

void ZebWindowEvents::WindowDidMiniaturize() { Post(MinimizeWindowEvent); }

void ZebWindowEvents::WindowDidDeminiaturize() {
  const bool resizable = (WindowInstance->Style() & platform::StyleResizable) != 0;
  Post(resizable && WindowInstance->IsZoomed() ? MaximizeWindowEvent : RestoreWindowEvent);
}

// A zoom to a wider frame, or to one as wide but taller, maximises; any other
// zoom restores. The event goes out with the resize that follows.
bool ZebWindowEvents::WindowShouldZoom(const platform::Rect& proposedFrame) {
  const platform::Rect frame = WindowInstance->Frame();
  const bool larger = proposedFrame.width > frame.width ||
                      (proposedFrame.width <= frame.width && proposedFrame.height > frame.height);
  ZoomEvent = larger ? MaximizeWindowEvent : RestoreWindowEvent;
  return true;
}

void ZebFlippedWindowView::DrawRect(const platform::Rect&) { PostEvent(RepaintEvent, WindowID, WindowID, 0); }

void ZebFlippedWindowView::MouseUp(int clickCount) {
  if (clickCount == 1) PostEvent(LeftClickEvent, WindowID, WindowID, 0);
  if (clickCount == 2) PostEvent(LeftDoubleClickEvent, WindowID, WindowID, 0);
}

void ZebFlippedWindowView::RightMouseUp(int clickCount) {
  if (clickCount == 1) PostEvent(RightClickEvent, WindowID, WindowID, 0);
}

}  // namespace zeb
