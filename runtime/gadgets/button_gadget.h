// The button gadget: a push button, or a push-on/push-off button, whose click
// posts a GadgetEvent.
#pragma once

#include <cstdint>

#include "runtime/core/runtime_string.h"
#include "runtime/gadgets/gadget_functions.h"

namespace zeb {

// ButtonGadget flags.
inline constexpr int32_t ButtonRight = 1;
inline constexpr int32_t ButtonLeft = 2;  // wins over ButtonRight
inline constexpr int32_t ButtonToggle = 4;
inline constexpr int32_t ButtonDefault = 8;  // Return presses it; at the standard height only

class ZebButtonGadgetFunctions : public ZebGadgetFunctions {
 public:
  explicit ZebButtonGadgetFunctions(platform::Button& button) : button_(button) {}

  void SetGadgetText(const platform::ToolkitString& text) override { button_.SetTitle(text); }
  platform::ToolkitString GetGadgetText() override { return button_.Title(); }
  // A rounded bezel fits the standard height only: at any other height the button
  // turns square, and stays so.
  void ResizeGadget(int32_t x, int32_t y, int32_t width, int32_t height) override;

 private:
  platform::Button& button_;
};

// A button at (x, y) of the current gadget container, titled `text` (null: no
// title). Returns the record's address for -1, a non-zero value for a chosen
// number, 0 when there is no gadget container or no record could be had.
int64_t ButtonGadget(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, const Unit* text,
                     int32_t flags);

}  // namespace zeb
