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
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
const Rgb c0{1, 1, 1}, c1{2, 2, 2}, c2{3, 3, 3}, c3{4, 4, 4};

class BmpDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitImageDecoding();
    RegisterBMPDecoder();
  }
  void TearDown() override { FinishImageDecoding(); }

  // Decodes into `rows` rows of `bytesPerRow` bytes (the picture's width * 3 unless
  // given) that hold the canary beforehand.
  static std::vector<uint8_t> Decode(const BmpLayout& layout, int32_t rows, int32_t bytesPerRow = 0) {
    if (bytesPerRow == 0) bytesPerRow = std::abs(layout.width) * 3;
    const std::vector<uint8_t> file = MakeBMP(layout);
    std::vector<uint8_t> out(static_cast<size_t>(bytesPerRow) * rows, kCanary);
    EXPECT_EQ(ExamineImageMemory(file.data(), static_cast<int64_t>(file.size())), BMPImageIdentifier);
    EXPECT_EQ(DecodeImage(out.data(), bytesPerRow, 0), 1);
    FinishImageDecoding();
    return out;
  }

  static BmpLayout Rle8(int32_t width, int32_t height, std::vector<uint8_t> stream) {
    BmpLayout layout{.width = width, .height = height, .bitCount = 8, .compression = 1, .palette = {c0, c1, c2, c3}};
    layout.pixels = std::move(stream);
    return layout;
  }
};

TEST_F(BmpDecoderTest, CheckReadsTheHeaderAndRefusesWrongSignatures) {
  std::vector<uint8_t> file = MakeBMP({.width = 127, .height = -64, .bitCount = 8});
  EXPECT_EQ(ExamineImageMemory(file.data(), static_cast<int64_t>(file.size())), BMPImageIdentifier);
  EXPECT_EQ(DecodedImageWidth(), 127);
  EXPECT_EQ(DecodedImageHeight(), -64);
  EXPECT_EQ(DecodedImageDepth(), 24);
  EXPECT_EQ(DecodedImageSourceDepth(), 8);

  for (size_t at : {0, 1, 6, 7, 8, 9}) {  // the signature and the reserved fields
    std::vector<uint8_t> bad = file;
    bad[at] ^= 0x01;
    EXPECT_EQ(ExamineImageMemory(bad.data(), static_cast<int64_t>(bad.size())), 0u) << "byte " << at;
    EXPECT_EQ(DecodedImageWidth(), 0);
  }
  EXPECT_EQ(ExamineImageMemory(file.data(), 13), 0u);

  // A bare file header is accepted, with nothing to read beyond it.
  EXPECT_EQ(ExamineImageMemory(file.data(), 14), BMPImageIdentifier);
  EXPECT_EQ(DecodedImageWidth(), 0);
  std::vector<uint8_t> out(12, kCanary);
  EXPECT_EQ(DecodeImage(out.data(), 6, 0), 1);
  EXPECT_EQ(out, std::vector<uint8_t>(12, kCanary));
}

TEST_F(BmpDecoderTest, UncompressedRowsLandTopDownInRgb) {
  // Three pixels take 9 bytes, padded with 3 to 12; the first stored row is the bottom one.
  const BmpLayout rgb24{.width = 3, .height = 2, .pixels = {3,  2,  1,  6,  5,  4,  9,  8,  7,  0xEE, 0xEE, 0xEE,  //
                                                            12, 11, 10, 15, 14, 13, 18, 17, 16, 0xEE, 0xEE, 0xEE}};
  EXPECT_EQ(Decode(rgb24, 2), Pixels({{10, 11, 12}, {13, 14, 15}, {16, 17, 18}, {1, 2, 3}, {4, 5, 6}, {7, 8, 9}}));
  // A wider destination row keeps its bytes past the picture; a shorter one gets nothing.
  EXPECT_EQ(Decode(rgb24, 2, 11), (std::vector<uint8_t>{10, 11, 12, 13, 14, 15, 16, 17, 18, kCanary, kCanary,  //
                                                        1,  2,  3,  4,  5,  6,  7,  8,  9,  kCanary, kCanary}));
  EXPECT_EQ(Decode(rgb24, 2, 8), std::vector<uint8_t>(16, kCanary));

  // 5-6-5 whatever the masks: all bits set, then each component alone.
  EXPECT_EQ(
      Decode({.width = 4, .bitCount = 16, .compression = 3, .pixels = {0xFF, 0xFF, 0, 0xF8, 0xE0, 0x07, 0x1F, 0}}, 1),
      Pixels({{248, 252, 248}, {248, 0, 0}, {0, 252, 0}, {0, 0, 248}}));

  // 1 bit ignores its red and blue table; the most significant bit is the leftmost.
  EXPECT_EQ(Decode({.width = 10,
                    .bitCount = 1,
                    .coloursUsed = 2,
                    .palette = {{255, 0, 0}, {0, 0, 255}},
                    .pixels = {0b10110000, 0b01111111, 0, 0}},
                   1),
            Pixels({kWhite, kBlack, kWhite, kWhite, kBlack, kBlack, kBlack, kBlack, kBlack, kWhite}));

  // Indices past the colours used are black, also when the table promises 256
  // entries (colours-used 0) but ends with the file: here its one entry is the
  // pixel data itself (blue 0, green 1, red 0, 0).
  EXPECT_EQ(Decode({.width = 4, .bitCount = 8, .coloursUsed = 2, .palette = {c0, c1, c2}, .pixels = {1, 0, 2, 255}}, 1),
            Pixels({c1, c0, kBlack, kBlack}));
  EXPECT_EQ(Decode({.width = 4, .bitCount = 8, .pixels = {0, 1, 0, 0}}, 1),
            Pixels({{0, 1, 0}, kBlack, {0, 1, 0}, {0, 1, 0}}));
}

