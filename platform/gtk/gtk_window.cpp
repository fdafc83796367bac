#include "platform/gtk/gtk_window.h"

#include <algorithm>

#include "platform/gtk/gtk_strings.h"
#include "platform/gtk/gtk_style.h"
#include "platform/gtk/gtk_toolkit.h"
#include "platform/gtk/gtk_user_time.h"

namespace zeb::platform {
namespace {

int Whole(double value) { return static_cast<int>(value); }

GdkWMFunction FunctionsForStyle(uint32_t style) {
  int functions = GDK_FUNC_MOVE;
  if ((style & StyleResizable) != 0) functions |= GDK_FUNC_RESIZE | GDK_FUNC_MAXIMIZE;
  if ((style & StyleMiniaturizable) != 0) functions |= GDK_FUNC_MINIMIZE;
  if ((style & StyleClosable) != 0) functions |= GDK_FUNC_CLOSE;
  return static_cast<GdkWMFunction>(functions);
}

}  // namespace

GtkBackendWindow::GtkBackendWindow(GtkToolkit& toolkit, const Rect& frame, uint32_t style)
    : toolkit_(toolkit),
      window_(OwnWidget(gtk_window_new(GTK_WINDOW_TOPLEVEL))),
      style_(style),
      box_(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0)),
      requested_(frame),
      userFrame_(frame) {
  GtkWindow* window = gtkWindow();
  MarkWindowBox(box_);
  gtk_container_add(GTK_CONTAINER(window), box_);
  gtk_widget_show(box_);
  gtk_window_set_decorated(window, style != 0);
  gtk_window_set_resizable(window, (style & StyleResizable) != 0);
  gtk_window_set_deletable(window, (style & StyleClosable) != 0);
  gtk_window_set_gravity(window, GDK_GRAVITY_NORTH_WEST);
  const FrameExtents e = toolkit_.ExtentsForStyle(style);
  gtk_window_move(window, Whole(frame.x), Whole(frame.y));
  gtk_window_set_default_size(window, std::max(1, Whole(frame.width - e.left - e.right)),
                              std::max(1, Whole(frame.height - e.top - e.bottom)));
  delete_ = SignalConnection(window, "delete-event", G_CALLBACK(OnDelete), this);
  escape_ = SignalConnection(window, "key-press-event", G_CALLBACK(OnKeyNotTaken), this, G_CONNECT_AFTER);
  configure_ = SignalConnection(window, "configure-event", G_CALLBACK(OnConfigure), this);
  state_ = SignalConnection(window, "window-state-event", G_CALLBACK(OnWindowState), this);
  active_ = SignalConnection(window, "notify::is-active", G_CALLBACK(OnActive), this);
  FixContentSize();
  // The window manager offers only the buttons the style has.
  gtk_widget_realize(window_.get());
  gdk_window_set_functions(gtk_widget_get_window(window_.get()), FunctionsForStyle(style));
}

// The views go before the window's widget: the window lets go of its focus and
// default widgets while they still live.
GtkBackendWindow::~GtkBackendWindow() {
  SetMenuBar(nullptr);
  gtk_window_set_focus(gtkWindow(), nullptr);
  gtk_window_set_default(gtkWindow(), nullptr);
}

void GtkBackendWindow::SetTitle(const ToolkitString& title) { gtk_window_set_title(gtkWindow(), ToUTF8(title).c_str()); }

ToolkitString GtkBackendWindow::Title() const { return FromUTF8(gtk_window_get_title(gtkWindow())); }

GdkWindowState GtkBackendWindow::State() const {
  GdkWindow* gdk = gtk_widget_get_window(window_.get());
  return gdk != nullptr ? gdk_window_get_state(gdk) : static_cast<GdkWindowState>(0);
}

