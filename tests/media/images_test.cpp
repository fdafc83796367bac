#include "runtime/media/images.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/headless/headless_toolkit.h"

namespace zeb {
namespace {

// Image records over a headless toolkit that can refuse bitmaps. The pixels of
// filled images are the scenarios' (every backend); a bitmap left alive is the
// leak checkers' (valgrind and LeakSanitizer run this suite).
class RefusingToolkit : public platform::HeadlessToolkit {
 public:
  RefusingToolkit() : HeadlessToolkit(std::nullopt) {}

  std::unique_ptr<platform::Bitmap> CreateBitmap(int width, int height) override {
    return refuse ? nullptr : HeadlessToolkit::CreateBitmap(width, height);
  }

  bool refuse = false;
};

class ImagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto toolkit = std::make_unique<RefusingToolkit>();
    probe = toolkit.get();
    platform::SetToolkit(std::move(toolkit));
    InitImages();
  }
  void TearDown() override {
    EndImages();
    platform::SetToolkit(nullptr);
  }

  RefusingToolkit* probe = nullptr;
};

TEST_F(ImagesTest, RecordsKeepTheirDepths) {
  ImageRecord* record = CreateImage(5, 640, 480, ImageFillNone, 0);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(ImageDepth(5, ImageSourceDepthMode), 32);
  record->sourceDepth = 8;  // as a loader of 8-bit pictures records it
  EXPECT_EQ(ImageDepth(5), 32);
  EXPECT_EQ(ImageDepth(5, ImageSourceDepthMode), 8);
  EXPECT_EQ(ImageWidth(4), 0);
  EXPECT_EQ(ImageHeight(4), 0);
  EXPECT_EQ(ImageDepth(4, ImageSourceDepthMode), 0);
}

TEST_F(ImagesTest, ImagesAreReplacedOnlyOnSuccess) {
  ASSERT_NE(CreateImage(2, 4, 4, ImageFillNone, 0), nullptr);
  ASSERT_NE(CreateImage(2, 8, 2, ImageFillNone, 0), nullptr);
  EXPECT_EQ(ImageWidth(2), 8);
  probe->refuse = true;
  EXPECT_EQ(CreateImage(2, 6, 6, ImageFillColour, 0), nullptr);
  EXPECT_EQ(ImageWidth(2), 8);
  probe->refuse = false;

  // Sizes the 16-bit fields cannot hold are refused.
  for (auto [width, height] : {std::pair{0, 1}, {1, 0}, {32768, 1}, {1, 40000}}) {
    EXPECT_EQ(CreateImage(4, width, height, ImageFillNone, 0), nullptr) << width << "x" << height;
  }
  ASSERT_NE(CreateImage(4, 32767, 1, ImageFillNone, 0), nullptr);
  EXPECT_EQ(ImageWidth(4), 32767);

  ImageRecord* dynamic = CreateImage(-1, 3, 3, ImageFillNone, 0);
  ASSERT_NE(dynamic, nullptr);
  EXPECT_EQ(ImageHeight(static_cast<int64_t>(reinterpret_cast<intptr_t>(dynamic))), 3);
  FreeImage(2);
  FreeImage(2);  // already free
  EXPECT_EQ(ImageID(2), nullptr);
  FreeImage(-1);
  EXPECT_EQ(ImageID(4), nullptr);
}

}  // namespace
}  // namespace zeb
