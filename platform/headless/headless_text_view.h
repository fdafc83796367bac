// The text view and the scroll view of the headless toolkit. The text view lays
// its text out on the fixed grid (one line per line break, no wrapping in the
// model), so a click lands on a character as it would on a screen.
#pragma once

#include "platform/headless/headless_view.h"

namespace zeb::platform {

class HeadlessTextView : public HeadlessView, public TextView {
 public:
  HeadlessTextView(HeadlessPasteboard& pasteboard, std::unique_ptr<ViewDelegate> delegate);

  void SetTextDelegate(TextDelegate* delegate) override { textDelegate_ = delegate; }
  // The insertion point goes to the start.
  void SetString(const ToolkitString& text) override;
  ToolkitString String() const override { return text_; }
  void AppendString(const ToolkitString& text) override { text_ += text; }
  void SetFont(SharedFont font) override;
  SharedFont Font() const override { return font_; }
  void SetEditable(bool editable) override { editable_ = editable; }
  bool IsEditable() const override { return editable_; }
  void SetSelectable(bool selectable) override { selectable_ = selectable; }
  void SetWrapsLines(bool wraps) override { wraps_ = wraps; }
  bool WrapsLines() const override { return wraps_; }
  void SetTextColor(const ColorComponents& color) override { textColor_ = color; }
  ColorComponents TextColor() const override { return textColor_; }
  void SetBackgroundColor(const ColorComponents& color) override { backgroundColor_ = color; }
  ColorComponents BackgroundColor() const override { return backgroundColor_; }
  void SetSelection(int64_t start, int64_t end) override;
  std::pair<int64_t, int64_t> Selection() const override { return {start_, end_}; }

  bool AcceptsFirstResponder() const override { return selectable_ || editable_; }
  bool RegistersDraggedTypes() const override { return true; }

  // What the user does. Typed characters replace the selection (Return makes a
  // line feed); a click puts the insertion point at the character under it.
  void Insert(const ToolkitString& characters);
  void PlaceInsertionPoint(Point local);
  // False when the view does not perform the action.
  bool Perform(EditingAction action);

 private:
  void ReplaceSelection(const ToolkitString& characters);

  HeadlessPasteboard& pasteboard_;
  TextDelegate* textDelegate_ = nullptr;
  ToolkitString text_;
  int64_t start_ = 0;
  int64_t end_ = 0;
  SharedFont font_;
  bool editable_ = true;
  bool selectable_ = true;
  bool wraps_ = false;
  ColorComponents textColor_{0, 0, 0, 1};
  ColorComponents backgroundColor_{1, 1, 1, 1};
};

// The document view keeps its frame until the scroll view's changes; then it fills
// the scroll view's bounds, as a text view that tracks its scroll view does. The
// model draws no scroll bars and no border.
class HeadlessScrollView : public HeadlessView, public ScrollView {
 public:
  void SetFrame(const Rect& frame) override;
  void SetDocumentView(std::unique_ptr<View> view) override;
  View* DocumentView() const override { return document_; }
  void SetScrollers(bool, bool, bool) override {}
  void SetBezelBorder(bool) override {}

 private:
  HeadlessView* document_ = nullptr;
};

}  // namespace zeb::platform
