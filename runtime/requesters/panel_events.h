// The delegate and button targets of a requester's panel: the close button and the
// panel's buttons end the modal loop with a code, and the panel hears nothing else.
#pragma once

#include <cstdint>

#include "platform/toolkit.h"

namespace zeb {

// A panel's result codes: the close button and "Cancel" give 0, "OK" gives 1.
inline constexpr int64_t kPanelCancelled = 0;
inline constexpr int64_t kPanelConfirmed = 1;

class ZebPanelEvents : public platform::WindowDelegate {
 public:
  // The close button stops the modal loop and leaves the panel open.
  bool WindowShouldClose() override {
    platform::CurrentToolkit().StopModal(kPanelCancelled);
    return false;
  }
  void WindowWillClose() override {}
  void WindowDidResize() override {}
  void WindowDidMove() override {}
  void WindowDidBecomeKey() override {}
  void WindowDidResignKey() override {}
  void WindowDidMiniaturize() override {}
  void WindowDidDeminiaturize() override {}
  bool WindowShouldZoom(const platform::Rect&) override { return false; }
  // A panel is no runtime window.
  int64_t WindowID() const override { return -1; }
};

// A panel button's target: a press ends the modal loop with the button's code.
class ZebModalButton : public platform::ControlTarget {
 public:
  explicit ZebModalButton(int64_t code) : code_(code) {}
  void ControlAction(platform::View&) override { platform::CurrentToolkit().StopModal(code_); }

 private:
  int64_t code_;
};

}  // namespace zeb
