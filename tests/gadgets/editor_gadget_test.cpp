// The editor's lines, attributes and colours.
#include <gmock/gmock.h>

#include "runtime/gadgets/editor_gadget.h"
#include "runtime/gadgets/editor_lines.h"
#include "tests/gadgets/gadget_fixture.h"

namespace zeb {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

TEST(EditorLines, EveryCarriageReturnBreaksALineAndTheEmptyTextHasNone) {
  struct Case {
    std::u16string text;
    std::vector<std::u16string> lines;
  };
  for (const Case& c : {Case{u"", {}}, Case{u"a\r\nb", {u"a", u"", u"b"}}, Case{u"a\n", {u"a", u""}},
                        Case{u"\r", {u"", u""}}, Case{u"one", {u"one"}}}) {
    EXPECT_THAT(EditorLines(c.text), ElementsAreArray(c.lines));
    if (!c.text.empty() && c.text.find(u'\r') == std::u16string::npos) {
      EXPECT_EQ(JoinLines(c.lines), c.text);
    }
  }
}

using EditorGadgetTest = GadgetTest;

TEST_F(EditorGadgetTest, ItemOperationsRewriteTheLines) {
  ASSERT_NE(EditorGadget(1, 0, 0, 200, 100, 0), 0);
  SetGadgetText(1, u"a\r\nb");
  EXPECT_EQ(CountGadgetItems(1), 3);
  RemoveGadgetItem(1, 5);  // no such line: the text is written back all the same
  EXPECT_EQ(Text(1), u"a\n\nb");
  SetGadgetItemText(1, 1, u"middle", 0);
  EXPECT_EQ(Text(1), u"a\nmiddle\nb");
  RemoveGadgetItem(1, 0);
  EXPECT_EQ(Text(1), u"middle\nb");
  for (const int32_t position : {-1, 2}) {
    GetGadgetItemText(1, position, 0, 0);
    EXPECT_EQ(std::u16string(TempStringAddress(0)), u"") << position;
  }
  GetGadgetItemText(1, 1, 0, 0);
  EXPECT_EQ(std::u16string(TempStringAddress(0)), u"b");

  for (const int32_t position : {0, 7}) {
    ClearGadgetItems(1);
    EXPECT_EQ(CountGadgetItems(1), 0);
    AddGadgetItem(1, position, u"only");
    EXPECT_EQ(Text(1), u"only") << position;
  }
  AddGadgetItem(1, 0, u"first");
  EXPECT_EQ(Text(1), u"first\nonly");
  ClearGadgetItems(1);
  AddGadgetItem(1, -1, u"x");
  AddGadgetItem(1, -1, u"y");
  EXPECT_EQ(Text(1), u"x\ny");
}

// The creation flags as attributes, colours, and the smallest document.
TEST_F(EditorGadgetTest, FlagsBecomeAttributesColoursAndTheSmallestDocument) {
  ASSERT_NE(EditorGadget(1, 5, 6, 0, -5, EditorReadOnly | EditorWordWrap), 0);
  EXPECT_EQ(GetGadgetAttribute(1, EditorAttributeReadOnly), 1);
  EXPECT_EQ(GetGadgetAttribute(1, EditorAttributeWordWrap), 1);
  EXPECT_EQ(GetGadgetAttribute(1, 99), 0);
  // A colour goes through the toolkit's components and back unchanged.
  SetGadgetColor(1, FrontColor, 0x123456);
  SetGadgetColor(1, 3, 0x123456);
  EXPECT_EQ(GetGadgetColor(1, FrontColor), 0x123456);
  EXPECT_EQ(GetGadgetColor(1, 3), 0);
  EXPECT_EQ(IsGadget(1)->view->Frame(), (platform::Rect{0, 0, 1, 1}));
  EXPECT_EQ(IsGadget(1)->outerView->Frame().x, 5);
}

}  // namespace
}  // namespace zeb
