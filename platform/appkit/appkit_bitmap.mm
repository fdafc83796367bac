#import "platform/appkit/appkit_bitmap.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace zeb::platform {
namespace {

constexpr NSInteger kBitsPerSample = 8;
constexpr NSInteger kSamplesPerPixel = 4;

NSBitmapImageRep* NewRep(int width, int height) {
  return [[NSBitmapImageRep alloc] initWithBitmapDataPlanes:nullptr
                                                 pixelsWide:width
                                                 pixelsHigh:height
                                              bitsPerSample:kBitsPerSample
                                            samplesPerPixel:kSamplesPerPixel
                                                   hasAlpha:YES
                                                   isPlanar:NO
                                             colorSpaceName:NSDeviceRGBColorSpace
                                               bitmapFormat:NSBitmapFormatAlphaNonpremultiplied
                                                bytesPerRow:width * kSamplesPerPixel
                                               bitsPerPixel:kBitsPerSample * kSamplesPerPixel];
}

}  // namespace

std::unique_ptr<AppKitBitmap> AppKitBitmap::Create(int width, int height) {
  if (width < 1 || height < 1 || int64_t{width} * height * 4 > kLargestBitmapBytes) return nullptr;
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  NSBitmapImageRep* rep = NewRep(width, height);
  [pool release];
  if (rep == nil || [rep bitmapData] == nullptr || [rep bytesPerRow] != width * kSamplesPerPixel) {
    [rep release];
    return nullptr;
  }
  return std::unique_ptr<AppKitBitmap>(new AppKitBitmap(rep));
}

// Each pixel is read as a device RGB colour, whatever the layout the picture came
// in.
std::unique_ptr<AppKitBitmap> AppKitBitmap::FromData(NSData* data) {
  NSBitmapImageRep* read = data != nil ? [NSBitmapImageRep imageRepWithData:data] : nil;
  if (read == nil) return nullptr;
  const int width = static_cast<int>([read pixelsWide]);
  const int height = static_cast<int>([read pixelsHigh]);
  std::unique_ptr<AppKitBitmap> bitmap = Create(width, height);
  if (bitmap == nullptr) return nullptr;
  uint8_t* pixel = bitmap->Pixels();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x, pixel += kSamplesPerPixel) {
      NSColor* color = [[read colorAtX:x y:y] colorUsingColorSpaceName:NSDeviceRGBColorSpace];
      const CGFloat components[] = {[color redComponent], [color greenComponent], [color blueComponent],
                                    [color alphaComponent]};
      for (int i = 0; i < kSamplesPerPixel; ++i) {
        pixel[i] = color != nil ? static_cast<uint8_t>(std::lround(components[i] * 255)) : 0;
      }
    }
  }
  return bitmap;
}

NSData* TIFFOf(Bitmap& bitmap) {
  if (auto* appKit = dynamic_cast<AppKitBitmap*>(&bitmap)) return [appKit->rep() TIFFRepresentation];
  std::unique_ptr<AppKitBitmap> copy = AppKitBitmap::Create(bitmap.Width(), bitmap.Height());
  if (copy == nullptr) return nil;
  std::memcpy(copy->Pixels(), bitmap.Pixels(), static_cast<size_t>(bitmap.Width()) * bitmap.Height() * kSamplesPerPixel);
  return [copy->rep() TIFFRepresentation];
}

}  // namespace zeb::platform