// Once the window manager has framed the window, its frame is what the screen
// shows; before it is shown, the frame last asked for. Shown but not framed yet, it
// is the window with the decoration it is expected to get, so that the content
// (the frame less the decoration) is the window's own size meanwhile.
Rect GtkBackendWindow::Frame() const {
  if (zoomingFrom_) return *zoomingFrom_;
  GdkWindow* gdk = gtk_widget_get_window(window_.get());
  if (gdk == nullptr || !gtk_widget_get_mapped(window_.get())) return requested_;
  GdkRectangle frame;
  gdk_window_get_frame_extents(gdk, &frame);
  if (style_ != 0 && frame.width == gdk_window_get_width(gdk) && frame.height == gdk_window_get_height(gdk)) {
    const FrameExtents e = toolkit_.ExtentsForStyle(style_);
    return {frame.x - e.left, frame.y - e.top, frame.width + e.left + e.right, frame.height + e.top + e.bottom};
  }
  return {static_cast<double>(frame.x), static_cast<double>(frame.y), static_cast<double>(frame.width),
          static_cast<double>(frame.height)};
}

// The size GTK last gave the shown window, less its menu bar: one answer, where
// the frame and the decoration are two questions to the X server, and the window
// manager's framing can come between them.
Size GtkBackendWindow::ContentSize() const {
  if (zoomingFrom_ || !gtk_widget_get_mapped(window_.get())) return Window::ContentSize();
  int width = 0;
  int height = 0;
  gtk_window_get_size(gtkWindow(), &width, &height);
  return {static_cast<double>(width), height - MenuBarHeight()};
}

FrameExtents GtkBackendWindow::Extents() const {
  FrameExtents extents = Decoration();
  extents.top += MenuBarHeight();
  return extents;
}

double GtkBackendWindow::MenuBarHeight() const {
  if (menuBar_ == nullptr) return 0;
  const int allocated = gtk_widget_get_allocated_height(menuBar_);
  if (gtk_widget_get_mapped(menuBar_) && allocated > 1) return allocated;
  int natural = 0;
  gtk_widget_get_preferred_height(menuBar_, nullptr, &natural);
  return natural;
}

FrameExtents GtkBackendWindow::Decoration() const {
  return FramedDecoration().value_or(toolkit_.ExtentsForStyle(style_));
}

// The decoration the window manager has put around the window, once it has.
std::optional<FrameExtents> GtkBackendWindow::FramedDecoration() const {
  GdkWindow* gdk = gtk_widget_get_window(window_.get());
  if (gdk == nullptr || !gtk_widget_get_mapped(window_.get()) || style_ == 0) return std::nullopt;
  GdkRectangle frame;
  gdk_window_get_frame_extents(gdk, &frame);
  int x = 0;
  int y = 0;
  gdk_window_get_origin(gdk, &x, &y);
  const int width = gdk_window_get_width(gdk);
  const int height = gdk_window_get_height(gdk);
  const FrameExtents extents{static_cast<double>(x - frame.x), static_cast<double>(y - frame.y),
                             static_cast<double>(frame.x + frame.width - x - width),
                             static_cast<double>(frame.y + frame.height - y - height)};
  // Not framed yet: the window manager has still to reparent it.
  if (extents.left == 0 && extents.top == 0 && extents.right == 0 && extents.bottom == 0) return std::nullopt;
  return extents;
}

void GtkBackendWindow::SetFrame(const Rect& frame) {
  const FrameExtents e = Decoration();
  requested_ = frame;
  gtk_window_move(gtkWindow(), Whole(frame.x), Whole(frame.y));
  gtk_window_resize(gtkWindow(), std::max(1, Whole(frame.width - e.left - e.right)),
                    std::max(1, Whole(frame.height - e.top - e.bottom)));
  FixContentSize();
}

// GTK sizes a window the user cannot resize to what it asks for (and one that asks
// for nothing to 200 x 200): such a window asks for the size its frame gives it.
void GtkBackendWindow::FixContentSize() {
  if ((style_ & StyleResizable) != 0) return;
  const FrameExtents e = Decoration();
  gtk_widget_set_size_request(window_.get(), std::max(1, Whole(requested_.width - e.left - e.right)),
                              std::max(1, Whole(requested_.height - e.top - e.bottom)));
}

void GtkBackendWindow::SetContentView(std::unique_ptr<View> view) {
  auto* gtkView = dynamic_cast<GtkBackendView*>(view.get());
  if (gtkView == nullptr) return;
  view.release();
  if (content_ != nullptr) gtk_container_remove(GTK_CONTAINER(box_), content_->widget());
  content_.reset(gtkView);
  gtk_box_pack_end(GTK_BOX(box_), content_->widget(), TRUE, TRUE, 0);
  gtk_widget_show(content_->widget());
}

