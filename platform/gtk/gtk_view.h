// Views of the GTK backend. A plain view is an event box (it has its own GDK window,
// so it sees button presses and releases) holding a GtkLayout, on which subviews
// sit at their top-left positions and which asks for no size of its own, so the
// user can make a window smaller than its views; a text field is a GtkEntry.
#pragma once

#include <memory>
#include <vector>

#include "platform/gtk/gtk_resources.h"
#include "platform/toolkit.h"

namespace zeb::platform {

// The box a window holds its menu bar and content view in, marked as such.
void MarkWindowBox(GtkWidget* box);
bool IsWindowBox(GtkWidget* widget);

class GtkBackendView : public virtual View {
 public:
  explicit GtkBackendView(std::unique_ptr<ViewDelegate> delegate);

  Rect Frame() const override { return frame_; }
  void SetFrame(const Rect& frame) override;
  void SetNeedsDisplay() override { gtk_widget_queue_draw(widget()); }
  void AddSubview(std::unique_ptr<View> subview) override;
  void RemoveFromSuperview() override;

  GtkWidget* widget() const { return widget_.get(); }
  ViewDelegate* delegate() const { return delegate_.get(); }

 protected:
  // For subclasses that bring their own widget; a widget that can take the
  // keyboard focus tells the delegate when it takes and loses it.
  explicit GtkBackendView(GtkWidget* widget, std::unique_ptr<ViewDelegate> delegate = nullptr);
  // The size the widget asks for in the theme's look.
  Size NaturalSize() const;

 private:
  void RemoveSubview(const GtkBackendView* view);
  static gboolean OnDraw(GtkWidget*, cairo_t*, gpointer self);
  static gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer self);
  static gboolean OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer self);
  static void OnFocusChanged(GObject*, GParamSpec*, gpointer self);

  // Declared first, so the widget goes last: the signal connections end, the
  // subviews go and the delegate has its last word while the widget still lives.
  OwnedWidget widget_;
  GtkWidget* layout_ = nullptr;  // where subviews go
  std::unique_ptr<ViewDelegate> delegate_;
  std::vector<std::unique_ptr<View>> subviews_;
  GtkBackendView* superview_ = nullptr;
  Rect frame_;
  int clickCount_ = 0;
  SignalConnection draw_;
  SignalConnection press_;
  SignalConnection release_;
  SignalConnection focus_;
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
  double FittingHeight() const override { return NaturalSize().height; }
};

}  // namespace zeb::platform
