// The colour panel of the GTK backend: a panel window holding GTK's colour chooser
// with the accessory view below it.
#pragma once

#include <memory>

#include "platform/gtk/gtk_window.h"

namespace zeb::platform {

class GtkColorPanel : public ColorPanel {
 public:
  explicit GtkColorPanel(GtkBackendWindow& window);

  Window& window() override { return window_; }
  void SetColor(const ColorComponents& color) override;
  std::optional<ColorComponents> Color() const override;
  void SetShowsAlpha(bool shows) override;
  void SetAccessoryView(std::unique_ptr<View> view) override;

  GtkColorChooser* chooser() const { return GTK_COLOR_CHOOSER(chooser_); }

 private:
  static void OnColorActivated(GtkColorChooser*, GdkRGBA*, gpointer self);
  static gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self);

  GtkBackendWindow& window_;
  GtkWidget* box_ = nullptr;      // the content: the chooser above the accessory view
  GtkWidget* chooser_ = nullptr;
  std::unique_ptr<View> accessory_;
  SignalConnection activated_;
  SignalConnection keys_;
};

}  // namespace zeb::platform