// The window grows or shrinks by the bar, so the content keeps its size.
void GtkBackendWindow::SetMenuBar(GtkWidget* bar) {
  if (bar == menuBar_) return;
  const Rect frame = Frame();
  const FrameExtents before = Extents();
  if (menuBar_ != nullptr) gtk_container_remove(GTK_CONTAINER(box_), menuBar_);
  menuBar_ = bar;
  if (menuBar_ != nullptr) {
    gtk_box_pack_start(GTK_BOX(box_), menuBar_, FALSE, FALSE, 0);
    gtk_widget_show(menuBar_);
  }
  if (closed_) return;
  const double change = MenuBarHeight() - (before.top - Decoration().top);
  SetFrame({frame.x, frame.y, frame.width, frame.height + change});
}

void GtkBackendWindow::MakeFirstResponder(View* view) {
  auto* gtkView = dynamic_cast<GtkBackendView*>(view);
  gtk_window_set_focus(gtkWindow(), gtkView != nullptr ? gtkView->widget() : nullptr);
}

// The default button looks like one: GTK's suggested-action style.
void GtkBackendWindow::SetDefaultButton(Button* button) {
  if (GtkWidget* old = gtk_window_get_default_widget(gtkWindow())) MarkDefaultButton(old, false);
  auto* gtkView = dynamic_cast<GtkBackendView*>(button);
  GtkWidget* widget = gtkView != nullptr ? gtkView->widget() : nullptr;
  gtk_window_set_default(gtkWindow(), widget);
  if (widget != nullptr) MarkDefaultButton(widget, true);
}

void GtkBackendWindow::OrderFront() {
  gtk_window_set_focus_on_map(gtkWindow(), FALSE);
  gtk_widget_show(window_.get());
  gtk_window_set_focus_on_map(gtkWindow(), TRUE);
}

void GtkBackendWindow::MakeKeyAndOrderFront() { PresentWithUserTime(gtkWindow()); }

void GtkBackendWindow::MakeKey() {
  if (IsVisible()) PresentWithUserTime(gtkWindow());
}

void GtkBackendWindow::Center() {
  const auto screen = toolkit_.MainScreenFrame();
  if (!screen) return;
  const Rect frame = Frame();
  requested_ = {screen->x + (screen->width - frame.width) / 2, screen->y + (screen->height - frame.height) / 2,
                frame.width, frame.height};
  gtk_window_move(gtkWindow(), Whole(requested_.x), Whole(requested_.y));
}

void GtkBackendWindow::Zoom() {
  if (IsZoomed()) {
    gtk_window_unmaximize(gtkWindow());
  } else {
    gtk_window_maximize(gtkWindow());
  }
}

void GtkBackendWindow::Miniaturize() { gtk_window_iconify(gtkWindow()); }

void GtkBackendWindow::Close() {
  if (closed_) return;
  closed_ = true;
  WindowDelegate* delegate = delegate_;
  delegate_ = nullptr;
  if (delegate != nullptr) delegate->WindowWillClose();
  HideNow(window_.get());
  toolkit_.WindowClosed(this);
}

bool GtkBackendWindow::IsVisible() const {
  return !closed_ && gtk_widget_get_visible(window_.get()) && (State() & GDK_WINDOW_STATE_ICONIFIED) == 0;
}

bool GtkBackendWindow::IsZoomed() const { return gtk_window_is_maximized(gtkWindow()); }

bool GtkBackendWindow::IsMiniaturized() const { return (State() & GDK_WINDOW_STATE_ICONIFIED) != 0; }

void GtkBackendWindow::SetLevel(WindowLevel level) {
  level_ = level;
  gtk_window_set_keep_above(gtkWindow(), level == WindowLevel::Floating);
}

void GtkBackendWindow::AddChildWindow(Window* child) {
  if (auto* window = dynamic_cast<GtkBackendWindow*>(child); window != nullptr && window != this) {
    gtk_window_set_transient_for(window->gtkWindow(), gtkWindow());
  }
}

void GtkBackendWindow::RemoveChildWindow(Window* child) {
  auto* window = dynamic_cast<GtkBackendWindow*>(child);
  if (window != nullptr && gtk_window_get_transient_for(window->gtkWindow()) == gtkWindow()) {
    gtk_window_set_transient_for(window->gtkWindow(), nullptr);
  }
}

