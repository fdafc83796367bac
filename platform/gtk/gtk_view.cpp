#include "platform/gtk/gtk_view.h"

#include "platform/gtk/gtk_strings.h"

namespace zeb::platform {

GtkBackendView::GtkBackendView(GtkWidget* widget) : widget_(OwnWidget(widget)) {}

GtkBackendView::GtkBackendView(std::unique_ptr<ViewDelegate> delegate)
    : GtkBackendView(gtk_event_box_new()) {
  delegate_ = std::move(delegate);
  fixed_ = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(widget()), fixed_);
  gtk_widget_add_events(widget(), GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
  if (delegate_ != nullptr) {
    draw_ = SignalConnection(widget(), "draw", G_CALLBACK(OnDraw), this);
    press_ = SignalConnection(widget(), "button-press-event", G_CALLBACK(OnButtonPress), this);
    release_ = SignalConnection(widget(), "button-release-event", G_CALLBACK(OnButtonRelease), this);
  }
  gtk_widget_show_all(widget());
}

void GtkBackendView::SetFrame(const Rect& frame) {
  frame_ = frame;
  GtkWidget* parent = gtk_widget_get_parent(widget());
  // A content view takes the size its window gives it.
  if (parent != nullptr && GTK_IS_WINDOW(parent)) return;
  if (parent != nullptr && GTK_IS_FIXED(parent)) {
    gtk_fixed_move(GTK_FIXED(parent), widget(), static_cast<int>(frame.x), static_cast<int>(frame.y));
  }
  gtk_widget_set_size_request(widget(), static_cast<int>(frame.width), static_cast<int>(frame.height));
}

void GtkBackendView::AddSubview(std::unique_ptr<View> subview) {
  auto* view = dynamic_cast<GtkBackendView*>(subview.get());
  if (view == nullptr || fixed_ == nullptr) return;
  const Rect frame = view->Frame();
  gtk_fixed_put(GTK_FIXED(fixed_), view->widget(), static_cast<int>(frame.x), static_cast<int>(frame.y));
  gtk_widget_show(view->widget());
  subviews_.push_back(std::move(subview));
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
