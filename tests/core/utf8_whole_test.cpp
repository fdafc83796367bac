// Text from outside that must come back whole: ill-formed UTF-8 under the two
// BadText rules, unpaired surrogates on the way out, and the repair of UTF-8
// into UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "runtime/core/text_conversion.h"
#include "tests/core/utf8_reference.h"

namespace zeb {
namespace {

using Bytes = std::string;
using Units = std::u16string;
using testing::DecodedWhole;
using testing::EncodedWhole;
using testing::Repaired;

// Each row: the bytes, what kReplace gives (one U+FFFD per maximal ill-formed
// piece) and what kEscape gives (0xDC00 + byte for each byte of such a piece).
// Under kEscape every row encodes back to exactly its bytes, and the repaired
// bytes are what decoding under kReplace and encoding give.
TEST(Utf8Whole, IllFormedPiecesCostOnlyThemselves) {
  const Bytes ascii(20, 'a');
  const struct {
    Bytes bytes;
    Units replaced;
    Units escaped;
  } kRows[] = {
      {"caf\xE9", u"caf\uFFFD", u"caf\xDCE9"},                                // Latin-1
      {"\x80\xBFz", u"\uFFFD\uFFFDz", u"\xDC80\xDCBFz"},                      // lone continuation bytes
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", u"\xDCED\xDCA0\xDC80"},         // an encoded surrogate
      {Bytes("a\xC0\x80" "b"), u"a\uFFFD\uFFFDb", u"a\xDCC0\xDC80" u"b"},     // an overlong NUL
      {"\xFF", u"\uFFFD", u"\xDCFF"},
      {"\xE2\x82", u"\uFFFD", u"\xDCE2\xDC82"},                               // cut off by the end
      {"\xE2\x82x", u"\uFFFDx", u"\xDCE2\xDC82x"},                            // ended early
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", u"\xDCF4\xDC90\xDC80\xDC80"},  // above U+10FFFF
      {"\xF0\x9F\x98\x80\xED\x9F\xBF\xEF\xBF\xBD", u"\U0001F600\uD7FF\uFFFD", u"\U0001F600\uD7FF\uFFFD"},
      {Bytes("\0\x7F", 2), Units(u"\0\x7F", 2), Units(u"\0\x7F", 2)},
      // Across the 16-byte blocks of the ASCII path.
      {ascii + "\xFF\xC3\xA9" + ascii, u"aaaaaaaaaaaaaaaaaaaa\uFFFD\u00E9aaaaaaaaaaaaaaaaaaaa",
       u"aaaaaaaaaaaaaaaaaaaa\xDCFF\u00E9aaaaaaaaaaaaaaaaaaaa"},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(::testing::PrintToString(row.bytes));
    EXPECT_EQ(DecodedWhole(row.bytes, BadText::kReplace), row.replaced);
    EXPECT_EQ(DecodedWhole(row.bytes, BadText::kEscape), row.escaped);
    bool replaced = true;
    EXPECT_EQ(EncodedWhole(row.escaped, BadText::kEscape, &replaced), row.bytes);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(Repaired(row.bytes), EncodedWhole(row.replaced, BadText::kReplace, &replaced));
  }
}

// Each row: units with unpaired surrogates, and their bytes under each rule.
// Only a low surrogate from 0xDC80 to 0xDCFF stands for a byte.
TEST(Utf8Whole, UnpairedSurrogatesBecomeTheReplacementOrTheirByte) {
  const Bytes kFFFD = "\xEF\xBF\xBD";
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
      {u"\U0001F600\u00E9", "\xF0\x9F\x98\x80\xC3\xA9", "\xF0\x9F\x98\x80\xC3\xA9", false},
      {Units(17, u'q') + u"\xDCE9" + Units(17, u'q'), Bytes(17, 'q') + kFFFD + Bytes(17, 'q'),
       Bytes(17, 'q') + "\xE9" + Bytes(17, 'q'), false},
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
