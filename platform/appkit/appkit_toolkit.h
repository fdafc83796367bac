// The AppKit backend: the shared application, its event queue and its windows.
#pragma once

#include <memory>
#include <vector>

#import "platform/appkit/appkit_color_panel.h"
#import "platform/appkit/appkit_window.h"
#include "platform/toolkit.h"

namespace zeb::platform {

class AppKitToolkit : public Toolkit {
 public:
  // The toolkit on the application object, which the host may own.
  explicit AppKitToolkit(bool hostOwnsApplication);
  ~AppKitToolkit() override;

  Capabilities capabilities() const override;
  Window* KeyWindow() const override;
  void FinishLaunching() override;
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
  bool HostOwnsApplication() const override { return hostOwnsApplication_; }
  int64_t RunModal(Window& window) override;
  void StopModal(int64_t code) override;
  int64_t RunAlert(const ToolkitString& message, const ToolkitString& informative,
                   const std::vector<AlertButton>& buttons) override;
  ColorPanel* SharedColorPanel() override;
  std::unique_ptr<FilePanel> CreateFilePanel(FilePanelMode mode) override;
  Pasteboard& pasteboard() override { return *pasteboard_; }
  std::unique_ptr<Bitmap> CreateBitmap(int width, int height) override;

  // The open window of this NSWindow, or null.
  AppKitWindow* WindowOf(NSWindow* window) const;
  void WindowClosed(AppKitWindow* window);
  // The pop-up menu being tracked, or nil.
  NSMenu* popUpMenu() const { return popUp_; }

 private:
  bool hostOwnsApplication_;
  std::unique_ptr<Pasteboard> pasteboard_;
  std::shared_ptr<Menu> mainMenu_;
  NSMenu* popUp_ = nil;
  std::vector<std::unique_ptr<AppKitWindow>> windows_;
  std::vector<std::unique_ptr<AppKitWindow>> closed_;
  std::unique_ptr<AppKitColorPanel> colorPanel_;
};

}  // namespace zeb::platform
