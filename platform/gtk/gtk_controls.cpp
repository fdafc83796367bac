#include "platform/gtk/gtk_controls.h"

#include "platform/gtk/gtk_strings.h"

namespace zeb::platform {

GtkBackendButton::GtkBackendButton() : GtkBackendView(gtk_button_new()) {
  gtk_widget_set_can_default(widget(), TRUE);
  clicked_ = SignalConnection(widget(), "clicked", G_CALLBACK(OnClicked), this);
  gtk_widget_show(widget());
}

void GtkBackendButton::SetTitle(const ToolkitString& title) {
  gtk_button_set_label(GTK_BUTTON(widget()), ToUTF8(title).c_str());
}

void GtkBackendButton::OnClicked(GtkButton*, gpointer self) {
  auto* button = static_cast<GtkBackendButton*>(self);
  if (button->target_ != nullptr) button->target_->ControlAction(*button);
}

GtkBackendLabel::GtkBackendLabel() : GtkBackendView(gtk_label_new(nullptr)) {
  GtkLabel* label = GTK_LABEL(widget());
  gtk_label_set_selectable(label, FALSE);
  gtk_label_set_xalign(label, 0);
  gtk_label_set_yalign(label, 0);
  gtk_widget_show(widget());
}

void GtkBackendLabel::SetText(const ToolkitString& text) { gtk_label_set_text(GTK_LABEL(widget()), ToUTF8(text).c_str()); }

Size GtkBackendLabel::FittingSize() const {
  GtkRequisition natural{};
  gtk_widget_get_preferred_size(widget(), nullptr, &natural);
  return {static_cast<double>(natural.width), static_cast<double>(natural.height)};
}

}  // namespace zeb::platform
