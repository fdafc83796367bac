#include "platform/gtk/gtk_automation.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <gdk/gdkx.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>

#include "platform/gtk/gtk_backend.h"
#include "platform/gtk/gtk_strings.h"
#include "platform/gtk/gtk_widget_tree.h"
#include "platform/xtest_keys.h"

namespace zeb::platform {
namespace {

constexpr long kSourcePager = 2;
constexpr long kToggle = 2;
constexpr long kGravityNorthWest = 1;
constexpr long kMoveX = 1L << 8;
constexpr long kMoveY = 1L << 9;

// How often the test's answer looks for its modal window, how long it waits for
// that window to take the keyboard before answering anyway, and how long a modal
// window may stay up after the answer. A script's first step waits longer: a
// sanitizer build can take seconds to show a window with a large text.
constexpr guint kModalPollMs = 30;
constexpr int kPollsBeforeAnswering = 100;
constexpr int kPollsBeforeFirstStep = 400;
constexpr guint kForgottenModalMs = 5000;
// How long the event loop must have been quiet before the next step of a script,
// and how far apart the phases of a drag are.
constexpr auto kQuiet = std::chrono::milliseconds(200);
constexpr guint kDragPhaseMs = 80;
// Drop's source window, out of the way in the top-left corner of the screen.
constexpr int kDragSourceSide = 60;
constexpr int kDragSourceOffset = 10;

// The targets of a drag source, by what it offers: files, an image, text.
enum DragTarget : guint { kDragFiles = 1, kDragImage = 2, kDragText = 3 };

GdkDragAction ActionsOf(uint32_t operations) {
  int actions = 0;
  if ((operations & DragGeneric) != 0) actions |= GDK_ACTION_DEFAULT;
  if ((operations & DragCopy) != 0) actions |= GDK_ACTION_COPY;
  if ((operations & DragMove) != 0) actions |= GDK_ACTION_MOVE;
  if ((operations & DragLink) != 0) actions |= GDK_ACTION_LINK;
  return static_cast<GdkDragAction>(actions);
}

::Window XidOfGtk(GtkWindow* window) {
  GdkWindow* gdk = window != nullptr ? gtk_widget_get_window(GTK_WIDGET(window)) : nullptr;
  return gdk != nullptr ? gdk_x11_window_get_xid(gdk) : 0;
}

// A button's label as it reads, without the underline of its mnemonic.
std::string ButtonTitle(GtkButton* button) {
  const char* label = gtk_button_get_label(button);
  std::string title = label != nullptr ? label : "";
  if (gtk_button_get_use_underline(button)) std::erase(title, '_');
  return title;
}

bool InsideButton(GtkWidget* widget) {
  for (GtkWidget* up = gtk_widget_get_parent(widget); up != nullptr; up = gtk_widget_get_parent(up)) {
    if (GTK_IS_BUTTON(up)) return true;
  }
  return false;
}

// Where a widget shows in the content of its window.
Rect FrameInContent(GtkWidget* widget) {
  GtkWidget* toplevel = gtk_widget_get_toplevel(widget);
  GtkWidget* content = GTK_IS_WINDOW(toplevel) ? gtk_bin_get_child(GTK_BIN(toplevel)) : nullptr;
  int x = 0;
  int y = 0;
  if (content != nullptr) gtk_widget_translate_coordinates(widget, content, 0, 0, &x, &y);
  return {static_cast<double>(x), static_cast<double>(y), static_cast<double>(gtk_widget_get_allocated_width(widget)),
          static_cast<double>(gtk_widget_get_allocated_height(widget))};
}

}  // namespace

AutomatedBackend MakeGtkBackend() {
  std::unique_ptr<Toolkit> toolkit = ConnectGtkToolkit();
  Display* display = toolkit != nullptr ? XOpenDisplay(nullptr) : nullptr;
  if (display == nullptr) return {"gtk", nullptr, nullptr};
  auto automation = std::make_unique<GtkAutomation>(static_cast<GtkToolkit&>(*toolkit), display);
  return {"gtk", std::move(toolkit), std::move(automation)};
}

GtkAutomation::~GtkAutomation() {
  RemoveSources();
  XCloseDisplay(display_);
}

::Window GtkAutomation::XidOf(Window* window) const {
  auto* gtk = dynamic_cast<GtkBackendWindow*>(window);
  return XidOfGtk(gtk != nullptr ? gtk->gtkWindow() : nullptr);
}

void GtkAutomation::SendToWindowManager(::Window xid, const char* message, long l0, long l1, long l2, long l3) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = xid;
  event.xclient.message_type = XInternAtom(display_, message, False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = l0;
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[2] = l2;
  event.xclient.data.l[3] = l3;
  XSendEvent(display_, DefaultRootWindow(display_), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display_);
}

void GtkAutomation::PressCloseButton(Window* window) {
  SendToWindowManager(XidOf(window), "_NET_CLOSE_WINDOW", CurrentTime, kSourcePager);
}

void GtkAutomation::PressZoomButton(Window* window) {
  SendToWindowManager(XidOf(window), "_NET_WM_STATE", kToggle,
                      static_cast<long>(XInternAtom(display_, "_NET_WM_STATE_MAXIMIZED_VERT", False)),
                      static_cast<long>(XInternAtom(display_, "_NET_WM_STATE_MAXIMIZED_HORZ", False)), kSourcePager);
}

void GtkAutomation::Miniaturize(Window* window) {
  XIconifyWindow(display_, XidOf(window), DefaultScreen(display_));
  XFlush(display_);
}

void GtkAutomation::ResizeContent(Window* window, Size content) {
  XResizeWindow(display_, XidOf(window), static_cast<unsigned>(content.width), static_cast<unsigned>(content.height));
  XFlush(display_);
}

void GtkAutomation::MoveFrame(Window* window, Point frameOrigin) {
  SendToWindowManager(XidOf(window), "_NET_MOVERESIZE_WINDOW", kGravityNorthWest | kMoveX | kMoveY | (kSourcePager << 12),
                      static_cast<long>(frameOrigin.x), static_cast<long>(frameOrigin.y));
}

void GtkAutomation::Activate(Window* window) {
  SendToWindowManager(XidOf(window), "_NET_ACTIVE_WINDOW", kSourcePager, CurrentTime);
}

void GtkAutomation::Click(Window* window, Point contentPoint, int clicks, MouseButton button) {
  int x = 0;
  int y = 0;
  ::Window child = 0;
  XTranslateCoordinates(display_, XidOf(window), DefaultRootWindow(display_), static_cast<int>(contentPoint.x),
                        static_cast<int>(contentPoint.y), &x, &y, &child);
  ClickAt(x, y, clicks, button);
}

void GtkAutomation::ClickAt(int x, int y, int clicks, MouseButton button) {
  gint doubleClickTime = 400;
  g_object_get(gtk_settings_get_default(), "gtk-double-click-time", &doubleClickTime, nullptr);
  std::this_thread::sleep_until(lastClick_ + std::chrono::milliseconds(doubleClickTime + 100));
  XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
  const unsigned buttonNumber = button == MouseButton::Right ? 3 : 1;
  for (int i = 0; i < clicks; ++i) {
    XTestFakeButtonEvent(display_, buttonNumber, True, CurrentTime);
    XTestFakeButtonEvent(display_, buttonNumber, False, CurrentTime);
  }
  XFlush(display_);
  lastClick_ = std::chrono::steady_clock::now();
}

void GtkAutomation::KeyStroke(unsigned long keysym, bool down) { XTestKeyStroke(display_, keysym, down); }

void GtkAutomation::PressKey(char16_t key, uint32_t modifiers) { XTestPressKey(display_, key, modifiers); }

void GtkAutomation::TypeText(const ToolkitString& text) {
  for (const char16_t character : text) PressKey(character, 0);
}

void GtkAutomation::WhenModal(std::function<void()> user) {
  RemoveSources();
  user_ = std::move(user);
  polls_ = 0;
  poll_ = g_timeout_add(kModalPollMs, PollForModal, this);
}

gboolean GtkAutomation::PollForModal(gpointer self) {
  auto* automation = static_cast<GtkAutomation*>(self);
  GtkWindow* modal = automation->toolkit_.modalWindow();
  if (modal == nullptr) return G_SOURCE_CONTINUE;
  if (!gtk_window_is_active(modal) && ++automation->polls_ < kPollsBeforeAnswering) return G_SOURCE_CONTINUE;
  automation->poll_ = 0;
  automation->watchedModal_ = automation->toolkit_.modalSerial();
  automation->watchdog_ = g_timeout_add(kForgottenModalMs, EndForgottenModal, self);
  std::exchange(automation->user_, nullptr)();
  return G_SOURCE_REMOVE;
}

gboolean GtkAutomation::EndForgottenModal(gpointer self) {
  auto* automation = static_cast<GtkAutomation*>(self);
  automation->watchdog_ = 0;
  if (automation->toolkit_.modalWindow() != nullptr && automation->toolkit_.modalSerial() == automation->watchedModal_) {
    ++automation->watchdogEndings_;
    automation->toolkit_.StopModal(0);
  }
  return G_SOURCE_REMOVE;
}

void GtkAutomation::WhenKey(std::vector<std::function<void()>> steps) {
  steps_.assign(steps.begin(), steps.end());
  stepPolls_ = 0;
  firstStepFrame_ = -1;
  lastStep_ = {};
  if (stepper_ == 0) stepper_ = g_timeout_add(kModalPollMs, TakeNextStep, this);
}

// The first step waits for a key window and then for one frame of it, which lays
// out whatever its first sizes left pending (a large text can delay them); each
// next one waits until the input of the step before has reached the loop and the
// loop has been quiet a moment.
gboolean GtkAutomation::TakeNextStep(gpointer self) {
  auto* automation = static_cast<GtkAutomation*>(self);
  const auto now = std::chrono::steady_clock::now();
  auto* key = static_cast<GtkBackendWindow*>(automation->toolkit_.KeyWindow());
  if (automation->lastStep_ == std::chrono::steady_clock::time_point{}) {
    const bool active = key != nullptr && gtk_window_is_active(key->gtkWindow());
    if (!active || !automation->FrameDrawnSinceActive(*key)) {
      if (++automation->stepPolls_ < kPollsBeforeFirstStep) return G_SOURCE_CONTINUE;
    }
  } else {
    XSync(automation->display_, False);
    if (automation->drag_ != 0 || now - automation->lastStep_ < kQuiet ||
        now - automation->toolkit_.lastEventTime() < kQuiet) {
      return G_SOURCE_CONTINUE;
    }
  }
  const std::function<void()> step = std::move(automation->steps_.front());
  automation->steps_.pop_front();
  automation->lastStep_ = now;
  step();
  if (!automation->steps_.empty()) return G_SOURCE_CONTINUE;
  automation->stepper_ = 0;
  // The window the script was for: the key one, or the newest when none has the
  // keyboard (the script did not wait in vain).
  automation->watchedWindow_ = automation->toolkit_.KeyWindow();
  if (automation->watchedWindow_ == nullptr) automation->watchedWindow_ = automation->toolkit_.NewestWindow();
  if (automation->forgotten_ != 0) g_source_remove(automation->forgotten_);
  automation->forgotten_ = g_timeout_add(kForgottenModalMs, CloseForgottenWindow, self);
  return G_SOURCE_REMOVE;
}

bool GtkAutomation::FrameDrawnSinceActive(GtkBackendWindow& window) {
  GdkWindow* gdk = gtk_widget_get_window(GTK_WIDGET(window.gtkWindow()));
  GdkFrameClock* clock = gdk != nullptr ? gdk_window_get_frame_clock(gdk) : nullptr;
  if (clock == nullptr) return true;
  const int64_t drawn = gdk_frame_clock_get_frame_counter(clock);
  if (firstStepFrame_ < 0) {
    firstStepFrame_ = drawn + 1;
    gdk_frame_clock_request_phase(clock, GDK_FRAME_CLOCK_PHASE_LAYOUT);
  }
  return drawn >= firstStepFrame_;
}

// Presses the close button of the script's window while it stays open and no
// other window has taken the keyboard, every few seconds until it goes.
gboolean GtkAutomation::CloseForgottenWindow(gpointer self) {
  auto* automation = static_cast<GtkAutomation*>(self);
  Window* watched = automation->watchedWindow_;
  Window* key = automation->toolkit_.KeyWindow();
  if (automation->toolkit_.IsOpen(watched) && (key == watched || key == nullptr)) {
    ++automation->watchdogEndings_;
    automation->PressCloseButton(watched);
    return G_SOURCE_CONTINUE;
  }
  automation->forgotten_ = 0;
  automation->watchedWindow_ = nullptr;
  return G_SOURCE_REMOVE;
}

Rect GtkAutomation::ShownFrame(View* view) {
  auto* gtkView = dynamic_cast<GtkBackendView*>(view);
  return gtkView != nullptr ? FrameInContent(gtkView->widget()) : Rect{};
}

// Another program's drag: a small window of this process stands in for that
// program as the source, and the pointer drags from it to the point with real
// button and motion events, one phase at a time while the loop runs.
void GtkAutomation::Drop(Window* window, Point contentPoint, DragContents contents, uint32_t operations) {
  // The drag before is over once its drop has been taken.
  if (drag_ != 0) {
    g_source_remove(drag_);
    EndDrag();
  }
  ::Window child = 0;
  XTranslateCoordinates(display_, XidOf(window), DefaultRootWindow(display_), static_cast<int>(contentPoint.x),
                        static_cast<int>(contentPoint.y), &dragX_, &dragY_, &child);
  GtkTargetList* targets = gtk_target_list_new(nullptr, 0);
  if (contents.files) gtk_target_list_add_uri_targets(targets, kDragFiles);
  if (contents.image) gtk_target_list_add_image_targets(targets, kDragImage, TRUE);
  if (contents.text) gtk_target_list_add_text_targets(targets, kDragText);
  dragContents_ = std::move(contents);
  dragSource_ = OwnWidget(gtk_window_new(GTK_WINDOW_POPUP));
  GtkWidget* area = gtk_event_box_new();
  gtk_container_add(GTK_CONTAINER(dragSource_.get()), area);
  gtk_window_move(GTK_WINDOW(dragSource_.get()), kDragSourceOffset, kDragSourceOffset);
  gtk_window_resize(GTK_WINDOW(dragSource_.get()), kDragSourceSide, kDragSourceSide);
  gtk_drag_source_set(area, GDK_BUTTON1_MASK, nullptr, 0, ActionsOf(operations));
  gtk_drag_source_set_target_list(area, targets);
  gtk_target_list_unref(targets);
  dragDataGet_ = SignalConnection(area, "drag-data-get", G_CALLBACK(OnDragDataGet), this);
  gtk_widget_show_all(dragSource_.get());
  dragPhase_ = 0;
  drag_ = g_timeout_add(kDragPhaseMs, DragOn, this);
}

gboolean GtkAutomation::DragOn(gpointer self) {
  auto* automation = static_cast<GtkAutomation*>(self);
  Display* display = automation->display_;
  constexpr int kSourceCentre = kDragSourceOffset + kDragSourceSide / 2;
  switch (automation->dragPhase_++) {
    case 0:
      XTestFakeMotionEvent(display, -1, kSourceCentre, kSourceCentre, CurrentTime);
      XTestFakeButtonEvent(display, 1, True, CurrentTime);
      break;
    case 1:
      XTestFakeMotionEvent(display, -1, kSourceCentre + 20, kSourceCentre + 20, CurrentTime);
      break;
    case 2:
      XTestFakeMotionEvent(display, -1, automation->dragX_ - 5, automation->dragY_ - 5, CurrentTime);
      break;
    case 3:
      XTestFakeMotionEvent(display, -1, automation->dragX_, automation->dragY_, CurrentTime);
      break;
    case 4:
      XTestFakeButtonEvent(display, 1, False, CurrentTime);
      break;
    case 5:
    case 6:
      break;  // the drop's data travels
    default:
      automation->EndDrag();
      return G_SOURCE_REMOVE;
  }
  XFlush(display);
  return G_SOURCE_CONTINUE;
}

void GtkAutomation::EndDrag() {
  dragDataGet_ = SignalConnection();
  dragSource_.reset();
  dragContents_ = DragContents();
  drag_ = 0;
}

void GtkAutomation::OnDragDataGet(GtkWidget*, GdkDragContext*, GtkSelectionData* data, guint info, guint,
                                  gpointer self) {
  const DragContents& contents = static_cast<GtkAutomation*>(self)->dragContents_;
  if (info == kDragFiles && contents.files) {
    std::vector<GCharPtr> uris;
    std::vector<gchar*> list;
    for (const ToolkitString& path : *contents.files) {
      uris.emplace_back(g_filename_to_uri(ToUTF8(path).c_str(), nullptr, nullptr));
      if (uris.back() != nullptr) list.push_back(uris.back().get());
    }
    list.push_back(nullptr);
    gtk_selection_data_set_uris(data, list.data());
  } else if (info == kDragImage && contents.image) {
    Bitmap& image = *contents.image;
    const GObjectPtr<GdkPixbuf> pixbuf(gdk_pixbuf_new_from_data(image.Pixels(), GDK_COLORSPACE_RGB, TRUE, 8,
                                                                 image.Width(), image.Height(), image.Width() * 4,
                                                                 nullptr, nullptr));
    gtk_selection_data_set_pixbuf(data, pixbuf.get());
  } else if (info == kDragText && contents.text) {
    const std::string text = ToUTF8(*contents.text);
    gtk_selection_data_set_text(data, text.c_str(), static_cast<gint>(text.size()));
  }
}

void GtkAutomation::RemoveSources() {
  for (guint* source : {&poll_, &watchdog_, &choose_, &stepper_, &forgotten_, &drag_, &choice_}) {
    if (*source != 0) g_source_remove(*source);
    *source = 0;
  }
}

ModalContents GtkAutomation::ModalWindowContents() {
  ModalContents contents;
  GtkWindow* modal = toolkit_.modalWindow();
  if (modal == nullptr) return contents;
  contents.title = FromUTF8(gtk_window_get_title(modal));
  if (GTK_IS_FILE_CHOOSER(modal)) ReadFilePanel(GTK_FILE_CHOOSER(modal), contents);
  if (GtkWidget* child = gtk_bin_get_child(GTK_BIN(modal))) {
    contents.content = {static_cast<double>(gtk_widget_get_allocated_width(child)),
                        static_cast<double>(gtk_widget_get_allocated_height(child))};
  }
  auto visit = [&](GtkWidget* widget) {
    if (!gtk_widget_get_visible(widget)) return;
    if (GTK_IS_LABEL(widget) && !InsideButton(widget)) {
      contents.labels.push_back(FromUTF8(gtk_label_get_text(GTK_LABEL(widget))));
      contents.controls.push_back(FrameInContent(widget));
    }
    if (GTK_IS_BUTTON(widget) && gtk_button_get_label(GTK_BUTTON(widget)) != nullptr) {
      contents.buttons.push_back(FromUTF8(ButtonTitle(GTK_BUTTON(widget))));
      contents.controls.push_back(FrameInContent(widget));
    }
    if (GTK_IS_ENTRY(widget)) contents.controls.push_back(FrameInContent(widget));
    if (GTK_IS_ENTRY(widget) && !contents.field) {
      const ToolkitString text = FromUTF8(gtk_entry_get_text(GTK_ENTRY(widget)));
      contents.field = text;
      contents.secure = !gtk_entry_get_visibility(GTK_ENTRY(widget));
      gint start = 0;
      gint end = 0;
      if (!gtk_editable_get_selection_bounds(GTK_EDITABLE(widget), &start, &end)) {
        start = end = gtk_editable_get_position(GTK_EDITABLE(widget));
      }
      contents.selection = {CharactersToUnits(text, start), CharactersToUnits(text, end)};
    }
  };
  VisitWidgets(GTK_WIDGET(modal), visit);
  return contents;
}

void GtkAutomation::PressButton(const ToolkitString& title) {
  GtkWindow* modal = toolkit_.modalWindow();
  if (modal == nullptr) return;
  const std::string wanted = ToUTF8(title);
  GtkWidget* found = nullptr;
  auto visit = [&](GtkWidget* widget) {
    if (found == nullptr && GTK_IS_BUTTON(widget) && gtk_widget_get_mapped(widget) &&
        ButtonTitle(GTK_BUTTON(widget)) == wanted) {
      found = widget;
    }
  };
  VisitWidgets(GTK_WIDGET(modal), visit);
  if (found != nullptr) ClickWidget(found);
}

void GtkAutomation::ClickWidget(GtkWidget* widget) {
  GtkWidget* toplevel = gtk_widget_get_toplevel(widget);
  int x = 0;
  int y = 0;
  gtk_widget_translate_coordinates(widget, toplevel, gtk_widget_get_allocated_width(widget) / 2,
                                   gtk_widget_get_allocated_height(widget) / 2, &x, &y);
  int originX = 0;
  int originY = 0;
  gdk_window_get_origin(gtk_widget_get_window(toplevel), &originX, &originY);
  ClickAt(originX + x, originY + y, 1, MouseButton::Left);
}

void GtkAutomation::CloseModalWindow() {
  SendToWindowManager(XidOfGtk(toolkit_.modalWindow()), "_NET_CLOSE_WINDOW", CurrentTime, kSourcePager);
}

// The user's pick in the chooser's palette or editor ends as the chooser's colour.
void GtkAutomation::PickColor(const ColorComponents& color) {
  if (GtkColorPanel* panel = toolkit_.colorPanel()) {
    const GdkRGBA rgba{color.red, color.green, color.blue, color.alpha};
    gtk_color_chooser_set_rgba(panel->chooser(), &rgba);
  }
}

int64_t GtkAutomation::KeyEventsDelivered(Window* window) {
  auto* gtk = dynamic_cast<GtkBackendWindow*>(window);
  return gtk != nullptr ? gtk->keyEventsDelivered() : 0;
}

// Another program copies an image: xclip owns the clipboard with image data only,
// until the next program takes it. xclip takes the selection in the background after
// its command has returned, so the copy is done once the clipboard has a new owner.
void GtkAutomation::CopyImageElsewhere() {
  const Atom clipboard = XInternAtom(display_, "CLIPBOARD", False);
  const ::Window before = XGetSelectionOwner(display_, clipboard);
  const int status = std::system("timeout 10 xclip -selection clipboard -t image/png -i /dev/null </dev/null >/dev/null 2>&1");
  (void)status;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (XGetSelectionOwner(display_, clipboard) == before && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace zeb::platform
