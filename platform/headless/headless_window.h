// A window of the headless toolkit: frame, style, level, visibility, key state,
// zoom and miniaturisation, child windows and a content view, with the delegate
// told of every change as a real window manager would report it.
#pragma once

#include <memory>
#include <vector>

#include "platform/headless/headless_controls.h"
#include "platform/headless/headless_events.h"
#include "platform/headless/headless_view.h"
#include "platform/toolkit.h"

namespace zeb::platform {

class HeadlessToolkit;

class HeadlessWindow : public Window {
 public:
  HeadlessWindow(HeadlessToolkit& toolkit, uint64_t serial, const Rect& frame, uint32_t style);
  ~HeadlessWindow() override;

  void SetDelegate(WindowDelegate* delegate) override { delegate_ = delegate; }
  WindowDelegate* Delegate() const override { return delegate_; }
  uint32_t Style() const override { return style_; }
  void SetTitle(const ToolkitString& title) override { title_ = title; }
  ToolkitString Title() const override { return title_; }

  Rect Frame() const override { return frame_; }
  FrameExtents Extents() const override;
  void SetFrame(const Rect& frame) override;

  void SetContentView(std::unique_ptr<View> view) override;
  View* ContentView() const override { return content_.get(); }
  // The views that lose and take the keyboard focus hear of it.
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

  bool IsVisible() const override { return visible_ && !miniaturized_; }
  bool IsZoomed() const override;
  bool IsMiniaturized() const override { return miniaturized_; }
  void SetLevel(WindowLevel level) override { level_ = level; }
  WindowLevel Level() const override { return level_; }
  void AddChildWindow(Window* child) override;
  void RemoveChildWindow(Window* child) override;

  // A panel's close button hides it instead of closing it, when no delegate
  // decides otherwise.
  void SetHidesOnClose(bool hides) { hidesOnClose_ = hides; }

  // What the simulated user does, dispatched from the event loop.
  void Deminiaturize();
  void PressCloseButton();
  void MouseUp(Point contentPoint, int clickCount, bool right);
  void KeyDown(const HeadlessEvent& event);
  // Control-Tab: the keyboard focus to the next view that takes it.
  void MoveFocusForward();
  // A drag dropped at a point of the content; the contents go to the view that
  // takes the drop.
  void Drop(const HeadlessEvent& event);
  // Presses the button of this title inside the window; false when there is none.
  bool PressButton(const ToolkitString& title);

  uint64_t serial() const { return serial_; }
  // The focused view, while it is still in the window.
  HeadlessView* FirstResponder() const;
  HeadlessView* content() const { return content_.get(); }
  int64_t keyEventsDelivered() const { return keyEventsDelivered_; }

 private:
  Rect ContentBounds() const;

  HeadlessToolkit& toolkit_;
  uint64_t serial_;
  uint32_t style_;
  WindowDelegate* delegate_ = nullptr;
  ToolkitString title_;
  Rect frame_;
  Rect userFrame_;  // the frame to return to when a zoomed window zooms back
  WindowLevel level_ = WindowLevel::Normal;
  bool visible_ = false;
  bool miniaturized_ = false;
  HeadlessWindow* parent_ = nullptr;
  std::vector<HeadlessWindow*> children_;
  std::unique_ptr<HeadlessView> content_;
  HeadlessView* firstResponder_ = nullptr;
  HeadlessButton* defaultButton_ = nullptr;
  bool hidesOnClose_ = false;
  int64_t keyEventsDelivered_ = 0;
};

}  // namespace zeb::platform
