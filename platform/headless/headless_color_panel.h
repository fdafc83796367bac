// The colour panel of the headless toolkit: a panel window that remembers the
// colour shown (the simulated user picks one with SetColor), with the accessory
// view below the picker.
#pragma once

#include <optional>

#include "platform/headless/headless_window.h"

namespace zeb::platform {

class HeadlessColorPanel : public ColorPanel {
 public:
  // The picker takes this much of the content above the accessory view.
  static constexpr Size kPickerSize{220, 260};

  explicit HeadlessColorPanel(HeadlessWindow& window);

  Window& window() override { return window_; }
  void SetColor(const ColorComponents& color) override { color_ = color; }
  std::optional<ColorComponents> Color() const override { return color_; }
  // The simulated picker has no alpha control to show or hide.
  void SetShowsAlpha(bool) override {}
  void SetAccessoryView(std::unique_ptr<View> view) override;

 private:
  HeadlessWindow& window_;
  ColorComponents color_{1, 1, 1, 1};
  View* accessory_ = nullptr;
};

}  // namespace zeb::platform