TEST_F(BmpDecoderTest, Rle8StopsAtItsEndAndStaysInsideThePicture) {
  // Bottom row: a run, 3 literal indices and their pad byte, the end of the line; then
  // one pixel, 2 right and 1 up, one pixel, the end of the picture, and a run never read.
  EXPECT_EQ(Decode(Rle8(5, 3, {2, 1, 0, 3, 2, 3, 0, 0, 0, 0, 1, 3, 0, 2, 2, 1, 1, 2, 0, 1, 1, 3}), 3),
            Pixels({U, U, U, c2, U, c3, U, U, U, U, c1, c1, c2, c3, c0}));
  // Five pixels into a row of three, five literal pixels into the top row, up past the
  // top, a run with nowhere to go; the extra destination row catches any spill.
  EXPECT_EQ(Decode(Rle8(3, 2, {5, 1, 0, 0, 0, 5, 3, 3, 3, 3, 3, 0, 0, 2, 0, 5, 2, 3}), 3),
            Pixels({c3, c3, c3, c1, c1, c1, U, U, U}));
  // Streams cut short: a literal, a delta, an odd byte.
  EXPECT_EQ(Decode(Rle8(4, 1, {0, 4, 1, 2}), 1), Pixels({c1, c2, U, U}));
  EXPECT_EQ(Decode(Rle8(4, 1, {1, 2, 0, 2, 1}), 1), Pixels({c2, U, U, U}));
  EXPECT_EQ(Decode(Rle8(4, 1, {2, 1, 0}), 1), Pixels({c1, c1, U, U}));
  // Top-down rows would all lie outside the picture.
  EXPECT_EQ(Decode(Rle8(2, -1, {2, 0, 0, 1}), 1), Pixels({U, U}));
}

TEST_F(BmpDecoderTest, UnsupportedDegenerateOrTruncatedImagesWriteOnlyWhatIsPresent) {
  const std::vector<uint8_t> row = {1, 2, 3, 4, 5, 6, 0, 0};
  for (const BmpLayout& layout :
       {BmpLayout{.width = 2, .bitCount = 16, .compression = 1, .pixels = row},
        BmpLayout{.width = 2, .bitCount = 4, .compression = 2, .palette = {c1}, .pixels = row},
        BmpLayout{.width = 2, .height = -1, .pixels = row}, BmpLayout{.width = 2, .height = 0, .pixels = row},
        BmpLayout{.width = -2, .height = 1, .pixels = row}, BmpLayout{.width = 2, .pixelOffset = 200, .pixels = row}}) {
    EXPECT_EQ(Decode(layout, 1), Pixels({U, U})) << layout.width << "x" << layout.height << " " << layout.bitCount;
  }
  // Two pixels a row, 8 bytes with padding: the bottom row whole, then one pixel and
  // two bytes of the next.
  EXPECT_EQ(Decode({.width = 2, .height = 3, .pixels = {3, 2, 1, 6, 5, 4, 0, 0, 9, 8, 7, 12, 11}}, 3),
            Pixels({U, U, {7, 8, 9}, U, {1, 2, 3}, {4, 5, 6}}));
}

}  // namespace
}  // namespace zeb
