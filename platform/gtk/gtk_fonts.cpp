#include "platform/gtk/gtk_fonts.h"

#include <fontconfig/fontconfig.h>

#include <cstdio>

#include "platform/gtk/gtk_strings.h"

namespace zeb::platform {
namespace {

struct FcPatternDestroyer {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternDestroyer>;

// Whether the face fontconfig chooses for the family is the family itself or one
// that its configuration binds strongly to that name (as a metric-compatible face
// is bound to "Arial"); the weak fallbacks every name gets do not count.
bool FamilyAvailable(const std::string& family) {
  FcPatternPtr pattern(FcPatternCreate());
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  const FcPatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
  FcChar8* matched = nullptr;
  if (match == nullptr || FcPatternGetString(match.get(), FC_FAMILY, 0, &matched) != FcResultMatch) return false;
  FcValue value;
  FcValueBinding binding = FcValueBindingWeak;
  for (int i = 0; FcPatternGetWithBinding(pattern.get(), FC_FAMILY, i, &value, &binding) == FcResultMatch; ++i) {
    if (binding == FcValueBindingWeak || value.type != FcTypeString) continue;
    if (FcStrCmpIgnoreCase(value.u.s, matched) == 0) return true;
  }
  return false;
}

}  // namespace

std::string FontDeclarations(const Font& font) {
  std::string family = ToUTF8(font.Family());
  std::erase(family, '"');
  std::erase(family, '\\');
  char size[32];
  std::snprintf(size, sizeof size, "%gpt", font.PointSize());
  std::string css = "font-family: \"" + family + "\"; font-size: " + size + ";";
  css += (font.Traits() & FontBold) != 0 ? " font-weight: bold;" : " font-weight: normal;";
  css += (font.Traits() & FontItalic) != 0 ? " font-style: italic;" : " font-style: normal;";
  return css;
}

SharedFont GtkFontWithFamily(const ToolkitString& family, uint32_t traits, double size) {
  if (family.empty() || !FamilyAvailable(ToUTF8(family))) return nullptr;
  return std::make_shared<FontDescription>(family, size, traits);
}

SharedFont GtkSystemFont(double size) {
  gchar* name = nullptr;
  g_object_get(gtk_settings_get_default(), "gtk-font-name", &name, nullptr);
  const GCharPtr owned(name);
  PangoFontDescription* description = pango_font_description_from_string(name != nullptr ? name : "Sans");
  const char* family = pango_font_description_get_family(description);
  ToolkitString familyName = FromUTF8(family != nullptr ? family : "Sans");
  pango_font_description_free(description);
  return std::make_shared<FontDescription>(std::move(familyName), size, 0);
}

}  // namespace zeb::platform
