// The colour panel of the AppKit backend: AppKit's shared NSColorPanel, with the
// accessory view below its pickers.
#pragma once

#include <memory>

#import "platform/appkit/appkit_window.h"

namespace zeb::platform {

class AppKitColorPanel : public ColorPanel {
 public:
  explicit AppKitColorPanel(AppKitToolkit& toolkit);

  Window& window() override { return window_; }
  void SetColor(const ColorComponents& color) override;
  std::optional<ColorComponents> Color() const override;
  void SetShowsAlpha(bool shows) override;
  void SetAccessoryView(std::unique_ptr<View> view) override;

  NSColorPanel* nsPanel() const { return static_cast<NSColorPanel*>(window_.nsWindow()); }

 private:
  AppKitWindow window_;
  std::unique_ptr<View> accessory_;
};

}  // namespace zeb::platform
