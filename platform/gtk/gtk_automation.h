// The automation API of the GTK backend: real input through the XTest extension,
// and the requests a window manager takes from pagers and task bars, all sent on
// a display connection of its own.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <deque>
#include <functional>
#include <vector>

#include "platform/automation.h"
#include "platform/gtk/gtk_toolkit.h"

namespace zeb::platform {

// The GTK toolkit on the current display and its automation, or a backend without
// a toolkit when no display can be opened.
AutomatedBackend MakeGtkBackend();

class GtkAutomation : public Automation {
 public:
  GtkAutomation(GtkToolkit& toolkit, Display* display) : toolkit_(toolkit), display_(display) {}
  ~GtkAutomation() override;

  void PressCloseButton(Window* window) override;
  void PressZoomButton(Window* window) override;
  void Miniaturize(Window* window) override;
  void Deminiaturize(Window* window) override { Activate(window); }
  void ResizeContent(Window* window, Size content) override;
  void MoveFrame(Window* window, Point frameOrigin) override;
  void Activate(Window* window) override;
  void Click(Window* window, Point contentPoint, int clicks, MouseButton button) override;
  void PressKey(char16_t key, uint32_t modifiers) override;
  void Drop(Window* window, Point contentPoint, DragContents contents, uint32_t operations) override;
  Rect ShownFrame(View* view) override;
  int64_t KeyEventsDelivered(Window* window) override;
  void CopyImageElsewhere() override;
  void WhenModal(std::function<void()> user) override;
  void WhenKey(std::vector<std::function<void()>> steps) override;
  ModalContents ModalWindowContents() override;
  void PressButton(const ToolkitString& title) override;
  void TypeText(const ToolkitString& text) override;
  void CloseModalWindow() override;
  void PickColor(const ColorComponents& color) override;
  void ChooseFiles(const std::vector<ToolkitString>& paths) override;
  void ChooseFilter(const ToolkitString& description) override;
  void WhenPopUp(std::function<void()> user) override;
  int64_t WatchdogEndings() const override { return watchdogEndings_; }
  std::vector<MenuEntry> PopUpEntries() override;
  Point PopUpOrigin() override;
  void ChoosePopUpItem(const ToolkitString& title) override;
  void DismissPopUp(bool withEscape) override;
  void ChooseMenuItem(const ToolkitString& menu, const ToolkitString& item) override;
  void MovePointer(Point screenPoint) override;

 private:
  // A client message to the root window about a window, as the window manager
  // expects from a pager (source indication 2).
  void SendToWindowManager(::Window xid, const char* message, long l0, long l1 = 0, long l2 = 0, long l3 = 0);
  ::Window XidOf(Window* window) const;
  void KeyStroke(unsigned long keysym, bool down);
  // Clicks at a point of the screen.
  void ClickAt(int x, int y, int clicks, MouseButton button);
  void ClickWidget(GtkWidget* widget);
  static gboolean SelectChosenFiles(gpointer self);
  // A file panel's folder, offered name, filters and what its list shows, once the
  // list holds still.
  static void ReadFilePanel(GtkFileChooser* chooser, ModalContents& contents);
  static gboolean PollForModal(gpointer self);
  static gboolean EndForgottenModal(gpointer self);
  static gboolean TakeNextStep(gpointer self);
  static gboolean CloseForgottenWindow(gpointer self);
  // Whether the window has drawn a frame since this was first asked (which asks
  // for one).
  bool FrameDrawnSinceActive(GtkBackendWindow& window);
  static gboolean DragOn(gpointer self);
  static gboolean PollForPopUp(gpointer self);
  static gboolean DismissForgottenPopUp(gpointer self);
  static gboolean ClickChosenItem(gpointer self);
  void EndDrag();
  static void OnDragDataGet(GtkWidget*, GdkDragContext*, GtkSelectionData* data, guint info, guint, gpointer self);
  void RemoveSources();

  GtkToolkit& toolkit_;
  Display* display_;
  // Clicks of separate calls must not join into one double click.
  std::chrono::steady_clock::time_point lastClick_{};
  // The test's answer to the next modal window, and the GLib sources that wait for
  // that window and end it when it is left alone.
  std::function<void()> user_;
  guint poll_ = 0;
  int polls_ = 0;
  guint watchdog_ = 0;
  int64_t watchdogEndings_ = 0;
  uint64_t watchedModal_ = 0;
  // The script of WhenKey: the steps left, the source that takes the next one once
  // the loop has been quiet a moment, and the window the watchdog closes.
  std::deque<std::function<void()>> steps_;
  guint stepper_ = 0;
  int stepPolls_ = 0;
  int64_t firstStepFrame_ = -1;
  std::chrono::steady_clock::time_point lastStep_{};
  guint forgotten_ = 0;
  Window* watchedWindow_ = nullptr;
  // A drag of Drop: its source window, what it offers, where it goes, and the
  // source that moves the pointer one phase at a time.
  OwnedWidget dragSource_;
  DragContents dragContents_;
  int dragX_ = 0;
  int dragY_ = 0;
  int dragPhase_ = 0;
  guint drag_ = 0;
  SignalConnection dragDataGet_;
  // The paths ChooseFiles is selecting, and the source that waits for them.
  std::vector<ToolkitString> choosing_;
  guint choose_ = 0;
  int chooseTries_ = 0;
  // The menu item ChooseMenuItem clicks once its submenu has opened.
  GtkWidget* chosen_ = nullptr;
  guint choice_ = 0;
  int choiceTries_ = 0;
};

}  // namespace zeb::platform
