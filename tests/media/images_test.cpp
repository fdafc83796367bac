#include "runtime/media/images.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/headless/headless_bitmap.h"
#include "platform/headless/headless_toolkit.h"

namespace zeb {
namespace {

// A headless toolkit whose bitmaps start out patterned (so that untouched pixels
// show), count themselves while alive, and can be refused on request.
class BitmapProbe : public platform::HeadlessToolkit {
 public:
  static constexpr uint8_t kPattern = 0x77;

  BitmapProbe() : HeadlessToolkit(std::nullopt) {}

  std::unique_ptr<platform::Bitmap> CreateBitmap(int width, int height) override {
    ++requests;
    if (refuse) return nullptr;
    auto bitmap = std::make_unique<CountedBitmap>(width, height);
    std::fill_n(bitmap->Pixels(), static_cast<size_t>(width) * static_cast<size_t>(height) * 4, kPattern);
    return bitmap;
  }

  static inline int alive = 0;
  bool refuse = false;
  int requests = 0;

 private:
  class CountedBitmap : public platform::HeadlessBitmap {
   public:
    CountedBitmap(int width, int height) : HeadlessBitmap(width, height) { ++alive; }
    ~CountedBitmap() override { --alive; }
  };
};

class ImagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto toolkit = std::make_unique<BitmapProbe>();
    probe = toolkit.get();
    platform::SetToolkit(std::move(toolkit));
    InitImages();
  }
  void TearDown() override {
    EndImages();
    EXPECT_EQ(BitmapProbe::alive, 0);
    platform::SetToolkit(nullptr);
  }

  static std::vector<uint8_t> PixelBytes(int64_t number) {
    platform::Bitmap* bitmap = ImageID(number);
    if (bitmap == nullptr) return {};
    return std::vector<uint8_t>(bitmap->Pixels(), bitmap->Pixels() + bitmap->Width() * bitmap->Height() * 4);
  }

  static std::vector<uint8_t> Repeated(std::vector<uint8_t> pixel, int count) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i) bytes.insert(bytes.end(), pixel.begin(), pixel.end());
    return bytes;
  }

  BitmapProbe* probe = nullptr;
};

TEST_F(ImagesTest, FillModesColourClearOrKeepThePixels) {
  ASSERT_NE(CreateImage(0, 2, 2, ImageFillColour, 255), nullptr);
  EXPECT_EQ(PixelBytes(0), Repeated({255, 0, 0, 255}, 4));
  ASSERT_NE(CreateImage(1, 3, 1, ImageFillColour, 0x123456), nullptr);
  EXPECT_EQ(PixelBytes(1), Repeated({0x56, 0x34, 0x12, 255}, 3));
  ASSERT_NE(CreateImage(2, 2, 1, ImageFillNone, 255), nullptr);
  EXPECT_EQ(PixelBytes(2), Repeated({BitmapProbe::kPattern}, 8));
  for (int32_t mode : {2, -1}) {
    ASSERT_NE(CreateImage(3, 2, 1, mode, 255), nullptr);
    EXPECT_EQ(PixelBytes(3), Repeated({0}, 8)) << mode;
  }
}

TEST_F(ImagesTest, RecordsKeepSizeAndDepths) {
  ImageRecord* record = CreateImage(5, 640, 480, ImageFillNone, 0);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(ImageID(5), record->bitmap);
  EXPECT_EQ(ImageWidth(5), 640);
  EXPECT_EQ(ImageHeight(5), 480);
  EXPECT_EQ(ImageDepth(5), 32);
  EXPECT_EQ(ImageDepth(5, ImageSourceDepthMode), 32);
  record->sourceDepth = 8;  // as a loader of 8-bit pictures records it
  EXPECT_EQ(ImageDepth(5), 32);
  EXPECT_EQ(ImageDepth(5, ImageSourceDepthMode), 8);

  for (int64_t missing : {4, 6, 1000}) {
    EXPECT_EQ(ImageID(missing), nullptr);
    EXPECT_EQ(ImageWidth(missing), 0);
    EXPECT_EQ(ImageHeight(missing), 0);
    EXPECT_EQ(ImageDepth(missing, ImageSourceDepthMode), 0);
  }
}

TEST_F(ImagesTest, ImagesAreReplacedAndFreedWithTheirBitmaps) {
  ASSERT_NE(CreateImage(2, 4, 4, ImageFillNone, 0), nullptr);
  ASSERT_NE(CreateImage(2, 8, 2, ImageFillNone, 0), nullptr);
  EXPECT_EQ(BitmapProbe::alive, 1);
  EXPECT_EQ(ImageWidth(2), 8);

  ImageRecord* dynamic = CreateImage(-1, 3, 3, ImageFillNone, 0);
  ASSERT_NE(dynamic, nullptr);
  const auto dynamicNumber = static_cast<int64_t>(reinterpret_cast<intptr_t>(dynamic));
  EXPECT_EQ(ImageHeight(dynamicNumber), 3);
  EXPECT_EQ(BitmapProbe::alive, 2);

  FreeImage(2);
  EXPECT_EQ(ImageID(2), nullptr);
  EXPECT_EQ(BitmapProbe::alive, 1);
  FreeImage(2);  // already free
  ASSERT_NE(CreateImage(7, 1, 1, ImageFillNone, 0), nullptr);
  FreeImage(-1);
  EXPECT_EQ(BitmapProbe::alive, 0);
  EXPECT_EQ(ImageID(7), nullptr);

  // The library goes on after its end routine.
  EndImages();
  EXPECT_NE(CreateImage(1, 1, 1, ImageFillNone, 0), nullptr);
}

TEST_F(ImagesTest, FailedCreationsGiveNullAndKeepTheOldImage) {
  ASSERT_NE(CreateImage(3, 5, 5, ImageFillColour, 0), nullptr);
  probe->refuse = true;
  EXPECT_EQ(CreateImage(3, 6, 6, ImageFillColour, 0), nullptr);
  EXPECT_EQ(ImageWidth(3), 5);
  probe->refuse = false;

  // Sizes the 16-bit fields cannot hold never reach the toolkit.
  const int requests = probe->requests;
  for (auto [width, height] : {std::pair{0, 1}, {1, 0}, {-4, 4}, {32768, 1}, {1, 40000}}) {
    EXPECT_EQ(CreateImage(4, width, height, ImageFillNone, 0), nullptr) << width << "x" << height;
  }
  EXPECT_EQ(probe->requests, requests);
  EXPECT_NE(CreateImage(4, 32767, 1, ImageFillNone, 0), nullptr);
  EXPECT_EQ(ImageWidth(4), 32767);
}

}  // namespace
}  // namespace zeb
