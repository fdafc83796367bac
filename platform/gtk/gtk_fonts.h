// Fonts of the GTK backend: families looked up through fontconfig, and shown by
// widgets through the style sheet that gtk_style.h gives them.
#pragma once

#include <string>

#include "platform/gtk/gtk_resources.h"
#include "platform/toolkit.h"

namespace zeb::platform {

// The font as style-sheet declarations.
std::string FontDeclarations(const Font& font);

// Null when fontconfig has neither the family nor a metric-compatible face bound
// to its name.
SharedFont GtkFontWithFamily(const ToolkitString& family, uint32_t traits, double size);
// The family of GTK's interface font at this size.
SharedFont GtkSystemFont(double size);

}  // namespace zeb::platform
