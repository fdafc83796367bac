#include "platform/gtk/gtk_color_panel.h"

namespace zeb::platform {
namespace {

constexpr int kSpacing = 6;

// The panel's content: a vertical box.
class ColorPanelContent : public GtkBackendView {
 public:
  ColorPanelContent() : GtkBackendView(gtk_box_new(GTK_ORIENTATION_VERTICAL, kSpacing)) {
    gtk_container_set_border_width(GTK_CONTAINER(widget()), kSpacing);
  }
};

}  // namespace

GtkColorPanel::GtkColorPanel(GtkBackendWindow& window) : window_(window) {
  window_.SetHidesOnClose(true);
  window_.SetTitle(u"Colors");
  auto content = std::make_unique<ColorPanelContent>();
  box_ = content->widget();
  chooser_ = gtk_color_chooser_widget_new();
  gtk_box_pack_start(GTK_BOX(box_), chooser_, TRUE, TRUE, 0);
  // Return confirms wherever the focus is, and so does a double click on a swatch.
  activated_ = SignalConnection(chooser_, "color-activated", G_CALLBACK(OnColorActivated), this);
  keys_ = SignalConnection(window_.gtkWindow(), "key-press-event", G_CALLBACK(OnKeyPress), this);
  gtk_widget_show_all(box_);
  window_.SetContentView(std::move(content));
}

void GtkColorPanel::OnColorActivated(GtkColorChooser*, GdkRGBA*, gpointer self) {
  gtk_window_activate_default(static_cast<GtkColorPanel*>(self)->window_.gtkWindow());
}

gboolean GtkColorPanel::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
  const bool enter = event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter;
  if (!enter || (event->state & gtk_accelerator_get_default_mod_mask()) != 0) return FALSE;
  return gtk_window_activate_default(static_cast<GtkColorPanel*>(self)->window_.gtkWindow());
}

void GtkColorPanel::SetColor(const ColorComponents& color) {
  const GdkRGBA rgba{color.red, color.green, color.blue, color.alpha};
  gtk_color_chooser_set_rgba(chooser(), &rgba);
}

// Every colour GTK's chooser offers has an RGB form.
std::optional<ColorComponents> GtkColorPanel::Color() const {
  GdkRGBA rgba{};
  gtk_color_chooser_get_rgba(chooser(), &rgba);
  return ColorComponents{rgba.red, rgba.green, rgba.blue, rgba.alpha};
}

void GtkColorPanel::SetShowsAlpha(bool shows) { gtk_color_chooser_set_use_alpha(chooser(), shows); }

void GtkColorPanel::SetAccessoryView(std::unique_ptr<View> view) {
  // A default button inside the old accessory view goes with it.
  window_.SetDefaultButton(nullptr);
  if (auto* old = dynamic_cast<GtkBackendView*>(accessory_.get())) gtk_container_remove(GTK_CONTAINER(box_), old->widget());
  accessory_.reset();
  auto* gtkView = dynamic_cast<GtkBackendView*>(view.get());
  if (gtkView == nullptr) return;
  gtk_widget_set_halign(gtkView->widget(), GTK_ALIGN_END);
  gtk_box_pack_end(GTK_BOX(box_), gtkView->widget(), FALSE, FALSE, 0);
  gtk_widget_show(gtkView->widget());
  accessory_ = std::move(view);
}

}  // namespace zeb::platform
