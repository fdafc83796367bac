// Views of the GTK backend. A plain view is an event box (it has its own GDK window,
// so it sees button presses and releases) holding a GtkFixed, on which subviews sit
// at their top-left positions; a text field is a GtkEntry.
#pragma once

#include <memory>
#include <vector>

#include "platform/gtk/gtk_resources.h"
#include "platform/toolkit.h"

namespace zeb::platform {

class GtkBackendView : public virtual View {
 public:
  explicit GtkBackendView(std::unique_ptr<ViewDelegate> delegate);

  Rect Frame() const override { return frame_; }
  void SetFrame(const Rect& frame) override;
  void SetNeedsDisplay() override { gtk_widget_queue_draw(widget()); }
  void AddSubview(std::unique_ptr<View> subview) override;

  GtkWidget* widget() const { return widget_.get(); }

 protected:
  // For subclasses that bring their own widget.
  explicit GtkBackendView(GtkWidget* widget);

 private:
  static gboolean OnDraw(GtkWidget*, cairo_t*, gpointer self);
  static gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer self);
  static gboolean OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer self);

  // Declared first, so the signal connections end while the widget still lives.
  OwnedWidget widget_;
  GtkWidget* fixed_ = nullptr;  // where subviews go
  std::unique_ptr<ViewDelegate> delegate_;
  std::vector<std::unique_ptr<View>> subviews_;
  Rect frame_;
  int clickCount_ = 0;
  SignalConnection draw_;
  SignalConnection press_;
  SignalConnection release_;
};

class GtkBackendTextField : public GtkBackendView, public TextField {
 public:
  // A secure field shows a dot for each character. Return in the field presses
  // its window's default button.
  explicit GtkBackendTextField(bool secure);

  ToolkitString Text() const override;
  void SetText(const ToolkitString& text) override;
  void SetSelection(int64_t start, int64_t end) override;
  std::pair<int64_t, int64_t> Selection() const override;
};

}  // namespace zeb::platform
