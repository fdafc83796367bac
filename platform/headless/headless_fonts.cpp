#include "platform/headless/headless_fonts.h"

#include <algorithm>
#include <array>

namespace zeb::platform {
namespace {

constexpr std::array<std::u16string_view, 5> kInstalledFamilies = {u"Arial", u"Courier New", u"Helvetica",
                                                                   u"Times New Roman", u"Menlo"};

char16_t Folded(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool SameName(std::u16string_view a, std::u16string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char16_t x, char16_t y) { return Folded(x) == Folded(y); });
}

}  // namespace

SharedFont HeadlessFontWithFamily(const ToolkitString& family, uint32_t traits, double size) {
  for (const std::u16string_view installed : kInstalledFamilies) {
    if (SameName(installed, family)) return std::make_shared<FontDescription>(ToolkitString(installed), size, traits);
  }
  return nullptr;
}

SharedFont HeadlessSystemFont(double size) { return std::make_shared<FontDescription>(u"System", size, 0); }

}  // namespace zeb::platform
