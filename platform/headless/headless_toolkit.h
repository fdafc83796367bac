// The headless toolkit: a complete in-memory windowing system. Without a screen it
// refuses to make windows, so everything that would show one answers at once; with
// a screen attached (tests, or a host that wants one) it keeps real state that the
// automation API drives as a user would.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/headless/headless_color_panel.h"
#include "platform/headless/headless_events.h"
#include "platform/headless/headless_file_panel.h"
#include "platform/headless/headless_menus.h"
#include "platform/headless/headless_pasteboard.h"
#include "platform/headless/headless_window.h"
#include "platform/toolkit.h"

namespace zeb::platform {

class HeadlessToolkit : public Toolkit {
 public:
  // A toolkit with a main screen of this size, or none.
  explicit HeadlessToolkit(std::optional<Size> screen);
  ~HeadlessToolkit() override;

  Capabilities capabilities() const override;
  Window* KeyWindow() const override { return key_; }
  // The simulated application has nothing to finish before its first event.
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
  std::unique_ptr<Label> CreateLabel() override { return std::make_unique<HeadlessLabel>(); }
  std::unique_ptr<TextView> CreateTextView(std::unique_ptr<ViewDelegate> delegate) override;
  std::unique_ptr<ScrollView> CreateScrollView() override;
  SharedFont FontWithFamily(const ToolkitString& family, uint32_t traits, double size) override;
  SharedFont SystemFont(double size) override;
  std::shared_ptr<Menu> CreateMenu(const ToolkitString& title) override;
  std::shared_ptr<Menu> CreateMenuBar() override { return CreateMenu(u""); }
  std::unique_ptr<MenuItem> CreateMenuItem(const ToolkitString& title, const ToolkitString& key,
                                           uint32_t modifiers) override;
  std::unique_ptr<MenuItem> CreateSeparatorItem() override;
  void SetMainMenu(std::shared_ptr<Menu> bar, Window* window) override;
  Menu* MainMenu() const override { return mainMenu_.get(); }
  void PopUpContextMenu(Menu& menu, Point screenPoint) override;
  Point MouseLocation() const override { return pointer_; }
  bool HostOwnsApplication() const override { return hostOwnsApplication_; }
  int64_t RunModal(Window& window) override;
  void StopModal(int64_t code) override { stopCode_ = code; }
  int64_t RunAlert(const ToolkitString& message, const ToolkitString& informative,
                   const std::vector<AlertButton>& buttons) override;
  ColorPanel* SharedColorPanel() override;
  std::unique_ptr<FilePanel> CreateFilePanel(FilePanelMode mode) override;
  Pasteboard& pasteboard() override { return pasteboard_; }
  std::unique_ptr<Bitmap> CreateBitmap(int width, int height) override;

  // The simulated user's input, queued for the event loop (any thread).
  void Queue(std::unique_ptr<HeadlessEvent> event);
  HeadlessPasteboard& headlessPasteboard() { return pasteboard_; }
  HeadlessWindow* FindWindow(uint64_t serial) const;
  // The window of the innermost modal loop, or null.
  HeadlessWindow* modalWindow() const { return modal_; }
  // A modal loop that has had no event for this long ends with code 0: the
  // simulated user has walked away. Unlimited unless set.
  void SetModalTimeLimit(std::chrono::milliseconds limit) { modalTimeLimit_ = limit; }
  // How many modal loops and pop-ups the time limit ended.
  int64_t timeLimitEndings() const { return timeLimitEndings_; }
  // The file panel whose modal loop runs, or null.
  HeadlessFilePanel* runningFilePanel() const { return filePanel_; }
  void SetRunningFilePanel(HeadlessFilePanel* panel) { filePanel_ = panel; }
  // Runs `user` once the next modal window is up, from inside its loop.
  void OnNextModal(std::function<void()> user) { nextModalUser_ = std::move(user); }
  // Called on the event loop's thread whenever it is about to wait with nothing
  // queued; it may queue input, and answers when it wants to be called again
  // (nothing: only after the next event).
  using IdleUser = std::function<std::optional<Deadline>()>;
  void SetIdleUser(IdleUser user) { idleUser_ = std::move(user); }

  // The host runs an application object of its own.
  void SetHostOwnsApplication(bool owns) { hostOwnsApplication_ = owns; }
  // The window that shows the main menu, or null.
  Window* mainMenuWindow() const { return mainMenuWindow_; }
  // The open pop-up menu and where it shows, or null.
  HeadlessMenu* popUpMenu() const { return popUp_; }
  Point popUpPoint() const { return popUpPoint_; }
  // Runs `user` once the next pop-up menu is up, from inside its tracking loop.
  void OnNextPopUp(std::function<void()> user) { nextPopUpUser_ = std::move(user); }

  // Window bookkeeping for HeadlessWindow.
  void SetKeyWindow(HeadlessWindow* window);
  void BringToFront(HeadlessWindow* window);
  void WindowClosed(HeadlessWindow* window);

 private:
  std::optional<Size> screen_;
  std::vector<std::unique_ptr<HeadlessWindow>> windows_;  // front to back
  std::vector<std::unique_ptr<HeadlessWindow>> closed_;
  HeadlessWindow* key_ = nullptr;
  uint64_t nextSerial_ = 1;
  HeadlessPasteboard pasteboard_;
  std::unique_ptr<HeadlessColorPanel> colorPanel_;
  HeadlessFilePanel* filePanel_ = nullptr;
  HeadlessWindow* modal_ = nullptr;
  std::optional<int64_t> stopCode_;
  std::optional<std::chrono::milliseconds> modalTimeLimit_;
  int64_t timeLimitEndings_ = 0;
  std::function<void()> nextModalUser_;
  IdleUser idleUser_;
  std::shared_ptr<Menu> mainMenu_;
  Window* mainMenuWindow_ = nullptr;
  HeadlessMenu* popUp_ = nullptr;
  Point popUpPoint_;
  Point pointer_;
  std::function<void()> nextPopUpUser_;
  bool hostOwnsApplication_ = false;

  // The user's menu actions.
  void ChooseMenuItem(const std::vector<ToolkitString>& titles);

  std::mutex queueLock_;
  std::condition_variable queueChanged_;
  std::deque<std::unique_ptr<HeadlessEvent>> queue_;
};

}  // namespace zeb::platform
