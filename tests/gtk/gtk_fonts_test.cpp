// Fonts of the GTK backend: families resolve through fontconfig, metric-compatible
// faces stand in for the names they are bound to, and unknown families give none.
#include <gtest/gtest.h>

#include "platform/gtk/gtk_fonts.h"

namespace zeb::platform {
namespace {

TEST(GtkFonts, KnownFamiliesAndTheirMetricTwinsResolveUnknownOnesDoNot) {
  for (const char16_t* family : {u"Arial", u"Courier New", u"DejaVu Sans", u"arial"}) {
    EXPECT_NE(GtkFontWithFamily(family, 0, 10), nullptr);
  }
  for (const char16_t* family : {u"No Such Family", u""}) EXPECT_EQ(GtkFontWithFamily(family, 0, 10), nullptr);
  const SharedFont bold = GtkFontWithFamily(u"Arial", FontBold | FontItalic, 10);
  ASSERT_NE(bold, nullptr);
  const std::string css = FontDeclarations(*bold);
  EXPECT_NE(css.find("font-family: \"Arial\""), std::string::npos) << css;
  EXPECT_NE(css.find("font-size: 10pt"), std::string::npos) << css;
  EXPECT_NE(css.find("bold"), std::string::npos) << css;
  EXPECT_NE(css.find("italic"), std::string::npos) << css;
}

}  // namespace
}  // namespace zeb::platform
