// The gadget core: numbers, release exactly once, resizing, fonts; and the button.
#include "runtime/gadgets/button_gadget.h"
#include "runtime/gadgets/editor_gadget.h"
#include "tests/gadgets/gadget_fixture.h"

namespace zeb {
namespace {

using GadgetCoreTest = GadgetTest;

// The gadget number stays with whoever holds it last: a view that goes after its
// gadget was released releases nothing, not even a new gadget under its number.
TEST_F(GadgetCoreTest, AGadgetIsReleasedExactlyOnce) {
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

TEST_F(GadgetCoreTest, ANumberInUseIsFreedFirstAndUnknownNumbersAreIgnored) {
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

TEST_F(GadgetCoreTest, ResizeKeepsWhatIsIgnored) {
  ASSERT_NE(EditorGadget(1, 10, 20, 100, 50, 0), 0);
  ResizeGadget(1, IgnoreValue, IgnoreValue, 300, 200);
  EXPECT_EQ(IsGadget(1)->outerView->Frame(), (platform::Rect{10, 20, 300, 200}));
  ResizeGadget(1, 0, IgnoreValue, IgnoreValue, 40);
  EXPECT_EQ(IsGadget(1)->outerView->Frame(), (platform::Rect{0, 20, 300, 40}));
}

platform::Button& ButtonOf(int64_t number) { return dynamic_cast<platform::Button&>(*IsGadget(number)->view); }

TEST_F(GadgetCoreTest, ButtonBezelsFollowTheHeight) {
  ASSERT_NE(ButtonGadget(1, 0, 0, 80, 25, nullptr, ButtonDefault), 0);
  ASSERT_NE(ButtonGadget(2, 0, 40, 80, 80, u"tall", ButtonDefault), 0);
  EXPECT_EQ(ButtonOf(1).Bezel(), platform::BezelStyle::Rounded);
  EXPECT_EQ(ButtonOf(2).Bezel(), platform::BezelStyle::Square);
  EXPECT_EQ(Text(1), u"");
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

TEST_F(GadgetCoreTest, ButtonFlagsSetAlignmentAndType) {
  struct Case {
    int32_t flags;
    platform::TextAlignment alignment;
    platform::ButtonType type;
  };
  using enum platform::TextAlignment;
  using enum platform::ButtonType;
  int64_t number = 1;
  for (const Case& c : {Case{0, Natural, MomentaryPush}, Case{ButtonRight, Right, MomentaryPush},
                        Case{ButtonLeft | ButtonRight, Left, MomentaryPush}, Case{ButtonRight | ButtonToggle, Right, PushOnPushOff}}) {
    ASSERT_NE(ButtonGadget(number, 0, 0, 80, 25, u"b", c.flags), 0);
    EXPECT_EQ(ButtonOf(number).Alignment(), c.alignment) << c.flags;
    EXPECT_EQ(ButtonOf(number).Type(), c.type) << c.flags;
    ++number;
  }
}

TEST_F(GadgetCoreTest, FontsFallBackAndTheDefaultGadgetFont) {
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

}  // namespace
}  // namespace zeb
