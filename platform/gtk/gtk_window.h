// A window of the GTK backend: a GtkWindow whose child is a box of the menu bar
// (when the window shows the main menu) above the content view. The bar counts as
// part of the window's frame, so the content keeps its size beneath it. The
// window manager's reports (configure, window state, activity, delete) reach the
// delegate as the contract's notifications.
#pragma once

#include <memory>
#include <optional>

#include "platform/gtk/gtk_resources.h"
#include "platform/gtk/gtk_view.h"
#include "platform/toolkit.h"

namespace zeb::platform {

class GtkToolkit;

// Hides a window and tells the X server at once. A host that runs its own event
// loop (a game engine) may not let GTK flush its requests for a long while after
// a dialog, and the dialog must not stay on the screen, holding the keyboard,
// meanwhile.
inline void HideNow(GtkWidget* window) {
  gtk_widget_hide(window);
  gdk_display_flush(gtk_widget_get_display(window));
}

class GtkBackendWindow : public Window {
 public:
  GtkBackendWindow(GtkToolkit& toolkit, const Rect& frame, uint32_t style);
  ~GtkBackendWindow() override;

  void SetDelegate(WindowDelegate* delegate) override { delegate_ = delegate; }
  WindowDelegate* Delegate() const override { return delegate_; }
  uint32_t Style() const override { return style_; }
  void SetTitle(const ToolkitString& title) override;
  ToolkitString Title() const override;

  Rect Frame() const override;
  FrameExtents Extents() const override;
  Size ContentSize() const override;
  void SetFrame(const Rect& frame) override;

  void SetContentView(std::unique_ptr<View> view) override;
  View* ContentView() const override { return content_.get(); }
  void MakeFirstResponder(View* view) override;
  void SetDefaultButton(Button* button) override;

  void OrderFront() override;
  void OrderOut() override { gtk_widget_hide(window_.get()); }
  void MakeKeyAndOrderFront() override;
  void MakeKey() override;
  void Center() override;
  void Zoom() override;
  void Miniaturize() override;
  void Close() override;

  bool IsVisible() const override;
  bool IsZoomed() const override;
  bool IsMiniaturized() const override;
  void SetLevel(WindowLevel level) override;
  WindowLevel Level() const override { return level_; }
  void AddChildWindow(Window* child) override;
  void RemoveChildWindow(Window* child) override;

  // A panel's close button hides it instead of closing it, when no delegate
  // decides otherwise.
  void SetHidesOnClose(bool hides) { hidesOnClose_ = hides; }
  // Shows a GtkMenuBar above the content (null: none); the window does not own it.
  void SetMenuBar(GtkWidget* bar);
  GtkWidget* menuBar() const { return menuBar_; }

  GtkWindow* gtkWindow() const { return GTK_WINDOW(window_.get()); }
  // The widget with the keyboard focus, or null.
  GtkWidget* Focus() const { return gtk_window_get_focus(gtkWindow()); }
  int64_t keyEventsDelivered() const { return keyEventsDelivered_; }
  void CountKeyEvent() { ++keyEventsDelivered_; }

 private:
  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self);
  static gboolean OnKeyNotTaken(GtkWidget*, GdkEventKey* event, gpointer self);
  static gboolean OnConfigure(GtkWidget*, GdkEventConfigure* event, gpointer self);
  static gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer self);
  static void OnActive(GObject*, GParamSpec*, gpointer self);
  GdkWindowState State() const;
  void FixContentSize();
  // What the window manager puts around the GTK window, and the menu bar's height.
  FrameExtents Decoration() const;
  std::optional<FrameExtents> FramedDecoration() const;
  double MenuBarHeight() const;

  GtkToolkit& toolkit_;
  OwnedWidget window_;
  uint32_t style_;
  WindowDelegate* delegate_ = nullptr;
  GtkWidget* box_;  // the window's child
  GtkWidget* menuBar_ = nullptr;
  std::unique_ptr<GtkBackendView> content_;
  Rect requested_;   // the frame last asked for, until the window manager reports one
  Rect userFrame_;   // the frame before the window was maximised
  // The frame the delegate sees while it hears of a zoom the window manager has
  // already made: the frame the zoom started from.
  std::optional<Rect> zoomingFrom_;
  int reportedX_ = 0, reportedY_ = 0, reportedWidth_ = 0, reportedHeight_ = 0;
  WindowLevel level_ = WindowLevel::Normal;
  bool closed_ = false;
  bool hidesOnClose_ = false;
  int64_t keyEventsDelivered_ = 0;
  SignalConnection delete_;
  SignalConnection escape_;
  SignalConnection configure_;
  SignalConnection state_;
  SignalConnection active_;
};

}  // namespace zeb::platform
