#include "platform/gtk/gtk_view.h"

#include <algorithm>

#include "platform/gtk/gtk_strings.h"

namespace zeb::platform {
namespace {

// The largest size an X window takes.
constexpr double kLargestSide = 32767;

int Side(double value) { return static_cast<int>(std::clamp(value, 0.0, kLargestSide)); }

}  // namespace

GtkBackendView::GtkBackendView(GtkWidget* widget, std::unique_ptr<ViewDelegate> delegate)
    : widget_(OwnWidget(widget)), delegate_(std::move(delegate)) {
  if (delegate_ != nullptr && gtk_widget_get_can_focus(widget)) {
    focus_ = SignalConnection(widget, "notify::is-focus", G_CALLBACK(OnFocusChanged), this);
  }
}

GtkBackendView::GtkBackendView(std::unique_ptr<ViewDelegate> delegate) : GtkBackendView(gtk_event_box_new()) {
  delegate_ = std::move(delegate);
  layout_ = gtk_layout_new(nullptr, nullptr);
  gtk_widget_add_events(layout_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
  gtk_container_add(GTK_CONTAINER(widget()), layout_);
  gtk_widget_add_events(widget(), GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
  if (delegate_ != nullptr) {
    draw_ = SignalConnection(widget(), "draw", G_CALLBACK(OnDraw), this);
    press_ = SignalConnection(widget(), "button-press-event", G_CALLBACK(OnButtonPress), this);
    release_ = SignalConnection(widget(), "button-release-event", G_CALLBACK(OnButtonRelease), this);
  }
  gtk_widget_show_all(widget());
}

namespace {
constexpr char kWindowBoxKey[] = "zeb-window-box";
}  // namespace

void MarkWindowBox(GtkWidget* box) { g_object_set_data(G_OBJECT(box), kWindowBoxKey, box); }

bool IsWindowBox(GtkWidget* widget) { return g_object_get_data(G_OBJECT(widget), kWindowBoxKey) != nullptr; }

void GtkBackendView::SetFrame(const Rect& frame) {
  frame_ = {frame.x, frame.y, std::max(frame.width, 0.0), std::max(frame.height, 0.0)};
  GtkWidget* parent = gtk_widget_get_parent(widget());
  // A content view takes the size its window gives it, a document view the size
  // its scroll view gives it.
  if (parent != nullptr && (IsWindowBox(parent) || GTK_IS_SCROLLED_WINDOW(parent))) return;
  if (parent != nullptr && GTK_IS_LAYOUT(parent)) {
    gtk_layout_move(GTK_LAYOUT(parent), widget(), static_cast<int>(frame.x), static_cast<int>(frame.y));
  }
  gtk_widget_set_size_request(widget(), Side(frame_.width), Side(frame_.height));
}

void GtkBackendView::AddSubview(std::unique_ptr<View> subview) {
  auto* view = dynamic_cast<GtkBackendView*>(subview.get());
  if (view == nullptr || layout_ == nullptr) return;
  const Rect frame = view->Frame();
  gtk_layout_put(GTK_LAYOUT(layout_), view->widget(), static_cast<int>(frame.x), static_cast<int>(frame.y));
  gtk_widget_show(view->widget());
  view->superview_ = this;
  subviews_.push_back(std::move(subview));
}

void GtkBackendView::RemoveFromSuperview() {
  if (superview_ != nullptr) superview_->RemoveSubview(this);
}

void GtkBackendView::RemoveSubview(const GtkBackendView* view) {
  const auto found = std::find_if(subviews_.begin(), subviews_.end(),
                                  [view](const auto& subview) { return subview.get() == view; });
  if (found == subviews_.end()) return;
  // Out of the list first: the view's teardown may look at the tree.
  const std::unique_ptr<View> removed = std::move(*found);
  subviews_.erase(found);
}

void GtkBackendView::OnFocusChanged(GObject*, GParamSpec*, gpointer self) {
  auto* view = static_cast<GtkBackendView*>(self);
  if (gtk_widget_is_focus(view->widget())) {
    view->delegate_->BecameFirstResponder();
  } else {
    view->delegate_->ResignedFirstResponder();
  }
}

gboolean GtkBackendView::OnDraw(GtkWidget*, cairo_t*, gpointer self) {
  auto* view = static_cast<GtkBackendView*>(self);
  view->delegate_->DrawRect({0, 0, view->frame_.width, view->frame_.height});
  return FALSE;
}

// GDK reports a second and a third press in a row as extra press events of their
// own kind; the release that follows carries that count.
gboolean GtkBackendView::OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer self) {
  auto* view = static_cast<GtkBackendView*>(self);
  if (event->type == GDK_BUTTON_PRESS) view->clickCount_ = 1;
  if (event->type == GDK_2BUTTON_PRESS) view->clickCount_ = 2;
  if (event->type == GDK_3BUTTON_PRESS) view->clickCount_ = 3;
  return FALSE;
}

gboolean GtkBackendView::OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer self) {
  auto* view = static_cast<GtkBackendView*>(self);
  if (event->button == GDK_BUTTON_PRIMARY) view->delegate_->MouseUp(view->clickCount_);
  if (event->button == GDK_BUTTON_SECONDARY) view->delegate_->RightMouseUp(view->clickCount_);
  return FALSE;
}

Size GtkBackendView::NaturalSize() const {
  GtkRequisition natural{};
  gtk_widget_get_preferred_size(widget(), nullptr, &natural);
  return {static_cast<double>(natural.width), static_cast<double>(natural.height)};
}

GtkBackendTextField::GtkBackendTextField(bool secure) : GtkBackendView(gtk_entry_new()) {
  gtk_entry_set_visibility(GTK_ENTRY(widget()), !secure);
  gtk_entry_set_activates_default(GTK_ENTRY(widget()), TRUE);
  gtk_widget_show(widget());
}

ToolkitString GtkBackendTextField::Text() const { return FromUTF8(gtk_entry_get_text(GTK_ENTRY(widget()))); }

void GtkBackendTextField::SetText(const ToolkitString& text) {
  gtk_entry_set_text(GTK_ENTRY(widget()), ToUTF8(text).c_str());
}

void GtkBackendTextField::SetSelection(int64_t start, int64_t end) {
  const ToolkitString text = Text();
  gtk_editable_select_region(GTK_EDITABLE(widget()), static_cast<gint>(UnitsToCharacters(text, start)),
                             static_cast<gint>(UnitsToCharacters(text, end)));
}

std::pair<int64_t, int64_t> GtkBackendTextField::Selection() const {
  gint start = 0;
  gint end = 0;
  if (!gtk_editable_get_selection_bounds(GTK_EDITABLE(widget()), &start, &end)) {
    start = end = gtk_editable_get_position(GTK_EDITABLE(widget()));
  }
  const ToolkitString text = Text();
  return {CharactersToUnits(text, start), CharactersToUnits(text, end)};
}

}  // namespace zeb::platform
