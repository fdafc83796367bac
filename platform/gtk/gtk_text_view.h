// The text view (GtkTextView) and the scroll view (GtkScrolledWindow) of the GTK
// backend. The text view takes drops of files (text/uri-list), images and text
// and hands them to its delegate instead of inserting them.
#pragma once

#include "platform/gtk/gtk_style.h"
#include "platform/gtk/gtk_view.h"

namespace zeb::platform {

class GtkBackendTextView : public GtkBackendView, public TextView {
 public:
  explicit GtkBackendTextView(std::unique_ptr<ViewDelegate> delegate);

  void SetTextDelegate(TextDelegate* delegate) override { textDelegate_ = delegate; }
  // The insertion point goes to the start.
  void SetString(const ToolkitString& text) override;
  ToolkitString String() const override;
  void AppendString(const ToolkitString& text) override;
  void SetFont(SharedFont font) override;
  SharedFont Font() const override { return style_.font(); }
  void SetEditable(bool editable) override;
  bool IsEditable() const override;
  // A GTK text view can always be selected.
  void SetSelectable(bool) override {}
  void SetWrapsLines(bool wraps) override;
  bool WrapsLines() const override;
  void SetTextColor(const ColorComponents& color) override;
  ColorComponents TextColor() const override { return textColor_; }
  void SetBackgroundColor(const ColorComponents& color) override;
  ColorComponents BackgroundColor() const override { return backgroundColor_; }
  void SetSelection(int64_t start, int64_t end) override;
  std::pair<int64_t, int64_t> Selection() const override;

  GtkTextBuffer* buffer() const { return gtk_text_view_get_buffer(GTK_TEXT_VIEW(widget())); }

 private:
  static void OnChanged(GtkTextBuffer*, gpointer self);
  static gboolean OnDragMotion(GtkWidget*, GdkDragContext* context, gint x, gint y, guint time, gpointer self);
  static void OnDragLeave(GtkWidget*, GdkDragContext*, guint, gpointer self);
  static gboolean OnDragDrop(GtkWidget*, GdkDragContext* context, gint x, gint y, guint time, gpointer self);
  static void OnDragDataReceived(GtkWidget*, GdkDragContext* context, gint x, gint y, GtkSelectionData* data,
                                 guint, guint time, gpointer self);
  DraggingInfo Dragging(GdkDragContext* context, gint x, gint y) const;

  TextDelegate* textDelegate_ = nullptr;
  WidgetStyle style_;
  ColorComponents textColor_{0, 0, 0, 1};
  ColorComponents backgroundColor_{1, 1, 1, 1};
  // Set while the program changes the text, which tells the delegate nothing.
  bool settingText_ = false;
  bool dragEntered_ = false;
  SignalConnection changed_;
  SignalConnection dragMotion_;
  SignalConnection dragLeave_;
  SignalConnection dragDrop_;
  SignalConnection dragReceived_;
};

class GtkBackendScrollView : public GtkBackendView, public ScrollView {
 public:
  GtkBackendScrollView();

  void SetDocumentView(std::unique_ptr<View> view) override;
  View* DocumentView() const override { return document_.get(); }
  void SetScrollers(bool vertical, bool horizontal, bool autohides) override;
  void SetBezelBorder(bool bezel) override;

 private:
  std::unique_ptr<View> document_;
};

}  // namespace zeb::platform
