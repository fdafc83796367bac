#include "platform/gtk/gtk_toolkit.h"

#include <algorithm>
#include <utility>

#include <gdk/gdkx.h>

#include "platform/gtk/gtk_bitmap.h"
#include "platform/gtk/gtk_controls.h"
#include "platform/gtk/gtk_dialog_parent.h"
#include "platform/gtk/gtk_file_panel.h"
#include "platform/gtk/gtk_fonts.h"
#include "platform/gtk/gtk_text_view.h"
#include "platform/gtk/gtk_user_time.h"
#include "platform/gtk/gtk_strings.h"
#include "platform/gtk/gtk_style.h"
#include "platform/closed_windows.h"
#include "platform/key_window.h"

namespace zeb::platform {
namespace {

// What a window manager's title bar and border commonly take, until a framed
// window shows the real decoration.
constexpr FrameExtents kTypicalTitledExtents{1, 22, 1, 1};

// GTK's own handling of an event, for the times the runtime does not wait.
void DispatchToGtk(GdkEvent* event, gpointer) { gtk_main_do_event(event); }

// Ends a GLib wait at the deadline.
gboolean EndWait(gpointer) { return G_SOURCE_REMOVE; }

// A text view's editing action, when it has one; GTK's text views keep no undo.
// Cut, copy and paste go through the runtime's pasteboard, as for entries.
bool PerformOnTextView(GtkTextView* view, EditingAction action, Pasteboard& pasteboard) {
  GtkTextBuffer* buffer = gtk_text_view_get_buffer(view);
  const bool editable = gtk_text_view_get_editable(view);
  GtkTextIter start;
  GtkTextIter end;
  const bool selected = gtk_text_buffer_get_selection_bounds(buffer, &start, &end);
  switch (action) {
    case EditingAction::Cut:
    case EditingAction::Copy:
      if (selected) {
        const GCharPtr text(gtk_text_buffer_get_text(buffer, &start, &end, TRUE));
        pasteboard.SetText(FromUTF8(text.get()));
        if (action == EditingAction::Cut) gtk_text_buffer_delete_selection(buffer, TRUE, editable);
      }
      return true;
    case EditingAction::Paste:
      if (const auto text = pasteboard.Text(); text && editable) {
        gtk_text_buffer_delete_selection(buffer, TRUE, TRUE);
        const std::string utf8 = ToUTF8(*text);
        gtk_text_buffer_insert_interactive_at_cursor(buffer, utf8.data(), static_cast<gint>(utf8.size()), TRUE);
        gtk_text_view_scroll_mark_onscreen(view, gtk_text_buffer_get_insert(buffer));
      }
      return true;
    case EditingAction::SelectAll:
      gtk_text_buffer_get_bounds(buffer, &start, &end);
      gtk_text_buffer_select_range(buffer, &start, &end);
      return true;
    case EditingAction::Undo:
    case EditingAction::Redo:
      return false;
  }
  return false;
}

// The widget's editing action, when it has one; GTK's entries keep no undo.
bool PerformOnEditable(GtkWidget* widget, EditingAction action, Pasteboard& pasteboard) {
  if (widget != nullptr && GTK_IS_TEXT_VIEW(widget)) return PerformOnTextView(GTK_TEXT_VIEW(widget), action, pasteboard);
  if (widget == nullptr || !GTK_IS_EDITABLE(widget)) return false;
  GtkEditable* editable = GTK_EDITABLE(widget);
  gint start = 0;
  gint end = 0;
  const bool selected = gtk_editable_get_selection_bounds(editable, &start, &end);
  // Cut, copy and paste go through the runtime's pasteboard, so the clipboard
  // keeps one owner in this process.
  switch (action) {
    case EditingAction::Cut:
    case EditingAction::Copy:
      if (selected) {
        const GCharPtr text(gtk_editable_get_chars(editable, start, end));
        pasteboard.SetText(FromUTF8(text.get()));
        if (action == EditingAction::Cut) gtk_editable_delete_selection(editable);
      }
      return true;
    case EditingAction::Paste:
      if (const auto text = pasteboard.Text()) {
        gtk_editable_delete_selection(editable);
        gint position = gtk_editable_get_position(editable);
        const std::string utf8 = ToUTF8(*text);
        gtk_editable_insert_text(editable, utf8.c_str(), static_cast<gint>(utf8.size()), &position);
        gtk_editable_set_position(editable, position);
      }
      return true;
    case EditingAction::SelectAll:
      gtk_editable_select_region(editable, 0, -1);
      return true;
    case EditingAction::Undo:
    case EditingAction::Redo:
      return false;
  }
  return false;
}

}  // namespace

GtkToolkit::GtkToolkit(std::unique_ptr<Pasteboard> pasteboard) : pasteboard_(std::move(pasteboard)) {}

GtkToolkit::~GtkToolkit() {
  for (GdkEvent* event : queue_) {
    if (event != nullptr) gdk_event_free(event);
  }
}

Capabilities GtkToolkit::capabilities() const {
  GdkScreen* screen = gdk_screen_get_default();
  const bool managed = screen != nullptr && gdk_x11_screen_supports_net_wm_hint(
                                                screen, gdk_atom_intern_static_string("_NET_WM_STATE_MAXIMIZED_VERT"));
  return {.windows = true, .zoom = managed, .miniaturize = managed};
}

void GtkToolkit::TakeEvent(GdkEvent* event, gpointer self) {
  auto* toolkit = static_cast<GtkToolkit*>(self);
  toolkit->queue_.push_back(gdk_event_copy(event));
  toolkit->lastEvent_ = Clock::now();
}

std::unique_ptr<ToolkitEvent> GtkToolkit::NextEvent(Deadline until) {
  // While the runtime waits, GDK hands its events here instead of dispatching them.
  gdk_event_handler_set(TakeEvent, this, nullptr);
  while (queue_.empty()) {
    const auto now = Clock::now();
    if (until != Deadline::max() && now >= until) break;
    guint timer = 0;
    if (until != Deadline::max()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
      timer = g_timeout_add(static_cast<guint>(std::max<int64_t>(left, 1)), EndWait, nullptr);
    }
    g_main_context_iteration(nullptr, TRUE);
    if (timer != 0) {
      GSource* source = g_main_context_find_source_by_id(nullptr, timer);
      if (source != nullptr) g_source_destroy(source);
    }
  }
  gdk_event_handler_set(DispatchToGtk, nullptr, nullptr);
  if (queue_.empty()) return nullptr;
  GdkEvent* event = queue_.front();
  queue_.pop_front();
  return std::make_unique<GtkToolkitEvent>(event);
}

bool GtkToolkit::HasPendingEvent() { return !queue_.empty() || gdk_events_pending(); }

void GtkToolkit::PostWakeUpEvent() {
  queue_.push_front(nullptr);
  g_main_context_wakeup(nullptr);
}

void GtkToolkit::SendEvent(const ToolkitEvent& toolkitEvent) {
  const auto* event = dynamic_cast<const GtkToolkitEvent*>(&toolkitEvent);
  if (event == nullptr || event->event() == nullptr) return;
  GdkEvent* gdk = event->event();
  // Modifier keys alone are no key events of their own on other toolkits.
  if (gdk->type == GDK_KEY_PRESS && !gdk->key.is_modifier) {
    if (GtkBackendWindow* window = WindowOf(gdk->key.window)) window->CountKeyEvent();
  }
  gtk_main_do_event(gdk);
}

bool GtkToolkit::SendAction(EditingAction action) {
  return key_ != nullptr && PerformOnEditable(key_->Focus(), action, *pasteboard_);
}

// GTK redraws from its frame clock during the loop's own iterations.
void GtkToolkit::UpdateWindows() {}

std::optional<Rect> GtkToolkit::MainScreenFrame() const {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return std::nullopt;
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
  if (monitor == nullptr) return std::nullopt;
  GdkRectangle area;
  gdk_monitor_get_geometry(monitor, &area);
  return Rect{static_cast<double>(area.x), static_cast<double>(area.y), static_cast<double>(area.width),
              static_cast<double>(area.height)};
}

FrameExtents GtkToolkit::ExtentsForStyle(uint32_t style) const {
  if (style == 0) return {};
  if (const auto known = extents_.find(style); known != extents_.end()) return known->second;
  return lastExtents_.value_or(kTypicalTitledExtents);
}

void GtkToolkit::RememberExtents(uint32_t style, const FrameExtents& extents) const {
  extents_[style] = extents;
  lastExtents_ = extents;
}

Window* GtkToolkit::CreateWindow(const Rect& content, uint32_t style) {
  const FrameExtents e = ExtentsForStyle(style);
  const Rect frame{content.x - e.left, content.y - e.top, content.width + e.left + e.right,
                   content.height + e.top + e.bottom};
  windows_.push_back(std::make_unique<GtkBackendWindow>(*this, frame, style));
  return windows_.back().get();
}

std::unique_ptr<View> GtkToolkit::CreateView(std::unique_ptr<ViewDelegate> delegate) {
  return std::make_unique<GtkBackendView>(std::move(delegate));
}

std::unique_ptr<TextField> GtkToolkit::CreateTextField(bool secure) {
  return std::make_unique<GtkBackendTextField>(secure);
}

std::unique_ptr<Button> GtkToolkit::CreateButton(ButtonType type, std::unique_ptr<ViewDelegate> delegate) {
  return std::make_unique<GtkBackendButton>(type, std::move(delegate));
}

std::unique_ptr<TextView> GtkToolkit::CreateTextView(std::unique_ptr<ViewDelegate> delegate) {
  return std::make_unique<GtkBackendTextView>(std::move(delegate));
}

std::unique_ptr<ScrollView> GtkToolkit::CreateScrollView() { return std::make_unique<GtkBackendScrollView>(); }

SharedFont GtkToolkit::FontWithFamily(const ToolkitString& family, uint32_t traits, double size) {
  return GtkFontWithFamily(family, traits, size);
}

SharedFont GtkToolkit::SystemFont(double size) { return GtkSystemFont(size); }

std::unique_ptr<Label> GtkToolkit::CreateLabel() { return std::make_unique<GtkBackendLabel>(); }

int64_t GtkToolkit::RunModalLoop(GtkWindow* window) {
  GtkWindow* outer = modal_;
  const std::optional<int64_t> outerCode = stopCode_;
  modal_ = window;
  ++modalSerial_;
  stopCode_.reset();
  if (window != nullptr) gtk_window_set_modal(window, TRUE);
  while (!stopCode_) g_main_context_iteration(nullptr, TRUE);
  if (window != nullptr) gtk_window_set_modal(window, FALSE);
  const int64_t code = *stopCode_;
  modal_ = outer;
  stopCode_ = outerCode;
  return code;
}

int64_t GtkToolkit::RunModal(Window& window) {
  auto* gtk = dynamic_cast<GtkBackendWindow*>(&window);
  if (gtk == nullptr) return 0;
  // A modal window is a dialog, opened over the window the user is in; the colour
  // panel, kept between calls, keeps the place it was last in.
  gtk_window_set_type_hint(gtk->gtkWindow(), GDK_WINDOW_TYPE_HINT_DIALOG);
  const bool colorPanel = colorPanel_ != nullptr && &colorPanel_->window() == &window;
  const bool kept = colorPanel && std::exchange(colorPanelShown_, true);
  const DialogParent parent(gtk->gtkWindow(), key_, kept ? DialogParent::Placement::AsPlaced : DialogParent::Placement::OverParent);
  gtk->MakeKeyAndOrderFront();
  return RunModalLoop(gtk->gtkWindow());
}

void GtkToolkit::StopModal(int64_t code) {
  stopCode_ = code;
  g_main_context_wakeup(nullptr);
}

int64_t GtkToolkit::RunAlert(const ToolkitString& message, const ToolkitString& informative,
                             const std::vector<AlertButton>& buttons) {
  const OwnedWidget dialog = OwnWidget(gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL,
                                                              buttons.empty() ? GTK_MESSAGE_INFO : GTK_MESSAGE_QUESTION,
                                                              GTK_BUTTONS_NONE, "%s", ToUTF8(message).c_str()));
  gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog.get()), "%s", ToUTF8(informative).c_str());
  // The first button is the default one, rightmost; GTK lays later buttons to the
  // right of earlier ones.
  std::vector<AlertButton> shown = buttons;
  if (shown.empty()) shown.push_back({u"OK", kAlertDefaultButtonTag});
  for (auto button = shown.rbegin(); button != shown.rend(); ++button) {
    gtk_dialog_add_button(GTK_DIALOG(dialog.get()), ToUTF8(button->title).c_str(), static_cast<gint>(button->tag));
  }
  gtk_dialog_set_default_response(GTK_DIALOG(dialog.get()), static_cast<gint>(shown.front().tag));
  MarkDefaultButton(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog.get()), static_cast<gint>(shown.front().tag)), true);
  gtk_window_set_position(GTK_WINDOW(dialog.get()), GTK_WIN_POS_CENTER);
  gtk_window_set_keep_above(GTK_WINDOW(dialog.get()), TRUE);
  // GTK keeps a message out of the task bar; one that belongs to no window is
  // listed there, as the other dialogs are.
  gtk_window_set_skip_taskbar_hint(GTK_WINDOW(dialog.get()), FALSE);
  const SignalConnection response(dialog.get(), "response", G_CALLBACK(OnAlertResponse), this);
  const DialogParent parent(GTK_WINDOW(dialog.get()), key_, DialogParent::Placement::OverParent);
  PresentWithUserTime(GTK_WINDOW(dialog.get()));
  const int64_t tag = RunModalLoop(GTK_WINDOW(dialog.get()));
  HideNow(dialog.get());
  return tag != 0 ? tag : ClosedAlertTag(buttons);
}

