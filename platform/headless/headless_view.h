// Views of the headless toolkit: plain rectangles with subviews, and a one-line
// text field that answers the editing actions. Text is laid out on a fixed grid.
#pragma once

#include <memory>
#include <vector>

#include "platform/toolkit.h"

namespace zeb::platform {

class HeadlessPasteboard;

// Every character of a text takes this many points across, every line this many down.
inline constexpr double kHeadlessCharacterWidth = 7;
inline constexpr double kHeadlessLineHeight = 16;

class HeadlessView : public virtual View {
 public:
  explicit HeadlessView(std::unique_ptr<ViewDelegate> delegate = nullptr) : delegate_(std::move(delegate)) {}

  Rect Frame() const override { return frame_; }
  void SetFrame(const Rect& frame) override;
  void SetNeedsDisplay() override { needsDisplay_ = true; }
  void AddSubview(std::unique_ptr<View> subview) override;
  void RemoveFromSuperview() override;
  void RemoveSubview(const View* subview);

  ViewDelegate* delegate() const { return delegate_.get(); }
  // Whether a click gives the view the keyboard focus.
  virtual bool AcceptsFirstResponder() const { return false; }
  // Whether drags stop at the view.
  virtual bool RegistersDraggedTypes() const { return false; }
  // Whether the view is inside `root`'s tree.
  bool IsInside(const HeadlessView* root) const;
  // Calls `visit` for this view and every view inside it.
  template <typename Visit>
  void VisitTree(Visit&& visit) {
    visit(*this);
    for (auto& subview : subviews_) subview->VisitTree(visit);
  }
  // Draws every view of the tree that needs it.
  void Display();
  // The deepest view containing the point, given in this view's coordinates, and
  // the point in that view's.
  HeadlessView* HitTest(Point point, Point* local = nullptr);

 private:
  // Declared first, so the delegate's last word comes after the subviews are gone.
  std::unique_ptr<ViewDelegate> delegate_;
  HeadlessView* superview_ = nullptr;
  std::vector<std::unique_ptr<HeadlessView>> subviews_;
  Rect frame_;
  bool needsDisplay_ = true;
};

// Where Backspace starts deleting when nothing is selected: the character before
// `caret`, a surrogate pair taken whole.
inline int64_t BackspaceStart(const ToolkitString& text, int64_t caret) {
  if (caret <= 0) return 0;
  const auto Unit = [&](int64_t at) { return text[static_cast<size_t>(at)]; };
  const bool pair = caret >= 2 && Unit(caret - 1) >= 0xDC00 && Unit(caret - 1) <= 0xDFFF && Unit(caret - 2) >= 0xD800 &&
                    Unit(caret - 2) <= 0xDBFF;
  return caret - (pair ? 2 : 1);
}

class HeadlessTextField : public HeadlessView, public TextField {
 public:
  HeadlessTextField(HeadlessPasteboard& pasteboard, bool secure) : pasteboard_(pasteboard), secure_(secure) {}
  bool AcceptsFirstResponder() const override { return true; }

  ToolkitString Text() const override { return text_; }
  void SetText(const ToolkitString& text) override;
  void SetSelection(int64_t start, int64_t end) override;
  std::pair<int64_t, int64_t> Selection() const override { return {start_, end_}; }
  double FittingHeight() const override { return kHeadlessLineHeight + 4; }

  // Typing: the characters replace the selection.
  void Insert(const ToolkitString& characters);
  void Perform(EditingAction action);
  // A secure field shows a dot for each character.
  bool secure() const { return secure_; }

 private:
  struct State {
    ToolkitString text;
    int64_t start;
    int64_t end;
  };
  void ReplaceSelection(const ToolkitString& characters);

  HeadlessPasteboard& pasteboard_;
  bool secure_;
  ToolkitString text_;
  int64_t start_ = 0;
  int64_t end_ = 0;
  std::vector<State> undo_;
  std::vector<State> redo_;
};

}  // namespace zeb::platform
