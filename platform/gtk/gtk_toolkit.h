// The GTK 3 backend: real windows on an X display. The event pump runs GLib main
// context iterations on the host's thread, taking GDK's events into a queue of its
// own so that the runtime fetches, inspects and dispatches them one at a time.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/gtk/gtk_color_panel.h"
#include "platform/gtk/gtk_event.h"
#include "platform/gtk/gtk_window.h"
#include "platform/toolkit.h"

namespace zeb::platform {

class GtkToolkit : public Toolkit {
 public:
  // The toolkit on GTK's default display (already opened), with the pasteboard it
  // serves the clipboard through.
  explicit GtkToolkit(std::unique_ptr<Pasteboard> pasteboard);
  ~GtkToolkit() override;

  Capabilities capabilities() const override;
  Window* KeyWindow() const override { return key_; }
  // GTK has nothing to finish before the first event.
  void FinishLaunching() override {}
  std::unique_ptr<ToolkitEvent> NextEvent(Deadline until) override;
  bool HasPendingEvent() override;
  void PostWakeUpEvent() override;
  void SendEvent(const ToolkitEvent& event) override;
  bool SendAction(EditingAction action) override;
  void UpdateWindows() override;
  void ReleaseDeferredObjects() override { closed_.clear(); }

  std::optional<Rect> MainScreenFrame() const override;
  FrameExtents ExtentsForStyle(uint32_t style) const override;
  Window* CreateWindow(const Rect& content, uint32_t style) override;
  std::unique_ptr<View> CreateView(std::unique_ptr<ViewDelegate> delegate) override;
  std::unique_ptr<TextField> CreateTextField(bool secure) override;
  std::unique_ptr<Button> CreateButton(ButtonType type, std::unique_ptr<ViewDelegate> delegate) override;
  std::unique_ptr<Label> CreateLabel() override;
  std::unique_ptr<TextView> CreateTextView(std::unique_ptr<ViewDelegate> delegate) override;
  std::unique_ptr<ScrollView> CreateScrollView() override;
  SharedFont FontWithFamily(const ToolkitString& family, uint32_t traits, double size) override;
  SharedFont SystemFont(double size) override;
  std::shared_ptr<Menu> CreateMenu(const ToolkitString& title) override;
  std::shared_ptr<Menu> CreateMenuBar() override;
  std::unique_ptr<MenuItem> CreateMenuItem(const ToolkitString& title, const ToolkitString& key,
                                           uint32_t modifiers) override;
  std::unique_ptr<MenuItem> CreateSeparatorItem() override;
  void SetMainMenu(std::shared_ptr<Menu> bar, Window* window) override;
  Menu* MainMenu() const override { return mainMenu_.get(); }
  void PopUpContextMenu(Menu& menu, Point screenPoint) override;
  Point MouseLocation() const override;
  bool HostOwnsApplication() const override;
  int64_t RunModal(Window& window) override;
  void StopModal(int64_t code) override;
  int64_t RunAlert(const ToolkitString& message, const ToolkitString& informative,
                   const std::vector<AlertButton>& buttons) override;
  ColorPanel* SharedColorPanel() override;
  std::unique_ptr<FilePanel> CreateFilePanel(FilePanelMode mode) override;
  Pasteboard& pasteboard() override { return *pasteboard_; }
  std::unique_ptr<Bitmap> CreateBitmap(int width, int height) override;

  // Bookkeeping for the windows.
  void RememberExtents(uint32_t style, const FrameExtents& extents) const;
  void ActiveChanged(GtkBackendWindow* window, bool active);
  void WindowClosed(GtkBackendWindow* window);
  GtkBackendWindow* WindowOf(GdkWindow* gdk) const;
  // Whether the window is open (not closed yet), and the window opened last.
  bool IsOpen(const Window* window) const;
  GtkBackendWindow* NewestWindow() const { return windows_.empty() ? nullptr : windows_.back().get(); }
  // The window of the innermost modal loop, or null, and a number that tells one
  // modal loop from the next.
  GtkWindow* modalWindow() const { return modal_; }
  GtkBackendWindow* keyWindow() const { return key_; }
  uint64_t modalSerial() const { return modalSerial_; }
  GtkColorPanel* colorPanel() const { return colorPanel_.get(); }
  // Runs GTK's loop with the window modal until StopModal; with no window, for a
  // dialog of another process.
  int64_t RunModalLoop(GtkWindow* window);
  // The pop-up menu being tracked, or null.
  GtkMenu* popUpMenu() const { return popUp_; }
  // The window that shows the main menu, or null.
  GtkBackendWindow* mainMenuWindow() const { return mainMenuWindow_; }
  // When GDK last handed the runtime an event.
  Clock::time_point lastEventTime() const { return lastEvent_; }

 private:
  static void TakeEvent(GdkEvent* event, gpointer self);
  static void OnAlertResponse(GtkDialog*, gint response, gpointer self);
  static void OnPopUpDeactivate(GtkMenuShell*, gpointer self);

  std::unique_ptr<Pasteboard> pasteboard_;
  std::vector<std::unique_ptr<GtkBackendWindow>> windows_;
  std::vector<std::unique_ptr<GtkBackendWindow>> closed_;
  GtkBackendWindow* key_ = nullptr;
  std::unique_ptr<GtkColorPanel> colorPanel_;
  bool colorPanelShown_ = false;  // since when it keeps the place it was last in
  GtkWindow* modal_ = nullptr;
  uint64_t modalSerial_ = 0;
  std::optional<int64_t> stopCode_;
  // Fetched events not yet handed out; null stands for the wake-up event.
  std::deque<GdkEvent*> queue_;
  Clock::time_point lastEvent_{};
  std::shared_ptr<Menu> mainMenu_;
  GtkBackendWindow* mainMenuWindow_ = nullptr;
  GtkMenu* popUp_ = nullptr;
  // The decoration last seen on a framed window of each style (a window manager
  // may frame a window that can be resized more widely), and on any window.
  mutable std::map<uint32_t, FrameExtents> extents_;
  mutable std::optional<FrameExtents> lastExtents_;
};

}  // namespace zeb::platform
