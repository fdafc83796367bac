#include "platform/gtk/gtk_text_view.h"

#include <cstring>

#include "platform/gtk/gtk_bitmap.h"
#include "platform/gtk/gtk_strings.h"

namespace zeb::platform {
namespace {

constexpr int kTextMargin = 4;

uint32_t OperationsOf(GdkDragAction actions) {
  uint32_t operations = DragNone;
  if ((actions & GDK_ACTION_DEFAULT) != 0) operations |= DragGeneric;
  if ((actions & GDK_ACTION_COPY) != 0) operations |= DragCopy;
  if ((actions & GDK_ACTION_MOVE) != 0) operations |= DragMove;
  if ((actions & GDK_ACTION_LINK) != 0) operations |= DragLink;
  return operations;
}

GdkDragAction ActionOf(uint32_t operation, GdkDragContext* context) {
  switch (operation) {
    case DragCopy:
      return GDK_ACTION_COPY;
    case DragMove:
      return GDK_ACTION_MOVE;
    case DragLink:
      return GDK_ACTION_LINK;
    case DragGeneric:
      return gdk_drag_context_get_suggested_action(context);
    default:
      return static_cast<GdkDragAction>(0);
  }
}

// What the view takes, in the order it prefers: images, then files, then text.
GtkTargetList* DropTargets() {
  GtkTargetList* targets = gtk_target_list_new(nullptr, 0);
  gtk_target_list_add_image_targets(targets, 0, FALSE);
  gtk_target_list_add_uri_targets(targets, 0);
  gtk_target_list_add_text_targets(targets, 0);
  return targets;
}

std::unique_ptr<Bitmap> BitmapOf(GdkPixbuf* pixbuf) {
  if (pixbuf == nullptr) return nullptr;
  const GObjectPtr<GdkPixbuf> withAlpha(gdk_pixbuf_add_alpha(pixbuf, FALSE, 0, 0, 0));
  g_object_unref(pixbuf);
  if (withAlpha == nullptr || gdk_pixbuf_get_bits_per_sample(withAlpha.get()) != 8) return nullptr;
  const int width = gdk_pixbuf_get_width(withAlpha.get());
  const int height = gdk_pixbuf_get_height(withAlpha.get());
  std::unique_ptr<GtkBitmap> bitmap = GtkBitmap::Create(width, height);
  if (bitmap == nullptr) return nullptr;
  const int stride = gdk_pixbuf_get_rowstride(withAlpha.get());
  const guchar* pixels = gdk_pixbuf_read_pixels(withAlpha.get());
  for (int row = 0; row < height; ++row) {
    std::memcpy(bitmap->Pixels() + static_cast<size_t>(row) * width * 4, pixels + static_cast<size_t>(row) * stride,
                static_cast<size_t>(width) * 4);
  }
  return bitmap;
}

// The local paths of the file URIs; other URIs are left out.
std::optional<std::vector<ToolkitString>> PathsOf(GtkSelectionData* data) {
  gchar** uris = gtk_selection_data_get_uris(data);
  if (uris == nullptr) return std::nullopt;
  std::vector<ToolkitString> paths;
  for (gchar** uri = uris; *uri != nullptr; ++uri) {
    const GCharPtr path(g_filename_from_uri(*uri, nullptr, nullptr));
    if (path != nullptr) paths.push_back(FromUTF8(path.get()));
  }
  g_strfreev(uris);
  if (paths.empty()) return std::nullopt;
  return paths;
}

// What the drop delivered, read as the kind of target it was asked for.
DragContents ContentsOf(GtkSelectionData* data) {
  DragContents contents;
  if (gtk_selection_data_get_length(data) < 0) return contents;
  if (gtk_selection_data_get_target(data) == gdk_atom_intern_static_string("text/uri-list")) {
    contents.files = PathsOf(data);
  } else if (GdkPixbuf* pixbuf = gtk_selection_data_get_pixbuf(data)) {
    contents.image = BitmapOf(pixbuf);
  } else if (const GCharPtr text{reinterpret_cast<gchar*>(gtk_selection_data_get_text(data))}; text != nullptr) {
    contents.text = FromUTF8(text.get());
  }
  return contents;
}

}  // namespace

GtkBackendTextView::GtkBackendTextView(std::unique_ptr<ViewDelegate> delegate)
    : GtkBackendView(gtk_text_view_new(), std::move(delegate)), style_(widget(), "textview") {
  changed_ = SignalConnection(buffer(), "changed", G_CALLBACK(OnChanged), this);
  // The small inner margins of a text editor at the sides: the text and the insertion
  // point clear the edges. (A top or bottom margin makes GTK lay out a long text
  // many times over: a 10 MiB text took seconds to show.)
  gtk_text_view_set_left_margin(GTK_TEXT_VIEW(widget()), kTextMargin);
  gtk_text_view_set_right_margin(GTK_TEXT_VIEW(widget()), kTextMargin);
  GtkTargetList* targets = DropTargets();
  gtk_drag_dest_set(widget(), static_cast<GtkDestDefaults>(0), nullptr, 0,
                    static_cast<GdkDragAction>(GDK_ACTION_COPY | GDK_ACTION_MOVE | GDK_ACTION_LINK));
  gtk_drag_dest_set_target_list(widget(), targets);
  gtk_target_list_unref(targets);
  dragMotion_ = SignalConnection(widget(), "drag-motion", G_CALLBACK(OnDragMotion), this);
  dragLeave_ = SignalConnection(widget(), "drag-leave", G_CALLBACK(OnDragLeave), this);
  dragDrop_ = SignalConnection(widget(), "drag-drop", G_CALLBACK(OnDragDrop), this);
  dragReceived_ = SignalConnection(widget(), "drag-data-received", G_CALLBACK(OnDragDataReceived), this);
  gtk_widget_show(widget());
}

void GtkBackendTextView::SetString(const ToolkitString& text) {
  settingText_ = true;
  const std::string utf8 = ToUTF8(text);
  gtk_text_buffer_set_text(buffer(), utf8.data(), static_cast<gint>(utf8.size()));
  GtkTextIter start;
  gtk_text_buffer_get_start_iter(buffer(), &start);
  gtk_text_buffer_place_cursor(buffer(), &start);
  settingText_ = false;
}

ToolkitString GtkBackendTextView::String() const {
  GtkTextIter start;
  GtkTextIter end;
  gtk_text_buffer_get_bounds(buffer(), &start, &end);
  const GCharPtr text(gtk_text_buffer_get_text(buffer(), &start, &end, TRUE));
  return FromUTF8(text.get());
}

void GtkBackendTextView::AppendString(const ToolkitString& text) {
  settingText_ = true;
  const std::string utf8 = ToUTF8(text);
  GtkTextIter end;
  gtk_text_buffer_get_end_iter(buffer(), &end);
  gtk_text_buffer_insert(buffer(), &end, utf8.data(), static_cast<gint>(utf8.size()));
  settingText_ = false;
}

void GtkBackendTextView::SetFont(SharedFont font) {
  if (font != nullptr) style_.SetFont(std::move(font));
}

void GtkBackendTextView::SetEditable(bool editable) { gtk_text_view_set_editable(GTK_TEXT_VIEW(widget()), editable); }

bool GtkBackendTextView::IsEditable() const { return gtk_text_view_get_editable(GTK_TEXT_VIEW(widget())); }

void GtkBackendTextView::SetWrapsLines(bool wraps) {
  gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(widget()), wraps ? GTK_WRAP_WORD_CHAR : GTK_WRAP_NONE);
}

