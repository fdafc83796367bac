// Controls of the headless toolkit: a push button that tells its target when the
// simulated user presses it, and a label that measures its text on a fixed grid.
#pragma once

#include "platform/headless/headless_view.h"

namespace zeb::platform {

class HeadlessButton : public HeadlessView, public Button {
 public:
  void SetTitle(const ToolkitString& title) override { title_ = title; }
  void SetTarget(ControlTarget* target) override { target_ = target; }

  const ToolkitString& title() const { return title_; }
  void Press() {
    if (target_ != nullptr) target_->ControlAction(*this);
  }

 private:
  ToolkitString title_;
  ControlTarget* target_ = nullptr;
};

// A button target that ends the modal loop with its code.
class StopModalButton : public ControlTarget {
 public:
  StopModalButton(Toolkit& toolkit, int64_t code) : toolkit_(toolkit), code_(code) {}
  void ControlAction(View&) override { toolkit_.StopModal(code_); }

 private:
  Toolkit& toolkit_;
  int64_t code_;
};

class HeadlessLabel : public HeadlessView, public Label {
 public:
  // Every character takes this many points across, every line this many down.
  static constexpr double kCharacterWidth = 7;
  static constexpr double kLineHeight = 16;

  void SetText(const ToolkitString& text) override { text_ = text; }
  Size FittingSize() const override;

  const ToolkitString& text() const { return text_; }

 private:
  ToolkitString text_;
};

}  // namespace zeb::platform
