#include "runtime/media/images.h"

#include <cstring>
#include <memory>

#include "runtime/core/object_registry.h"

namespace zeb {
namespace {

constexpr int32_t kGrowthStep = 16;
constexpr int16_t kBitmapDepth = 32;

ObjectRegistry* images = nullptr;

ImageRecord* FindImage(int64_t number) { return static_cast<ImageRecord*>(IsObject(images, number)); }

void Fill(platform::Bitmap& bitmap, int32_t fillMode, int32_t colour) {
  uint8_t* pixels = bitmap.Pixels();
  const size_t bytes = static_cast<size_t>(bitmap.Width()) * static_cast<size_t>(bitmap.Height()) * 4;
  if (fillMode != ImageFillColour) {
    std::memset(pixels, 0, bytes);
    return;
  }
  const uint8_t pixel[4] = {static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
                            static_cast<uint8_t>(colour >> 16), 255};
  for (size_t at = 0; at < bytes; at += 4) std::memcpy(pixels + at, pixel, 4);
}

}  // namespace

void InitImages() {
  if (images == nullptr) images = NewObjectRegistry(sizeof(ImageRecord), kGrowthStep, FreeImage);
}

void EndImages() { FreeAllObjects(images); }

ImageRecord* CreateImage(int64_t number, int32_t width, int32_t height, int32_t fillMode, int32_t colour) {
  if (images == nullptr || width < 1 || height < 1 || width > INT16_MAX || height > INT16_MAX) return nullptr;
  std::unique_ptr<platform::Bitmap> bitmap = platform::CurrentToolkit().CreateBitmap(width, height);
  if (bitmap == nullptr) return nullptr;
  if (fillMode != ImageFillNone) Fill(*bitmap, fillMode, colour);
  auto* record = static_cast<ImageRecord*>(AllocateObject(images, number));
  if (record == nullptr) return nullptr;
  record->bitmap = bitmap.release();
  record->width = static_cast<int16_t>(width);
  record->height = static_cast<int16_t>(height);
  record->depth = kBitmapDepth;
  record->sourceDepth = kBitmapDepth;
  return record;
}

void FreeImage(int64_t number) {
  if (number == DynamicNumber) {
    FreeAllObjects(images);
    return;
  }
  ImageRecord* record = FindImage(number);
  if (record == nullptr) return;
  delete record->bitmap;
  FreeObjectRecord(images, number);
}

platform::Bitmap* ImageID(int64_t number) {
  const ImageRecord* record = FindImage(number);
  return record != nullptr ? record->bitmap : nullptr;
}

int32_t ImageWidth(int64_t number) {
  const ImageRecord* record = FindImage(number);
  return record != nullptr ? record->width : 0;
}

int32_t ImageHeight(int64_t number) {
  const ImageRecord* record = FindImage(number);
  return record != nullptr ? record->height : 0;
}

int32_t ImageDepth(int64_t number, int32_t mode) {
  const ImageRecord* record = FindImage(number);
  if (record == nullptr) return 0;
  return mode == ImageSourceDepthMode ? record->sourceDepth : record->depth;
}

int32_t ImageDepth(int64_t number) { return ImageDepth(number, 0); }

}  // namespace zeb
