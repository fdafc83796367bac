// The gadgets on a headless toolkit with a screen: numbers, release exactly once,
// resizing, fonts; the button; the editor's lines, attributes and colours.
#include <gtest/gtest.h>

#include <string>

#include "platform/headless/headless_toolkit.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/gadgets/button_gadget.h"
#include "runtime/gadgets/editor_gadget.h"
#include "tests/runtime_session.h"

namespace zeb {
namespace {

// The runtime with one window to put gadgets in.
class GadgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto toolkit = std::make_unique<platform::HeadlessToolkit>(platform::Size{1920, 1080});
    toolkit_ = toolkit.get();
    StartRuntime(std::move(toolkit));
    ASSERT_NE(OpenWindow(1, 10, 10, 400, 300, u"gadgets", WindowSizeable | WindowClosable), 0);
  }
  void TearDown() override { StopRuntime(); }

  // The gadget's text, read through the temporary string buffer.
  static std::u16string Text(int64_t number) {
    GetGadgetText(number, 0);
    return TempStringAddress(0);
  }

  platform::HeadlessToolkit* toolkit_ = nullptr;
};

// The gadget number stays with whoever holds it last: a view that goes after its
// gadget was released releases nothing, not even a new gadget under its number.
TEST_F(GadgetTest, AGadgetIsReleasedExactlyOnce) {
  ASSERT_NE(EditorGadget(1, 0, 0, 100, 100, 0), 0);
  FreeGadget(1);
  EXPECT_EQ(IsGadget(1), nullptr);
  ASSERT_NE(OpenWindow(2, 10, 10, 300, 200, u"second", WindowClosable), 0);
  ASSERT_NE(ButtonGadget(1, 0, 0, 80, 25, u"new", 0), 0);
  CloseWindow(1);
  toolkit_->ReleaseDeferredObjects();
  EXPECT_EQ(Text(1), u"new");

  // Closing the window first, freeing by number before its views go.
  CloseWindow(2);
  FreeGadget(1);
  toolkit_->ReleaseDeferredObjects();
  EXPECT_EQ(IsGadget(1), nullptr);

  // Closing the window and letting its views go frees the records.
  ASSERT_NE(OpenWindow(3, 10, 10, 300, 200, u"third", WindowClosable), 0);
  ASSERT_NE(ButtonGadget(4, 0, 0, 80, 25, u"four", 0), 0);
  const int64_t dynamic = EditorGadget(-1, 0, 30, 80, 80, 0);
  ASSERT_NE(IsGadget(dynamic), nullptr);
  CloseWindow(3);
  toolkit_->ReleaseDeferredObjects();
  EXPECT_EQ(IsGadget(4), nullptr);
  EXPECT_EQ(IsGadget(dynamic), nullptr);
  EXPECT_EQ(Text(4), u"");
}

TEST_F(GadgetTest, ANumberInUseIsFreedFirstAndUnknownNumbersAreIgnored) {
  ASSERT_NE(ButtonGadget(3, 0, 0, 80, 25, u"old", 0), 0);
  platform::View* old = IsGadget(3)->view;
  ASSERT_NE(ButtonGadget(3, 0, 0, 80, 25, u"new", 0), 0);
  EXPECT_NE(IsGadget(3)->view, old);
  EXPECT_EQ(Text(3), u"new");
  ResizeGadget(99, 1, 1, 1, 1);
  SetGadgetText(99, u"x");
  FreeGadget(99);
  EXPECT_EQ(Text(99), u"");
  // Without a window there is nowhere to put a gadget.
  CloseWindow(-1);
  EXPECT_EQ(ButtonGadget(5, 0, 0, 80, 25, u"nowhere", 0), 0);
  EXPECT_EQ(EditorGadget(5, 0, 0, 80, 25, 0), 0);
}

TEST_F(GadgetTest, ResizeKeepsWhatIsIgnored) {
  ASSERT_NE(EditorGadget(1, 10, 20, 100, 50, 0), 0);
  ResizeGadget(1, IgnoreValue, IgnoreValue, 300, 200);
  EXPECT_EQ(IsGadget(1)->outerView->Frame(), (platform::Rect{10, 20, 300, 200}));
  ResizeGadget(1, 0, IgnoreValue, IgnoreValue, 40);
  EXPECT_EQ(IsGadget(1)->outerView->Frame(), (platform::Rect{0, 20, 300, 40}));
}

platform::Button& ButtonOf(int64_t number) { return dynamic_cast<platform::Button&>(*IsGadget(number)->view); }