// A button's response is its tag; closing the alert otherwise gives 0.
void GtkToolkit::OnAlertResponse(GtkDialog*, gint response, gpointer self) {
  static_cast<GtkToolkit*>(self)->StopModal(response > 0 ? response : 0);
}

std::unique_ptr<FilePanel> GtkToolkit::CreateFilePanel(FilePanelMode mode) {
  return std::make_unique<GtkFilePanel>(*this, mode);
}

ColorPanel* GtkToolkit::SharedColorPanel() {
  if (colorPanel_ == nullptr) {
    auto* window = static_cast<GtkBackendWindow*>(CreateWindow({0, 0, 1, 1}, StyleTitled | StyleClosable));
    colorPanel_ = std::make_unique<GtkColorPanel>(*window);
    // The panel starts at the size its chooser asks for, in the middle of the screen.
    GtkRequisition natural{};
    gtk_widget_get_preferred_size(GTK_WIDGET(window->gtkWindow()), nullptr, &natural);
    const FrameExtents e = window->Extents();
    window->SetFrame({0, 0, natural.width + e.left + e.right, natural.height + e.top + e.bottom});
    window->Center();
  }
  return colorPanel_.get();
}

std::unique_ptr<Bitmap> GtkToolkit::CreateBitmap(int width, int height) { return GtkBitmap::Create(width, height); }

void GtkToolkit::ActiveChanged(GtkBackendWindow* window, bool active) {
  if (active) {
    MoveKeyWindow(key_, window);
  } else if (key_ == window) {
    MoveKeyWindow(key_, static_cast<GtkBackendWindow*>(nullptr));
  }
}

void GtkToolkit::WindowClosed(GtkBackendWindow* window) {
  if (key_ == window) key_ = nullptr;
  // The main menu stays; no window shows it any more.
  if (mainMenuWindow_ == window) {
    window->SetMenuBar(nullptr);
    mainMenuWindow_ = nullptr;
  }
  SetClosedWindowAside(windows_, closed_, window);
}

bool GtkToolkit::IsOpen(const Window* window) const {
  return std::any_of(windows_.begin(), windows_.end(), [window](const auto& open) { return open.get() == window; });
}

GtkBackendWindow* GtkToolkit::WindowOf(GdkWindow* gdk) const {
  if (gdk == nullptr) return nullptr;
  GdkWindow* toplevel = gdk_window_get_toplevel(gdk);
  for (const auto& window : windows_) {
    if (gtk_widget_get_window(GTK_WIDGET(window->gtkWindow())) == toplevel) return window.get();
  }
  return nullptr;
}

}  // namespace zeb::platform
