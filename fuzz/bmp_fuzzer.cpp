// libFuzzer target for the BMP decoder on memory sources: examine the input, decode
// it into a destination of exactly width * height * 3 bytes when the picture is of
// a size worth allocating, and finish. AddressSanitizer then reports any read past
// the input or write past the destination.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "runtime/media/bmp_decoder.h"
#include "runtime/media/image_decoders.h"

namespace {

// About 12 MB of destination: enough for every header the fuzzer makes up to lead
// the decoder far across its rows, small enough to keep runs fast.
constexpr int64_t kMaxPixels = int64_t{1} << 22;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = [] {
    zeb::InitImageDecoding();
    zeb::RegisterBMPDecoder();
    return true;
  }();
  (void)started;

  if (zeb::ExamineImageMemory(data, static_cast<int64_t>(size)) != 0) {
    const int64_t width = zeb::DecodedImageWidth();
    const int64_t height = zeb::DecodedImageHeight();
    if (width > 0 && height > 0 && width * height <= kMaxPixels) {
      const auto destination = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(width * height * 3));
      zeb::DecodeImage(destination.get(), static_cast<int32_t>(width * 3), 0);
    }
  }
  zeb::FinishImageDecoding();
  return 0;
}
