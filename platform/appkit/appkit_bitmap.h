// A bitmap of the AppKit backend: an NSBitmapImageRep of 8-bit red, green, blue
// and alpha samples, alpha not premultiplied, rows of width * 4 bytes.
#pragma once

#include <memory>

#import "platform/appkit/appkit_compat.h"
#include "platform/bitmap.h"

namespace zeb::platform {

class AppKitBitmap : public Bitmap {
 public:
  // Null when the size is refused or AppKit cannot make the bitmap.
  static std::unique_ptr<AppKitBitmap> Create(int width, int height);
  // The picture of the image data (TIFF and the other formats AppKit reads) in this
  // layout, or null.
  static std::unique_ptr<AppKitBitmap> FromData(NSData* data);
  ~AppKitBitmap() override { [rep_ release]; }
  AppKitBitmap(const AppKitBitmap&) = delete;
  AppKitBitmap& operator=(const AppKitBitmap&) = delete;

  int Width() const override { return static_cast<int>([rep_ pixelsWide]); }
  int Height() const override { return static_cast<int>([rep_ pixelsHigh]); }
  uint8_t* Pixels() override { return [rep_ bitmapData]; }
  NSBitmapImageRep* rep() const { return rep_; }

 private:
  // Takes the retained representation.
  explicit AppKitBitmap(NSBitmapImageRep* rep) : rep_(rep) {}
  NSBitmapImageRep* rep_;
};

// The bitmap's pixels as TIFF data, autoreleased.
NSData* TIFFOf(Bitmap& bitmap);

}  // namespace zeb::platform
