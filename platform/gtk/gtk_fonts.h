// Fonts of the GTK backend: Pango font descriptions, looked up through fontconfig,
// and shown by widgets through the style sheet that gtk_style.h gives them.
#pragma once

#include <string>

#include "platform/gtk/gtk_resources.h"
#include "platform/toolkit.h"

namespace zeb::platform {

class GtkFont : public Font {
 public:
  GtkFont(ToolkitString family, double size, uint32_t traits);

  ToolkitString Family() const override { return family_; }
  double PointSize() const override { return size_; }
  uint32_t Traits() const override { return traits_; }
  // The font as style-sheet declarations.
  std::string Declarations() const;

 private:
  ToolkitString family_;
  double size_;
  uint32_t traits_;
};

// Null when fontconfig has neither the family nor a metric-compatible face bound
// to its name.
SharedFont GtkFontWithFamily(const ToolkitString& family, uint32_t traits, double size);
// The family of GTK's interface font at this size.
SharedFont GtkSystemFont(double size);

}  // namespace zeb::platform
