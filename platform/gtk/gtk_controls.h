// Controls of the GTK backend: a push button (GtkButton) that tells its target of
// each click, and a label (GtkLabel) that measures its text.
#pragma once

#include "platform/gtk/gtk_view.h"

namespace zeb::platform {

class GtkBackendButton : public GtkBackendView, public Button {
 public:
  GtkBackendButton();

  void SetTitle(const ToolkitString& title) override;
  void SetTarget(ControlTarget* target) override { target_ = target; }

 private:
  static void OnClicked(GtkButton*, gpointer self);

  ControlTarget* target_ = nullptr;
  SignalConnection clicked_;
};

class GtkBackendLabel : public GtkBackendView, public Label {
 public:
  GtkBackendLabel();

  void SetText(const ToolkitString& text) override;
  Size FittingSize() const override;
};

}  // namespace zeb::platform
