// The text view (NSTextView) and the scroll view (NSScrollView) of the AppKit
// backend. The text view is plain text, editable, without wrapping to start with;
// it takes drags of images, files and text and hands them to its delegate instead
// of inserting them.
#pragma once

#include <memory>

#import "platform/appkit/appkit_view.h"
#include "platform/text_views.h"

@class ZebTextView;

namespace zeb::platform {

class AppKitTextView : public AppKitView, public TextView {
 public:
  explicit AppKitTextView(std::unique_ptr<ViewDelegate> delegate);
  ~AppKitTextView() override;

  void SetTextDelegate(TextDelegate* delegate) override;
  // The insertion point goes to the start.
  void SetString(const ToolkitString& text) override;
  ToolkitString String() const override;
  void AppendString(const ToolkitString& text) override;
  void SetFont(SharedFont font) override;
  SharedFont Font() const override { return font_; }
  void SetEditable(bool editable) override;
  bool IsEditable() const override;
  void SetSelectable(bool selectable) override;
  void SetWrapsLines(bool wraps) override;
  bool WrapsLines() const override;
  void SetTextColor(const ColorComponents& color) override;
  ColorComponents TextColor() const override;
  void SetBackgroundColor(const ColorComponents& color) override;
  ColorComponents BackgroundColor() const override;
  void SetSelection(int64_t start, int64_t end) override;
  std::pair<int64_t, int64_t> Selection() const override;

  NSTextView* nsTextView() const { return static_cast<NSTextView*>(nsView()); }

 private:
  // Takes the retained storage.
  AppKitTextView(NSTextStorage* storage, std::unique_ptr<ViewDelegate> delegate);
  NSTextStorage* storage_;
  SharedFont font_;
};

class AppKitScrollView : public AppKitView, public ScrollView {
 public:
  AppKitScrollView();
  // The document fills the scroll view's visible area to start with.
  void SetDocumentView(std::unique_ptr<View> view) override;
  View* DocumentView() const override { return document_.get(); }
  void SetScrollers(bool vertical, bool horizontal, bool autohides) override;
  void SetBezelBorder(bool bezel) override;

  NSScrollView* nsScrollView() const { return static_cast<NSScrollView*>(nsView()); }

 private:
  std::unique_ptr<View> document_;
};

}  // namespace zeb::platform
