// Controls of the AppKit backend: NSButton for push buttons, a non-editable
// NSTextField for labels, NSTextField (NSSecureTextField) for one-line fields.
#pragma once

#include <memory>

#import "platform/appkit/appkit_view.h"
#include "platform/controls.h"

@class ZebControlAction;

namespace zeb::platform {

class AppKitButton : public AppKitView, public Button {
 public:
  AppKitButton(ButtonType type, std::unique_ptr<ViewDelegate> delegate);
  ~AppKitButton() override;

  void SetTarget(ControlTarget* target) override;
  void SetFont(SharedFont font) override;
  SharedFont Font() const override { return font_; }
  void SetTitle(const ToolkitString& title) override;
  ToolkitString Title() const override;
  ButtonType Type() const override { return type_; }
  void SetAlignment(TextAlignment alignment) override;
  TextAlignment Alignment() const override { return alignment_; }
  void SetBezelStyle(BezelStyle style) override;
  BezelStyle Bezel() const override { return bezel_; }
  bool IsOn() const override;
  double FittingHeight() const override;

  NSButton* nsButton() const { return static_cast<NSButton*>(nsView()); }

 private:
  ButtonType type_;
  TextAlignment alignment_ = TextAlignment::Natural;
  BezelStyle bezel_ = BezelStyle::Rounded;
  SharedFont font_;
  ZebControlAction* action_;
};

class AppKitLabel : public AppKitView, public Label {
 public:
  AppKitLabel();
  void SetText(const ToolkitString& text) override;
  Size FittingSize() const override;
};

class AppKitTextField : public AppKitView, public TextField {
 public:
  explicit AppKitTextField(bool secure);
  ToolkitString Text() const override;
  void SetText(const ToolkitString& text) override;
  void SetSelection(int64_t start, int64_t end) override;
  std::pair<int64_t, int64_t> Selection() const override;
  double FittingHeight() const override;
};

}  // namespace zeb::platform