bool GtkBackendTextView::WrapsLines() const {
  return gtk_text_view_get_wrap_mode(GTK_TEXT_VIEW(widget())) != GTK_WRAP_NONE;
}

void GtkBackendTextView::SetTextColor(const ColorComponents& color) {
  textColor_ = color;
  style_.SetColors(textColor_, backgroundColor_);
}

void GtkBackendTextView::SetBackgroundColor(const ColorComponents& color) {
  backgroundColor_ = color;
  style_.SetColors(textColor_, backgroundColor_);
}

void GtkBackendTextView::SetSelection(int64_t start, int64_t end) {
  const ToolkitString text = String();
  GtkTextIter from;
  GtkTextIter to;
  gtk_text_buffer_get_iter_at_offset(buffer(), &from, static_cast<gint>(UnitsToCharacters(text, start)));
  gtk_text_buffer_get_iter_at_offset(buffer(), &to, static_cast<gint>(UnitsToCharacters(text, end)));
  gtk_text_buffer_select_range(buffer(), &from, &to);
}

std::pair<int64_t, int64_t> GtkBackendTextView::Selection() const {
  GtkTextIter from;
  GtkTextIter to;
  gtk_text_buffer_get_selection_bounds(buffer(), &from, &to);
  const ToolkitString text = String();
  return {CharactersToUnits(text, gtk_text_iter_get_offset(&from)), CharactersToUnits(text, gtk_text_iter_get_offset(&to))};
}

