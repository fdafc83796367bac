// Hand-built files for what the suite's images leave open: destination rows of any
// width, palettes cut short, RLE8 streams that leave the picture, truncated data.
#include "runtime/media/bmp_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "runtime/media/image_decoders.h"
#include "tests/media/bmp_builder.h"

namespace zeb {
namespace {

using testing::BmpLayout;
using testing::MakeBMP;
using testing::Pixels;
using testing::Rgb;

constexpr uint8_t kCanary = 0xAA;
constexpr Rgb U{kCanary, kCanary, kCanary};  // a destination pixel left untouched
const Rgb c0{1, 1, 1}, c1{2, 2, 2}, c2{3, 3, 3}, c3{4, 4, 4};

class BmpDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitImageDecoding();
    RegisterBMPDecoder();
  }
  void TearDown() override { FinishImageDecoding(); }
};

// The suite's images show the header read; these are the refusals around it.
TEST_F(BmpDecoderTest, CheckRefusesWrongSignaturesAndReadsNothingPastTheData) {
  const std::vector<uint8_t> file = MakeBMP({.width = 127, .height = 64});
  for (size_t at : {0, 1, 6, 7, 8, 9}) {  // the signature and the reserved fields
    std::vector<uint8_t> bad = file;
    bad[at] ^= 0x01;
    EXPECT_EQ(ExamineImageMemory(bad.data(), static_cast<int64_t>(bad.size())), 0u) << "byte " << at;
  }
  EXPECT_EQ(ExamineImageMemory(file.data(), 13), 0u);
  // A bare file header is accepted, with nothing to read beyond it.
  EXPECT_EQ(ExamineImageMemory(file.data(), 14), BMPImageIdentifier);
  EXPECT_EQ(DecodedImageWidth(), 0);
  std::vector<uint8_t> out(12, kCanary);
  EXPECT_EQ(DecodeImage(out.data(), 6, 0), 1);
  EXPECT_EQ(out, std::vector<uint8_t>(12, kCanary));
}

BmpLayout Rle8(int32_t width, int32_t height, std::vector<uint8_t> stream) {
  return {.width = width, .height = height, .bitCount = 8, .compression = 1, .palette = {c0, c1, c2, c3},
          .pixels = std::move(stream)};
}

// Each file is decoded into `rows` rows of `bytesPerRow` bytes (the picture's width
// * 3 unless given) that hold the canary beforehand.
TEST_F(BmpDecoderTest, PixelsLandTopDownInRgbAndOnlyInsideThePicture) {
  // Three pixels take 9 bytes, padded with 3 to 12; the first stored row is the bottom one.
  const BmpLayout rgb24{.width = 3, .height = 2, .pixels = {3,  2,  1,  6,  5,  4,  9,  8,  7,  0xEE, 0xEE, 0xEE,  //
                                                            12, 11, 10, 15, 14, 13, 18, 17, 16, 0xEE, 0xEE, 0xEE}};
  const std::vector<uint8_t> row = {1, 2, 3, 4, 5, 6, 0, 0};
  const struct {
    const char* what;
    BmpLayout layout;
    int32_t rows;
    std::vector<uint8_t> expected;
    int32_t bytesPerRow = 0;
  } kCases[] = {
      {"24 bits", rgb24, 2, Pixels({{10, 11, 12}, {13, 14, 15}, {16, 17, 18}, {1, 2, 3}, {4, 5, 6}, {7, 8, 9}})},
      {"a wider destination row keeps its bytes past the picture", rgb24, 2,
       {10, 11, 12, 13, 14, 15, 16, 17, 18, kCanary, kCanary, 1, 2, 3, 4, 5, 6, 7, 8, 9, kCanary, kCanary}, 11},
      {"a shorter destination row gets nothing", rgb24, 2, std::vector<uint8_t>(16, kCanary), 8},
      {"indices past the colours used are black",
       {.width = 4, .bitCount = 8, .coloursUsed = 2, .palette = {c0, c1, c2}, .pixels = {1, 0, 2, 255}}, 1,
       Pixels({c1, c0, {0, 0, 0}, {0, 0, 0}})},
      // Colours-used 0 promises 256 entries, but the table ends with the file: its one
      // entry is the pixel data itself (blue 0, green 1, red 0, 0).
      {"a table cut short by the file", {.width = 4, .bitCount = 8, .pixels = {0, 1, 0, 0}}, 1,
       Pixels({{0, 1, 0}, {0, 0, 0}, {0, 1, 0}, {0, 1, 0}})},
      // Bottom row: a run, 3 literal indices and their pad byte, the end of the line; then
      // one pixel, 2 right and 1 up, one pixel, the end of the picture, and a run never read.
      {"RLE8 escapes", Rle8(5, 3, {2, 1, 0, 3, 2, 3, 0, 0, 0, 0, 1, 3, 0, 2, 2, 1, 1, 2, 0, 1, 1, 3}), 3,
       Pixels({U, U, U, c2, U, c3, U, U, U, U, c1, c1, c2, c3, c0})},
      // Five pixels into a row of three, five literal pixels into the top row, up past the
      // top, a run with nowhere to go; the extra destination row catches any spill.
      {"RLE8 past the row end and the top", Rle8(3, 2, {5, 1, 0, 0, 0, 5, 3, 3, 3, 3, 3, 0, 0, 2, 0, 5, 2, 3}), 3,
       Pixels({c3, c3, c3, c1, c1, c1, U, U, U})},
      {"RLE8 cut in a literal", Rle8(4, 1, {0, 4, 1, 2}), 1, Pixels({c1, c2, U, U})},
      {"RLE8 cut in a delta", Rle8(4, 1, {1, 2, 0, 2, 1}), 1, Pixels({c2, U, U, U})},
      {"RLE8 cut at an odd byte", Rle8(4, 1, {2, 1, 0}), 1, Pixels({c1, c1, U, U})},
      {"16 bits RLE", {.width = 2, .bitCount = 16, .compression = 1, .pixels = row}, 1, Pixels({U, U})},
      {"zero height", {.width = 2, .height = 0, .pixels = row}, 1, Pixels({U, U})},
      {"pixels past the data", {.width = 2, .pixelOffset = 200, .pixels = row}, 1, Pixels({U, U})},
      // Two pixels a row, 8 bytes with padding: the bottom row whole, then one pixel and
      // two bytes of the next.
      {"truncated", {.width = 2, .height = 3, .pixels = {3, 2, 1, 6, 5, 4, 0, 0, 9, 8, 7, 12, 11}}, 3,
       Pixels({U, U, {7, 8, 9}, U, {1, 2, 3}, {4, 5, 6}})},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const int32_t bytesPerRow = c.bytesPerRow != 0 ? c.bytesPerRow : std::abs(c.layout.width) * 3;
    const std::vector<uint8_t> file = MakeBMP(c.layout);
    std::vector<uint8_t> out(static_cast<size_t>(bytesPerRow) * c.rows, kCanary);
    EXPECT_EQ(ExamineImageMemory(file.data(), static_cast<int64_t>(file.size())), BMPImageIdentifier);
    EXPECT_EQ(DecodedImageDepth(), 24);
    EXPECT_EQ(DecodeImage(out.data(), bytesPerRow, 0), 1);
    EXPECT_EQ(out, c.expected);
  }
}

}  // namespace
}  // namespace zeb
