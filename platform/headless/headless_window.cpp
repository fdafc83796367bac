#include "platform/headless/headless_window.h"

#include <algorithm>

#include "platform/headless/headless_text_view.h"
#include "platform/headless/headless_toolkit.h"

namespace zeb::platform {

HeadlessWindow::HeadlessWindow(HeadlessToolkit& toolkit, uint64_t serial, const Rect& frame, uint32_t style)
    : toolkit_(toolkit), serial_(serial), style_(style), frame_(frame), userFrame_(frame) {}

HeadlessWindow::~HeadlessWindow() = default;

FrameExtents HeadlessWindow::Extents() const { return toolkit_.ExtentsForStyle(style_); }

Rect HeadlessWindow::ContentBounds() const {
  const FrameExtents e = Extents();
  return {0, 0, frame_.width - e.left - e.right, frame_.height - e.top - e.bottom};
}

void HeadlessWindow::SetFrame(const Rect& frame) {
  const Rect old = frame_;
  frame_ = frame;
  if (content_ != nullptr) content_->SetFrame(ContentBounds());
  if (old.width != frame.width || old.height != frame.height) {
    if (delegate_ != nullptr) delegate_->WindowDidResize();
  }
  if (old.x != frame.x || old.y != frame.y) {
    // Child windows travel with their parent.
    for (HeadlessWindow* child : children_) {
      Rect moved = child->Frame();
      moved.x += frame.x - old.x;
      moved.y += frame.y - old.y;
      child->SetFrame(moved);
    }
    if (delegate_ != nullptr) delegate_->WindowDidMove();
  }
}

void HeadlessWindow::SetContentView(std::unique_ptr<View> view) {
  auto* headless = dynamic_cast<HeadlessView*>(view.get());
  if (headless == nullptr) return;
  view.release();
  content_.reset(headless);
  content_->SetFrame(ContentBounds());
  firstResponder_ = nullptr;
}

void HeadlessWindow::OrderFront() {
  visible_ = true;
  toolkit_.BringToFront(this);
  if (content_ != nullptr) content_->SetNeedsDisplay();
}

void HeadlessWindow::OrderOut() {
  visible_ = false;
  if (toolkit_.KeyWindow() == this) toolkit_.SetKeyWindow(nullptr);
}

void HeadlessWindow::SetDefaultButton(Button* button) { defaultButton_ = dynamic_cast<HeadlessButton*>(button); }

HeadlessView* HeadlessWindow::FirstResponder() const {
  return firstResponder_ != nullptr && firstResponder_->IsInside(content_.get()) ? firstResponder_ : nullptr;
}

void HeadlessWindow::MakeFirstResponder(View* view) {
  auto* next = dynamic_cast<HeadlessView*>(view);
  HeadlessView* previous = FirstResponder();
  if (next == previous) return;
  firstResponder_ = next;
  if (previous != nullptr && previous->delegate() != nullptr) previous->delegate()->ResignedFirstResponder();
  if (next != nullptr && next->delegate() != nullptr) next->delegate()->BecameFirstResponder();
}

void HeadlessWindow::MakeKeyAndOrderFront() {
  OrderFront();
  MakeKey();
}

void HeadlessWindow::MakeKey() {
  if (IsVisible()) toolkit_.SetKeyWindow(this);
}

void HeadlessWindow::Center() {
  const auto screen = toolkit_.MainScreenFrame();
  if (!screen) return;
  SetFrame({(screen->width - frame_.width) / 2, (screen->height - frame_.height) / 2, frame_.width, frame_.height});
}

bool HeadlessWindow::IsZoomed() const {
  const auto screen = toolkit_.MainScreenFrame();
  return screen && frame_ == *screen;
}

void HeadlessWindow::Zoom() {
  const auto screen = toolkit_.MainScreenFrame();
  if (!screen) return;
  const bool zoomed = IsZoomed();
  const Rect proposed = zoomed ? userFrame_ : *screen;
  if (delegate_ != nullptr && !delegate_->WindowShouldZoom(proposed)) return;
  if (!zoomed) userFrame_ = frame_;
  SetFrame(proposed);
}

void HeadlessWindow::Miniaturize() {
  if (miniaturized_) return;
  miniaturized_ = true;
  if (toolkit_.KeyWindow() == this) toolkit_.SetKeyWindow(nullptr);
  if (delegate_ != nullptr) delegate_->WindowDidMiniaturize();
}

void HeadlessWindow::Deminiaturize() {
  if (!miniaturized_) return;
  miniaturized_ = false;
  if (delegate_ != nullptr) delegate_->WindowDidDeminiaturize();
  if (visible_) MakeKey();
}

void HeadlessWindow::Close() {
  WindowDelegate* delegate = delegate_;
  delegate_ = nullptr;
  if (delegate != nullptr) delegate->WindowWillClose();
  for (HeadlessWindow* child : children_) child->parent_ = nullptr;
  children_.clear();
  if (parent_ != nullptr) parent_->RemoveChildWindow(this);
  visible_ = false;
  toolkit_.WindowClosed(this);
}

void HeadlessWindow::AddChildWindow(Window* child) {
  auto* window = dynamic_cast<HeadlessWindow*>(child);
  if (window == nullptr || window == this || window->parent_ == this) return;
  if (window->parent_ != nullptr) window->parent_->RemoveChildWindow(window);
  window->parent_ = this;
  children_.push_back(window);
}

void HeadlessWindow::RemoveChildWindow(Window* child) {
  auto* window = dynamic_cast<HeadlessWindow*>(child);
  const auto found = std::find(children_.begin(), children_.end(), window);
  if (found == children_.end()) return;
  children_.erase(found);
  window->parent_ = nullptr;
}

void HeadlessWindow::PressCloseButton() {
  if ((style_ & StyleClosable) == 0 || !IsVisible()) return;
  if (delegate_ != nullptr && !delegate_->WindowShouldClose()) return;
  if (hidesOnClose_) {
    OrderOut();
  } else {
    Close();
  }
}

void HeadlessWindow::MouseUp(Point contentPoint, int clickCount, bool right) {
  if (!IsVisible() || content_ == nullptr) return;
  if (toolkit_.KeyWindow() != this) {
    toolkit_.BringToFront(this);
    MakeKey();
  }
  Point local;
  HeadlessView* target = content_->HitTest(contentPoint, &local);
  if (target->AcceptsFirstResponder()) {
    MakeFirstResponder(target);
    if (auto* text = dynamic_cast<HeadlessTextView*>(target)) text->PlaceInsertionPoint(local);
    if (auto* button = dynamic_cast<HeadlessButton*>(target); button != nullptr && !right) button->Press();
    return;
  }
  if (target->delegate() == nullptr) return;
  if (right) {
    target->delegate()->RightMouseUp(clickCount);
  } else {
    target->delegate()->MouseUp(clickCount);
  }
}

void HeadlessWindow::KeyDown(const HeadlessEvent& event) {
  ++keyEventsDelivered_;
  const bool commands = (event.modifiers & (ModifierCommand | ModifierControl)) != 0;
  if (commands && event.characters == u"\t") {
    MoveFocusForward();
    return;
  }
  if (commands) return;
  if (event.characters == u"\x1b" && toolkit_.modalWindow() == this) {
    PressCloseButton();
    return;
  }
  // A text view takes Return as a line break; elsewhere Return presses the default
  // button.
  HeadlessView* focused = FirstResponder();
  if (auto* text = dynamic_cast<HeadlessTextView*>(focused)) {
    text->Insert(event.characters);
    return;
  }
  if (event.characters == u"\r" && defaultButton_ != nullptr && defaultButton_->IsInside(content_.get())) {
    defaultButton_->Press();
    return;
  }
  if (auto* field = dynamic_cast<HeadlessTextField*>(focused)) field->Insert(event.characters);
}

void HeadlessWindow::MoveFocusForward() {
  if (content_ == nullptr) return;
  std::vector<HeadlessView*> order;
  content_->VisitTree([&](HeadlessView& view) {
    if (view.AcceptsFirstResponder()) order.push_back(&view);
  });
  if (order.empty()) return;
  const auto current = std::find(order.begin(), order.end(), FirstResponder());
  MakeFirstResponder(current == order.end() || current + 1 == order.end() ? order.front() : *(current + 1));
}

void HeadlessWindow::Drop(const HeadlessEvent& event) {
  if (!IsVisible() || content_ == nullptr) return;
  DraggingInfo info;
  info.sourceOperations = event.dragOperations;
  HeadlessView* target = content_->HitTest(event.point, &info.location);
  ViewDelegate* delegate = target->delegate();
  if (!target->RegistersDraggedTypes() || delegate == nullptr) return;
  if (delegate->DraggingEntered(info) == DragNone || !delegate->PrepareForDragOperation(info)) return;
  info.contents = std::move(event.dragContents);
  delegate->PerformDragOperation(info);
}

bool HeadlessWindow::PressButton(const ToolkitString& title) {
  if (!IsVisible() || content_ == nullptr) return false;
  HeadlessButton* found = nullptr;
  content_->VisitTree([&](HeadlessView& view) {
    auto* button = dynamic_cast<HeadlessButton*>(&view);
    if (found == nullptr && button != nullptr && button->title() == title) found = button;
  });
  if (found != nullptr) found->Press();
  return found != nullptr;
}

}  // namespace zeb::platform
