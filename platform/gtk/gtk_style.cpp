#include "platform/gtk/gtk_style.h"

#include <cmath>
#include <cstdio>

#include "platform/gtk/gtk_fonts.h"

namespace zeb::platform {
namespace {

std::string Rgba(const ColorComponents& color) {
  const auto byte = [](double c) { return static_cast<int>(std::lround(std::fmin(std::fmax(c, 0.0), 1.0) * 255)); };
  char css[64];
  std::snprintf(css, sizeof css, "rgba(%d,%d,%d,%.3f)", byte(color.red), byte(color.green), byte(color.blue),
                std::fmin(std::fmax(color.alpha, 0.0), 1.0));
  return css;
}

}  // namespace

WidgetStyle::WidgetStyle(GtkWidget* widget, std::string node)
    : node_(std::move(node)), provider_(gtk_css_provider_new()) {
  gtk_style_context_add_provider(gtk_widget_get_style_context(widget), GTK_STYLE_PROVIDER(provider_.get()),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

void WidgetStyle::SetFont(SharedFont font) {
  font_ = std::move(font);
  Apply();
}

void WidgetStyle::SetColors(std::optional<ColorComponents> text, std::optional<ColorComponents> background) {
  text_ = text;
  background_ = background;
  Apply();
}

void WidgetStyle::SetExtra(std::string declarations) {
  extra_ = std::move(declarations);
  Apply();
}

// The font reaches the node and, by inheritance, what it holds (a button's label,
// a text view's text).
void WidgetStyle::Apply() {
  std::string css = node_ + " {" + extra_;
  if (font_ != nullptr) css += FontDeclarations(*font_);
  css += "}";
  if (text_ || background_) {
    css += node_ + " text {";
    if (text_) css += "color: " + Rgba(*text_) + ";";
    if (background_) css += "background-color: " + Rgba(*background_) + ";";
    css += "}";
  }
  gtk_css_provider_load_from_data(provider_.get(), css.c_str(), -1, nullptr);
}

void MarkDefaultButton(GtkWidget* button, bool isDefault) {
  GtkStyleContext* style = gtk_widget_get_style_context(button);
  if (isDefault) {
    gtk_style_context_add_class(style, GTK_STYLE_CLASS_SUGGESTED_ACTION);
  } else {
    gtk_style_context_remove_class(style, GTK_STYLE_CLASS_SUGGESTED_ACTION);
  }
}

}  // namespace zeb::platform
