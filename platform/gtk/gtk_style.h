// A widget's own style sheet: the font and colours the runtime gives it, kept in
// one CSS provider on the widget's style context.
#pragma once

#include <optional>
#include <string>

#include "platform/gtk/gtk_resources.h"
#include "platform/toolkit.h"

namespace zeb::platform {

class WidgetStyle {
 public:
  // `node` is the widget's CSS node name ("button", "textview").
  WidgetStyle(GtkWidget* widget, std::string node);

  void SetFont(SharedFont font);
  const SharedFont& font() const { return font_; }
  // The text's colour and the background's (of a text view's text).
  void SetColors(std::optional<ColorComponents> text, std::optional<ColorComponents> background);
  // Declarations for the node itself, such as square corners.
  void SetExtra(std::string declarations);

 private:
  void Apply();

  std::string node_;
  GObjectPtr<GtkCssProvider> provider_;
  SharedFont font_;
  std::optional<ColorComponents> text_;
  std::optional<ColorComponents> background_;
  std::string extra_;
};

// Draws a button as its window's default one (GTK's suggested-action style), or
// as a plain one again.
void MarkDefaultButton(GtkWidget* button, bool isDefault);

}  // namespace zeb::platform
