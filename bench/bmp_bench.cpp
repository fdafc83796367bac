// BMP decoding of a 4096 x 4096 picture, 24-bit and 8-bit with a colour table,
// generated in memory: the runtime's decoder as a caller uses it (examine,
// allocate the destination, decode, finish), the decoder alone into a destination
// that earlier iterations already touched, and stb_image, which allocates its own
// output, side by side. Every benchmark reports the decoded RGB bytes as bytes
// processed, so the figures compare directly.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "runtime/media/bmp_decoder.h"
#include "runtime/media/image_decoders.h"

// stb_image is compared with when its development package is installed.
#if __has_include(<stb/stb_image.h>)
#define ZEB_BENCH_STB 1
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wpedantic"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include <stb/stb_image.h>
#pragma GCC diagnostic pop
#endif

namespace {

constexpr int32_t kSide = 4096;

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A bottom-up BMP with a 40-byte header and random pixels (for 8 bits, random
// indices into a random 256-entry colour table).
std::vector<uint8_t> MakePicture(uint16_t bitCount) {
  std::mt19937 random(11);
  const uint32_t paletteBytes = bitCount == 8 ? 256 * 4 : 0;
  const uint32_t offset = 14 + 40 + paletteBytes;
  const uint32_t stride = (kSide * bitCount / 8 + 3) / 4 * 4;
  std::vector<uint8_t> file = {'B', 'M'};
  Put(file, offset + stride * kSide, 4);
  Put(file, 0, 4);
  Put(file, offset, 4);
  Put(file, 40, 4);
  Put(file, kSide, 4);
  Put(file, kSide, 4);
  Put(file, 1, 2);
  Put(file, bitCount, 2);
  for (int i = 0; i < 6; ++i) Put(file, 0, 4);  // compression, sizes, densities, colours
  for (uint32_t i = 0; i < paletteBytes + stride * kSide; ++i) file.push_back(static_cast<uint8_t>(random()));
  return file;
}

const std::vector<uint8_t>& Picture(uint16_t bitCount) {
  static const std::vector<uint8_t> rgb = MakePicture(24);
  static const std::vector<uint8_t> indexed = MakePicture(8);
  return bitCount == 24 ? rgb : indexed;
}

constexpr size_t kOutputBytes = size_t{kSide} * kSide * 3;

void StartDecoders() {
  static const bool started = [] {
    zeb::InitImageDecoding();
    zeb::RegisterBMPDecoder();
    return true;
  }();
  (void)started;
}

// The whole conversation a caller has with the decoder, its destination included.
std::unique_ptr<uint8_t[]> DecodeWithRuntime(const std::vector<uint8_t>& file) {
  std::unique_ptr<uint8_t[]> pixels;
  if (zeb::ExamineImageMemory(file.data(), static_cast<int64_t>(file.size())) != 0) {
    const int32_t width = zeb::DecodedImageWidth();
    const int32_t height = zeb::DecodedImageHeight();
    pixels = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(width) * height * 3);
    zeb::DecodeImage(pixels.get(), width * 3, 0);
  }
  zeb::FinishImageDecoding();
  return pixels;
}

void BM_Runtime(benchmark::State& state) {
  StartDecoders();
  const std::vector<uint8_t>& file = Picture(static_cast<uint16_t>(state.range(0)));
  for (auto _ : state) {
    std::unique_ptr<uint8_t[]> pixels = DecodeWithRuntime(file);
    benchmark::DoNotOptimize(pixels.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kOutputBytes));
}

void BM_RuntimeDecodeOnly(benchmark::State& state) {
  StartDecoders();
  const std::vector<uint8_t>& file = Picture(static_cast<uint16_t>(state.range(0)));
  std::vector<uint8_t> pixels(kOutputBytes);
  for (auto _ : state) {
    zeb::ExamineImageMemory(file.data(), static_cast<int64_t>(file.size()));
    zeb::DecodeImage(pixels.data(), kSide * 3, 0);
    zeb::FinishImageDecoding();
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kOutputBytes));
}

BENCHMARK(BM_Runtime)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RuntimeDecodeOnly)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);

#ifdef ZEB_BENCH_STB
void BM_StbImage(benchmark::State& state) {
  StartDecoders();
  const std::vector<uint8_t>& file = Picture(static_cast<uint16_t>(state.range(0)));
  // Both decoders must agree before their speeds are worth comparing.
  {
    int width = 0, height = 0, channels = 0;
    stbi_uc* theirs = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels, 3);
    const std::unique_ptr<uint8_t[]> ours = DecodeWithRuntime(file);
    const bool same = theirs != nullptr && ours != nullptr && std::memcmp(theirs, ours.get(), kOutputBytes) == 0;
    stbi_image_free(theirs);
    if (!same) {
      state.SkipWithError("stb_image and the runtime decode the picture differently");
      return;
    }
  }
  for (auto _ : state) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels, 3);
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kOutputBytes));
}

BENCHMARK(BM_StbImage)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
