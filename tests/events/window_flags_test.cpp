// OpenWindow's flags as a toolkit style mask.
#include <gtest/gtest.h>

#include "platform/toolkit.h"
#include "runtime/events/windows.h"

namespace zeb {
namespace {

using namespace platform;

TEST(WindowFlags, StyleMaskRules) {
  EXPECT_EQ(WindowStyleForFlags(0), 0u);
  EXPECT_EQ(WindowStyleForFlags(WindowBorderless | WindowClosable | WindowSizeable), 0u);
  EXPECT_EQ(WindowStyleForFlags(WindowZoomable), StyleTitled | StyleClosable | StyleResizable);
  EXPECT_EQ(WindowStyleForFlags(WindowMinimizable), StyleTitled | StyleClosable | StyleMiniaturizable);
  EXPECT_EQ(WindowStyleForFlags(WindowSizeable), StyleTitled | StyleResizable);
  EXPECT_EQ(WindowStyleForFlags(WindowClosable), StyleTitled | StyleClosable);
  EXPECT_EQ(WindowStyleForFlags(WindowTitleBar), StyleTitled);
  // Opening zoomed or minimised needs the matching ability, not a title.
  EXPECT_EQ(WindowStyleForFlags(WindowOpenZoomed), StyleResizable);
  EXPECT_EQ(WindowStyleForFlags(WindowOpenMinimized), StyleMiniaturizable);
  // The flags the exported functions use.
  EXPECT_EQ(WindowStyleForFlags(0x76), StyleTitled | StyleClosable | StyleResizable | StyleMiniaturizable);
  EXPECT_EQ(WindowStyleForFlags(0x481), 0u);
}

}  // namespace
}  // namespace zeb