TEST_F(GadgetTest, ButtonBezelsFollowTheHeightAndFlagsSetAlignmentAndType) {
  ASSERT_NE(ButtonGadget(1, 0, 0, 80, 25, nullptr, ButtonDefault), 0);
  ASSERT_NE(ButtonGadget(2, 0, 40, 80, 80, u"tall", ButtonDefault), 0);
  ASSERT_NE(ButtonGadget(3, 0, 130, 80, 25, u"right", ButtonRight), 0);
  ASSERT_NE(ButtonGadget(4, 0, 160, 80, 25, u"left wins", ButtonLeft | ButtonRight | ButtonToggle), 0);
  EXPECT_EQ(ButtonOf(1).Bezel(), platform::BezelStyle::Rounded);
  EXPECT_EQ(ButtonOf(2).Bezel(), platform::BezelStyle::Square);
  EXPECT_EQ(Text(1), u"");
  EXPECT_EQ(ButtonOf(1).Alignment(), platform::TextAlignment::Natural);
  EXPECT_EQ(ButtonOf(1).Type(), platform::ButtonType::MomentaryPush);
  EXPECT_EQ(ButtonOf(3).Alignment(), platform::TextAlignment::Right);
  EXPECT_EQ(ButtonOf(4).Alignment(), platform::TextAlignment::Left);
  EXPECT_EQ(ButtonOf(4).Type(), platform::ButtonType::PushOnPushOff);
  // Return presses the default button of the standard height only.
  auto key = std::make_unique<platform::HeadlessEvent>();
  key->action = platform::HeadlessAction::Key;
  key->characters = u"\r";
  toolkit_->Queue(std::move(key));
  int64_t type = 0;
  while ((type = WaitWindowEvent(1000)) > 0 && type != GadgetEvent) {
  }
  EXPECT_EQ(type, GadgetEvent);
  EXPECT_EQ(EventGadget(), 1);
  EXPECT_EQ(EventType(), 0);
  // A rounded button turns square at another height and stays square.
  ResizeGadget(1, IgnoreValue, IgnoreValue, IgnoreValue, 30);
  EXPECT_EQ(ButtonOf(1).Bezel(), platform::BezelStyle::Square);
  ResizeGadget(1, IgnoreValue, IgnoreValue, IgnoreValue, 25);
  EXPECT_EQ(ButtonOf(1).Bezel(), platform::BezelStyle::Square);
}

TEST_F(GadgetTest, FontsFallBackAndTheDefaultGadgetFont) {
  const int64_t unknown = LoadFont(0, u"No Such Family", 13, FontFlagBold);
  ASSERT_NE(unknown, 0);
  const platform::SharedFont system = FontFromID(unknown);
  ASSERT_NE(system, nullptr);
  EXPECT_EQ(system->Family(), toolkit_->SystemFont(13)->Family());
  EXPECT_EQ(system->PointSize(), 13);
  EXPECT_EQ(system->Traits(), 0U);
  const int64_t dynamic = LoadFont(-1, u"Courier New", 10, FontFlagBold | FontFlagItalic);
  EXPECT_EQ(FontFromID(FontID(dynamic))->Traits(), platform::FontBold | platform::FontItalic);

  SetGadgetFont(-1, FontID(dynamic));
  ASSERT_NE(ButtonGadget(1, 0, 0, 80, 25, u"a", 0), 0);
  ASSERT_NE(EditorGadget(2, 0, 30, 80, 80, 0), 0);
  SetGadgetFont(-1, -1);
  ASSERT_NE(ButtonGadget(3, 0, 120, 80, 25, u"c", 0), 0);
  EXPECT_EQ(ButtonOf(1).Font()->Family(), u"Courier New");
  EXPECT_EQ(dynamic_cast<platform::TextView&>(*IsGadget(2)->view).Font()->Family(), u"Courier New");
  EXPECT_EQ(ButtonOf(3).Font(), nullptr);

  // A freed font stays with the gadgets that show it; its handle is no font any more.
  const int64_t handle = FontID(dynamic);
  FreeFont(dynamic);
  EXPECT_EQ(FontID(dynamic), 0);
  EXPECT_EQ(ButtonOf(1).Font()->Family(), u"Courier New");
  SetGadgetFont(1, handle);
  SetGadgetFont(1, 12345);
  EXPECT_EQ(ButtonOf(1).Font()->Family(), u"Courier New");
  SetGadgetFont(1, -1);
  EXPECT_EQ(ButtonOf(1).Font(), nullptr);
}

TEST_F(GadgetTest, ItemOperationsRewriteTheLines) {
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
TEST_F(GadgetTest, FlagsBecomeAttributesColoursAndTheSmallestDocument) {
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
