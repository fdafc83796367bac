// Image objects on every backend's bitmaps.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/media/images.h"
#include "tests/scenarios/scenario_fixture.h"

namespace zeb {
namespace {

using ImageScenario = ScenarioNeeding<kBitmaps>;

std::vector<uint8_t> Pixels(int64_t number) {
  platform::Bitmap* bitmap = ImageID(number);
  if (bitmap == nullptr) return {};
  return std::vector<uint8_t>(bitmap->Pixels(), bitmap->Pixels() + bitmap->Width() * bitmap->Height() * 4);
}

TEST_P(ImageScenario, CreateImageFillsTheToolkitsBitmap) {
  InitImages();
  ASSERT_NE(CreateImage(1, 2, 2, ImageFillColour, 255), nullptr);
  EXPECT_EQ(Pixels(1), (std::vector<uint8_t>{255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255}));
  ASSERT_NE(CreateImage(2, 3, 1, ImageFillColour, 0x123456), nullptr);
  EXPECT_EQ(Pixels(2), (std::vector<uint8_t>{0x56, 0x34, 0x12, 255, 0x56, 0x34, 0x12, 255, 0x56, 0x34, 0x12, 255}));
  ASSERT_NE(CreateImage(3, 1, 2, 7, 0xFFFFFF), nullptr);
  EXPECT_EQ(Pixels(3), std::vector<uint8_t>(8, 0));
  EXPECT_EQ(ImageWidth(2), 3);
  EXPECT_EQ(ImageHeight(2), 1);
  EXPECT_EQ(ImageDepth(2), 32);
  EXPECT_EQ(CreateImage(4, 0, 5, ImageFillColour, 0), nullptr);
  FreeImage(-1);
  EXPECT_EQ(ImageID(1), nullptr);
  EndImages();
}

INSTANTIATE_TEST_SUITE_P(Backends, ImageScenario, ::testing::ValuesIn(AvailableBackends()), BackendName);

}  // namespace
}  // namespace zeb
