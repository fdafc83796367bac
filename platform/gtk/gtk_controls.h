// Controls of the GTK backend: a push button (GtkButton, or GtkToggleButton for
// push-on/push-off) that tells its target of each click, and a label (GtkLabel)
// that measures its text.
#pragma once

#include "platform/gtk/gtk_style.h"
#include "platform/gtk/gtk_view.h"

namespace zeb::platform {

class GtkBackendButton : public GtkBackendView, public Button {
 public:
  GtkBackendButton(ButtonType type, std::unique_ptr<ViewDelegate> delegate);

  void SetTarget(ControlTarget* target) override { target_ = target; }
  void SetFont(SharedFont font) override { style_.SetFont(std::move(font)); }
  SharedFont Font() const override { return style_.font(); }
  void SetTitle(const ToolkitString& title) override;
  ToolkitString Title() const override;
  ButtonType Type() const override { return type_; }
  void SetAlignment(TextAlignment alignment) override;
  TextAlignment Alignment() const override { return alignment_; }
  // A square bezel is the rounded one with square corners.
  void SetBezelStyle(BezelStyle style) override;
  BezelStyle Bezel() const override { return bezel_; }
  bool IsOn() const override;
  double FittingHeight() const override { return NaturalSize().height; }

 private:
  static void OnClicked(GtkButton*, gpointer self);
  void AlignLabel();

  ButtonType type_;
  ControlTarget* target_ = nullptr;
  WidgetStyle style_;
  TextAlignment alignment_ = TextAlignment::Natural;
  BezelStyle bezel_ = BezelStyle::Rounded;
  SignalConnection clicked_;
};

class GtkBackendLabel : public GtkBackendView, public Label {
 public:
  GtkBackendLabel();

  void SetText(const ToolkitString& text) override;
  Size FittingSize() const override;
};

}  // namespace zeb::platform
