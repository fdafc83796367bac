// Controls of the headless toolkit: a push button that tells its target when the
// simulated user presses it, and a label that measures its text on a fixed grid.
#pragma once

#include "platform/headless/headless_view.h"

namespace zeb::platform {

class HeadlessButton : public HeadlessView, public Button {
 public:
  explicit HeadlessButton(ButtonType type = ButtonType::MomentaryPush, std::unique_ptr<ViewDelegate> delegate = nullptr)
      : HeadlessView(std::move(delegate)), type_(type) {}

  void SetTarget(ControlTarget* target) override { target_ = target; }
  void SetFont(SharedFont font) override { font_ = std::move(font); }
  SharedFont Font() const override { return font_; }
  void SetTitle(const ToolkitString& title) override { title_ = title; }
  ToolkitString Title() const override { return title_; }
  ButtonType Type() const override { return type_; }
  void SetAlignment(TextAlignment alignment) override { alignment_ = alignment; }
  TextAlignment Alignment() const override { return alignment_; }
  void SetBezelStyle(BezelStyle style) override { bezel_ = style; }
  BezelStyle Bezel() const override { return bezel_; }
  bool IsOn() const override { return on_; }
  double FittingHeight() const override { return kStandardButtonHeight; }
  bool AcceptsFirstResponder() const override { return true; }

  const ToolkitString& title() const { return title_; }
  // A push-on/push-off button changes its state, then tells its target.
  void Press();

 private:
  ToolkitString title_;
  ControlTarget* target_ = nullptr;
  SharedFont font_;
  ButtonType type_;
  TextAlignment alignment_ = TextAlignment::Natural;
  BezelStyle bezel_ = BezelStyle::Rounded;
  bool on_ = false;
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
  void SetText(const ToolkitString& text) override { text_ = text; }
  Size FittingSize() const override;

  const ToolkitString& text() const { return text_; }

 private:
  ToolkitString text_;
};

}  // namespace zeb::platform
