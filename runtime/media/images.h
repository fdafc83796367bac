// Image objects: numbered 32-bit RGBA bitmaps (red, green, blue, alpha bytes, alpha
// not premultiplied, rows top-down, width * 4 bytes per row) that the toolkit
// allocates and the image registry owns.
#pragma once

#include <cstdint>

#include "platform/toolkit.h"

namespace zeb {

struct ImageRecord {
  platform::Bitmap* bitmap;  // owned; the handle, null while the number is free
  int16_t width;
  int16_t height;
  int16_t depth;        // bits per pixel of the bitmap: 32
  int16_t sourceDepth;  // bits per pixel of what the pixels came from: 32 when created
};

// Pixel fill of CreateImage: as the toolkit allocated them, the colour with alpha
// 255; any other value clears every byte (transparent black).
inline constexpr int32_t ImageFillNone = 0;
inline constexpr int32_t ImageFillColour = 1;

// Start routine: makes the image registry (kept when the library starts again).
void InitImages();
// End routine: frees every image.
void EndImages();

// A width x height image under `number` (-1: a dynamic number, which is then the
// record's address), filled as `fillMode` says with `colour`, an RGB integer (red
// in the low byte). Returns the record, or null when the size does not fit the
// record's 16-bit fields or the toolkit cannot make the bitmap; an image already
// under the number is replaced only on success.
ImageRecord* CreateImage(int64_t number, int32_t width, int32_t height, int32_t fillMode, int32_t colour);

// Frees the image and its bitmap; -1 frees every image.
void FreeImage(int64_t number);

// The image's bitmap, or null.
platform::Bitmap* ImageID(int64_t number);
// The image's size in pixels, or 0 for a missing image.
int32_t ImageWidth(int64_t number);
int32_t ImageHeight(int64_t number);

// Asks ImageDepth for the depth of the pixels' source.
inline constexpr int32_t ImageSourceDepthMode = -2;
// The bitmap's depth, or the source's with ImageSourceDepthMode; 0 for a missing image.
int32_t ImageDepth(int64_t number, int32_t mode);
int32_t ImageDepth(int64_t number);

}  // namespace zeb
