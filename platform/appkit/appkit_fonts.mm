#import "platform/appkit/appkit_fonts.h"

#import "platform/appkit/appkit_strings.h"

namespace zeb::platform {
namespace {

// AppKit's weight of a regular face, on its 0-15 scale.
constexpr int kRegularWeight = 5;

NSFontTraitMask TraitMaskOf(uint32_t traits) {
  NSFontTraitMask mask = 0;
  if ((traits & FontItalic) != 0) mask |= NSItalicFontMask;
  if ((traits & FontBold) != 0) mask |= NSBoldFontMask;
  return mask;
}

NSFont* FontOfFamily(const ToolkitString& family, uint32_t traits, double size) {
  return [[NSFontManager sharedFontManager] fontWithFamily:ToNSString(family)
                                                    traits:TraitMaskOf(traits)
                                                    weight:kRegularWeight
                                                      size:size];
}

}  // namespace

SharedFont AppKitFontWithFamily(const ToolkitString& family, uint32_t traits, double size) {
  if (FontOfFamily(family, traits, size) == nil) return nullptr;
  return std::make_shared<FontDescription>(family, size, traits);
}

SharedFont AppKitSystemFont(double size) {
  NSFont* font = [NSFont systemFontOfSize:size];
  return std::make_shared<FontDescription>(FromNSString([font familyName]), [font pointSize], 0);
}

NSFont* NSFontOf(const SharedFont& font) {
  if (font == nullptr) return [NSFont systemFontOfSize:0];
  NSFont* shown = FontOfFamily(font->Family(), font->Traits(), font->PointSize());
  return shown != nil ? shown : [NSFont systemFontOfSize:font->PointSize()];
}

}  // namespace zeb::platform
