#include "platform/headless/headless_view.h"

#include <algorithm>

#include "platform/headless/headless_pasteboard.h"

namespace zeb::platform {

void HeadlessView::SetFrame(const Rect& frame) {
  frame_ = {frame.x, frame.y, std::max(frame.width, 0.0), std::max(frame.height, 0.0)};
  needsDisplay_ = true;
}

void HeadlessView::AddSubview(std::unique_ptr<View> subview) {
  // The headless toolkit makes every view it hands out; anything else has no
  // place in its tree.
  auto* view = dynamic_cast<HeadlessView*>(subview.get());
  if (view == nullptr) return;
  subview.release();
  view->superview_ = this;
  subviews_.emplace_back(view);
}

void HeadlessView::RemoveFromSuperview() {
  if (superview_ != nullptr) superview_->RemoveSubview(this);
}

void HeadlessView::RemoveSubview(const View* subview) {
  // Out of the list first: the view's teardown may look at the tree.
  const auto found = std::find_if(subviews_.begin(), subviews_.end(), [subview](const auto& v) { return v.get() == subview; });
  if (found == subviews_.end()) return;
  const std::unique_ptr<HeadlessView> removed = std::move(*found);
  subviews_.erase(found);
}

bool HeadlessView::IsInside(const HeadlessView* root) const {
  for (const HeadlessView* view = this; view != nullptr; view = view->superview_) {
    if (view == root) return true;
  }
  return false;
}
void HeadlessView::Display() {
  if (needsDisplay_) {
    needsDisplay_ = false;
    if (delegate_ != nullptr) delegate_->DrawRect({0, 0, frame_.width, frame_.height});
  }
  for (auto& subview : subviews_) subview->Display();
}

HeadlessView* HeadlessView::HitTest(Point point, Point* local) {
  for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
    const Rect f = (*it)->Frame();
    if (point.x >= f.x && point.y >= f.y && point.x < f.x + f.width && point.y < f.y + f.height) {
      return (*it)->HitTest({point.x - f.x, point.y - f.y}, local);
    }
  }
  if (local != nullptr) *local = point;
  return this;
}

void HeadlessTextField::SetText(const ToolkitString& text) {
  text_ = text;
  start_ = end_ = static_cast<int64_t>(text_.size());
  undo_.clear();
  redo_.clear();
}

void HeadlessTextField::SetSelection(int64_t start, int64_t end) {
  const auto length = static_cast<int64_t>(text_.size());
  start_ = std::clamp<int64_t>(std::min(start, end), 0, length);
  end_ = std::clamp<int64_t>(std::max(start, end), 0, length);
}

void HeadlessTextField::ReplaceSelection(const ToolkitString& characters) {
  undo_.push_back({text_, start_, end_});
  redo_.clear();
  text_.replace(static_cast<size_t>(start_), static_cast<size_t>(end_ - start_), characters);
  start_ = end_ = start_ + static_cast<int64_t>(characters.size());
}

// Backspace ("\b") deletes the selection, or the character before the caret.
void HeadlessTextField::Insert(const ToolkitString& characters) {
  if (characters == u"\b" && start_ == end_) start_ = BackspaceStart(text_, start_);
  ReplaceSelection(characters == u"\b" ? u"" : characters);
}

void HeadlessTextField::Perform(EditingAction action) {
  const ToolkitString selected = text_.substr(static_cast<size_t>(start_), static_cast<size_t>(end_ - start_));
  switch (action) {
    case EditingAction::Cut:
      if (start_ == end_) return;
      pasteboard_.SetText(selected);
      ReplaceSelection(u"");
      return;
    case EditingAction::Copy:
      if (start_ != end_) pasteboard_.SetText(selected);
      return;
    case EditingAction::Paste:
      if (auto text = pasteboard_.Text()) ReplaceSelection(*text);
      return;
    case EditingAction::SelectAll:
      SetSelection(0, static_cast<int64_t>(text_.size()));
      return;
    case EditingAction::Undo:
    case EditingAction::Redo: {
      auto& from = action == EditingAction::Undo ? undo_ : redo_;
      auto& to = action == EditingAction::Undo ? redo_ : undo_;
      if (from.empty()) return;
      to.push_back({text_, start_, end_});
      text_ = from.back().text;
      start_ = from.back().start;
      end_ = from.back().end;
      from.pop_back();
      return;
    }
  }
}

}  // namespace zeb::platform