// The window manager's close button: the delegate decides; GTK never destroys the
// window by itself.
gboolean GtkBackendWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
  auto* window = static_cast<GtkBackendWindow*>(self);
  if (window->delegate_ != nullptr && !window->delegate_->WindowShouldClose()) return TRUE;
  if (window->hidesOnClose_) {
    window->OrderOut();
  } else {
    window->Close();
  }
  return TRUE;
}

// A key that neither the focused widget nor the window took: Escape, while this
// window runs modally, is its close button.
gboolean GtkBackendWindow::OnKeyNotTaken(GtkWidget* widget, GdkEventKey* event, gpointer self) {
  auto* window = static_cast<GtkBackendWindow*>(self);
  const bool plain = (event->state & gtk_accelerator_get_default_mod_mask()) == 0;
  if (event->keyval != GDK_KEY_Escape || !plain || window->toolkit_.modalWindow() != window->gtkWindow()) return FALSE;
  if (gtk_window_get_deletable(window->gtkWindow())) OnDelete(widget, nullptr, self);
  return TRUE;
}

gboolean GtkBackendWindow::OnConfigure(GtkWidget*, GdkEventConfigure* event, gpointer self) {
  auto* window = static_cast<GtkBackendWindow*>(self);
  // Windows made later are framed alike, before the window manager has framed them;
  // a dialog may be framed otherwise than a window of the same style.
  const std::optional<FrameExtents> decoration = window->FramedDecoration();
  if (decoration && gtk_window_get_type_hint(window->gtkWindow()) == GDK_WINDOW_TYPE_HINT_NORMAL) {
    window->toolkit_.RememberExtents(window->style_, *decoration);
  }
  const Rect frame = window->Frame();
  window->requested_ = frame;
  // The configure of a zoom may come before the state change that explains it: a
  // frame that fills the screen is never taken for the user's own.
  const auto screen = window->toolkit_.MainScreenFrame();
  if (!window->IsZoomed() && !(screen && frame.width >= screen->width && frame.height >= screen->height)) {
    window->userFrame_ = frame;
  }
  const bool resized = event->width != window->reportedWidth_ || event->height != window->reportedHeight_;
  const bool moved = Whole(frame.x) != window->reportedX_ || Whole(frame.y) != window->reportedY_;
  window->reportedWidth_ = event->width;
  window->reportedHeight_ = event->height;
  window->reportedX_ = Whole(frame.x);
  window->reportedY_ = Whole(frame.y);
  if (window->content_ != nullptr) {
    window->content_->SetFrame({0, 0, double(event->width), double(event->height) - window->MenuBarHeight()});
  }
  if (window->delegate_ != nullptr && resized) window->delegate_->WindowDidResize();
  if (window->delegate_ != nullptr && moved) window->delegate_->WindowDidMove();
  return FALSE;
}

// The window manager zooms and miniaturises by itself and then reports it: the
// delegate hears of a zoom before the resize that carries it.
gboolean GtkBackendWindow::OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer self) {
  auto* window = static_cast<GtkBackendWindow*>(self);
  WindowDelegate* delegate = window->delegate_;
  if (delegate == nullptr) return FALSE;
  if ((event->changed_mask & GDK_WINDOW_STATE_ICONIFIED) != 0) {
    if ((event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0) {
      delegate->WindowDidMiniaturize();
    } else {
      delegate->WindowDidDeminiaturize();
    }
  }
  if ((event->changed_mask & GDK_WINDOW_STATE_MAXIMIZED) != 0) {
    const bool maximized = (event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
    const Rect screen = window->toolkit_.MainScreenFrame().value_or(window->userFrame_);
    window->zoomingFrom_ = maximized ? window->userFrame_ : screen;
    delegate->WindowShouldZoom(maximized ? screen : window->userFrame_);
    window->zoomingFrom_.reset();
    // The resize may have been reported already; the zoom goes out with this one.
    if (window->delegate_ != nullptr) window->delegate_->WindowDidResize();
  }
  return FALSE;
}

void GtkBackendWindow::OnActive(GObject*, GParamSpec*, gpointer self) {
  auto* window = static_cast<GtkBackendWindow*>(self);
  window->toolkit_.ActiveChanged(window, gtk_window_is_active(window->gtkWindow()));
}

}  // namespace zeb::platform
