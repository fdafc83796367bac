// Text that must go out whole: unpaired surrogates under the two BadText rules.
// (Ill-formed UTF-8 coming in is the UTF-8 fuzz target's, against the reference,
// and the file exports' with names that are not UTF-8.)
#include <gtest/gtest.h>

#include <string>

#include "runtime/core/text_conversion.h"
#include "tests/core/utf8_reference.h"

namespace zeb {
namespace {

using Bytes = std::string;
using Units = std::u16string;
using testing::EncodedWhole;

// Each row: units with unpaired surrogates, and their bytes under each rule.
// Only a low surrogate from 0xDC80 to 0xDCFF stands for a byte.
TEST(Utf8Whole, UnpairedSurrogatesBecomeTheReplacementOrTheirByte) {
  const Bytes kFFFD = "\xEF\xBF\xBD";
  const Bytes kAccented = "\xC3\xA9\xE2\x82\xAC";  // two- and three-byte characters: e acute, the euro sign
  const struct {
    Units units;
    Bytes replaced;
    Bytes escaped;
    bool unencodable;  // under kEscape
  } kRows[] = {
      {u"a\xD800" u"b", "a" + kFFFD + "b", "a" + kFFFD + "b", true},
      {u"x\xD83D", "x" + kFFFD, "x" + kFFFD, true},
      {u"\xDC80\xDCFF", kFFFD + kFFFD, "\x80\xFF", false},
      {u"\xDC41\xDD00", kFFFD + kFFFD, kFFFD + kFFFD, true},
      {u"\U0001F600\u00E9\u20AC", "\xF0\x9F\x98\x80" + kAccented, "\xF0\x9F\x98\x80" + kAccented, false},
      {Units(17, u'q') + u"\xDCE9\u00E9\u20AC" + Units(17, u'q'), Bytes(17, 'q') + kFFFD + kAccented + Bytes(17, 'q'),
       Bytes(17, 'q') + "\xE9" + kAccented + Bytes(17, 'q'), false},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(::testing::PrintToString(row.escaped));
    bool replaced = false;
    EXPECT_EQ(EncodedWhole(row.units, BadText::kReplace, &replaced), row.replaced);
    EXPECT_EQ(replaced, row.replaced.find(kFFFD) != Bytes::npos);
    EXPECT_EQ(EncodedWhole(row.units, BadText::kEscape, &replaced), row.escaped);
    EXPECT_EQ(replaced, row.unencodable);
  }
}

}  // namespace
}  // namespace zeb