void GtkBackendTextView::OnChanged(GtkTextBuffer*, gpointer self) {
  auto* view = static_cast<GtkBackendTextView*>(self);
  if (!view->settingText_ && view->textDelegate_ != nullptr) view->textDelegate_->TextDidChange();
}

DraggingInfo GtkBackendTextView::Dragging(GdkDragContext* context, gint x, gint y) const {
  DraggingInfo info;
  info.sourceOperations = OperationsOf(gdk_drag_context_get_actions(context));
  info.location = {static_cast<double>(x), static_cast<double>(y)};
  return info;
}

// The delegate answers the operation; a drag that offers nothing the view takes,
// or a view without a delegate, gets none.
gboolean GtkBackendTextView::OnDragMotion(GtkWidget* widget, GdkDragContext* context, gint x, gint y, guint time,
                                          gpointer self) {
  auto* view = static_cast<GtkBackendTextView*>(self);
  uint32_t operation = DragNone;
  if (view->delegate() != nullptr && gtk_drag_dest_find_target(widget, context, nullptr) != GDK_NONE) {
    const DraggingInfo info = view->Dragging(context, x, y);
    operation = view->dragEntered_ ? view->delegate()->DraggingUpdated(info) : view->delegate()->DraggingEntered(info);
    view->dragEntered_ = true;
  }
  gdk_drag_status(context, ActionOf(operation, context), time);
  return TRUE;
}

void GtkBackendTextView::OnDragLeave(GtkWidget* widget, GdkDragContext*, guint, gpointer self) {
  static_cast<GtkBackendTextView*>(self)->dragEntered_ = false;
  g_signal_stop_emission_by_name(widget, "drag-leave");
}

gboolean GtkBackendTextView::OnDragDrop(GtkWidget* widget, GdkDragContext* context, gint x, gint y, guint time,
                                        gpointer self) {
  auto* view = static_cast<GtkBackendTextView*>(self);
  view->dragEntered_ = false;
  const GdkAtom target = gtk_drag_dest_find_target(widget, context, nullptr);
  if (view->delegate() == nullptr || target == GDK_NONE ||
      !view->delegate()->PrepareForDragOperation(view->Dragging(context, x, y))) {
    gtk_drag_finish(context, FALSE, FALSE, time);
    return TRUE;
  }
  gtk_drag_get_data(widget, context, target, time);
  return TRUE;
}

void GtkBackendTextView::OnDragDataReceived(GtkWidget* widget, GdkDragContext* context, gint x, gint y,
                                            GtkSelectionData* data, guint, guint time, gpointer self) {
  auto* view = static_cast<GtkBackendTextView*>(self);
  g_signal_stop_emission_by_name(widget, "drag-data-received");
  DraggingInfo info = view->Dragging(context, x, y);
  info.contents = ContentsOf(data);
  const bool taken = view->delegate() != nullptr && view->delegate()->PerformDragOperation(info);
  gtk_drag_finish(context, taken, FALSE, time);
}

GtkBackendScrollView::GtkBackendScrollView() : GtkBackendView(gtk_scrolled_window_new(nullptr, nullptr)) {
  gtk_widget_show(widget());
}

void GtkBackendScrollView::SetDocumentView(std::unique_ptr<View> view) {
  auto* document = dynamic_cast<GtkBackendView*>(view.get());
  if (document == nullptr) return;
  if (auto* old = dynamic_cast<GtkBackendView*>(document_.get())) gtk_container_remove(GTK_CONTAINER(widget()), old->widget());
  // The document takes the size the scroll view gives it.
  gtk_widget_set_size_request(document->widget(), -1, -1);
  gtk_container_add(GTK_CONTAINER(widget()), document->widget());
  gtk_widget_show(document->widget());
  document_ = std::move(view);
}

void GtkBackendScrollView::SetScrollers(bool vertical, bool horizontal, bool autohides) {
  const auto policy = [autohides](bool has) {
    if (!has) return GTK_POLICY_NEVER;
    return autohides ? GTK_POLICY_AUTOMATIC : GTK_POLICY_ALWAYS;
  };
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(widget()), policy(horizontal), policy(vertical));
}

void GtkBackendScrollView::SetBezelBorder(bool bezel) {
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(widget()), bezel ? GTK_SHADOW_IN : GTK_SHADOW_NONE);
}

}  // namespace zeb::platform
