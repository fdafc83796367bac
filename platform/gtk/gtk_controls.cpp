#include "platform/gtk/gtk_controls.h"

#include "platform/gtk/gtk_strings.h"

namespace zeb::platform {

GtkBackendButton::GtkBackendButton(ButtonType type, std::unique_ptr<ViewDelegate> delegate)
    : GtkBackendView(type == ButtonType::PushOnPushOff ? gtk_toggle_button_new() : gtk_button_new(), std::move(delegate)),
      type_(type), style_(widget(), "button") {
  gtk_widget_set_can_default(widget(), TRUE);
  clicked_ = SignalConnection(widget(), "clicked", G_CALLBACK(OnClicked), this);
  gtk_widget_show(widget());
}

void GtkBackendButton::SetTitle(const ToolkitString& title) {
  gtk_button_set_label(GTK_BUTTON(widget()), ToUTF8(title).c_str());
  AlignLabel();
}

ToolkitString GtkBackendButton::Title() const { return FromUTF8(gtk_button_get_label(GTK_BUTTON(widget()))); }

void GtkBackendButton::SetAlignment(TextAlignment alignment) {
  alignment_ = alignment;
  AlignLabel();
}

// The label fills the button and sits at the side asked for.
void GtkBackendButton::AlignLabel() {
  GtkWidget* label = gtk_bin_get_child(GTK_BIN(widget()));
  if (label == nullptr || !GTK_IS_LABEL(label) || alignment_ == TextAlignment::Natural) return;
  gtk_widget_set_halign(label, GTK_ALIGN_FILL);
  gtk_label_set_xalign(GTK_LABEL(label), alignment_ == TextAlignment::Left ? 0.0F : 1.0F);
}

void GtkBackendButton::SetBezelStyle(BezelStyle style) {
  bezel_ = style;
  style_.SetExtra(style == BezelStyle::Square ? "border-radius: 0;" : "");
}

bool GtkBackendButton::IsOn() const {
  return GTK_IS_TOGGLE_BUTTON(widget()) && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget()));
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

Size GtkBackendLabel::FittingSize() const { return NaturalSize(); }

}  // namespace zeb::platform
