#include "runtime/media/bmp_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
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
constexpr Rgb kUntouched{kCanary, kCanary, kCanary};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

class BmpDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitImageDecoding();
    RegisterBMPDecoder();
  }
  void TearDown() override { FinishImageDecoding(); }

  // Decodes into `rows` rows of `bytesPerRow` bytes (width * 3 unless given)
  // that hold the canary beforehand.
  static std::vector<uint8_t> Decode(const std::vector<uint8_t>& file, int32_t width, int32_t rows,
                                     int32_t bytesPerRow = 0) {
    if (bytesPerRow == 0) bytesPerRow = width * 3;
    std::vector<uint8_t> out(static_cast<size_t>(bytesPerRow) * rows, kCanary);
    EXPECT_EQ(ExamineImageMemory(file.data(), static_cast<int64_t>(file.size())), BMPImageIdentifier);
    EXPECT_EQ(DecodeImage(out.data(), bytesPerRow, 0), 1);
    FinishImageDecoding();
    return out;
  }

  static std::vector<uint8_t> Untouched(size_t pixels) { return std::vector<uint8_t>(pixels * 3, kCanary); }
};

TEST_F(BmpDecoderTest, CheckReadsTheHeaderAndRefusesWrongSignatures) {
  std::vector<uint8_t> file = MakeBMP({.width = 127, .height = -64, .bitCount = 8});
  EXPECT_EQ(ExamineImageMemory(file.data(), static_cast<int64_t>(file.size())), BMPImageIdentifier);
  EXPECT_EQ(DecodedImageWidth(), 127);
  EXPECT_EQ(DecodedImageHeight(), -64);
  EXPECT_EQ(DecodedImageDepth(), 24);
  EXPECT_EQ(DecodedImageSourceDepth(), 8);
  FinishImageDecoding();

  for (size_t at : {0, 1, 6, 7, 8, 9}) {
    std::vector<uint8_t> bad = file;
    bad[at] ^= 0x01;
    EXPECT_EQ(ExamineImageMemory(bad.data(), static_cast<int64_t>(bad.size())), 0u) << "byte " << at;
    EXPECT_EQ(DecodedImageWidth(), 0);
    FinishImageDecoding();
  }
  EXPECT_EQ(ExamineImageMemory(file.data(), 13), 0u);
}

TEST_F(BmpDecoderTest, BareFileHeaderIsAcceptedAndDecodesToNothing) {
  std::vector<uint8_t> file = MakeBMP({.width = 2, .height = 2});
  file.resize(14);
  EXPECT_EQ(ExamineImageMemory(file.data(), 14), BMPImageIdentifier);
  EXPECT_EQ(DecodedImageWidth(), 0);
  EXPECT_EQ(DecodedImageHeight(), 0);
  EXPECT_EQ(DecodedImageSourceDepth(), 0);
  std::vector<uint8_t> out = Untouched(4);
  EXPECT_EQ(DecodeImage(out.data(), 6, 0), 1);
  EXPECT_EQ(out, Untouched(4));
}

TEST_F(BmpDecoderTest, RowsOf24BitsSkipTheirPaddingAndLandTopDown) {
  // Three pixels take 9 bytes, padded with 3 to 12; the first stored row is the bottom one.
  const std::vector<uint8_t> file =
      MakeBMP({.width = 3, .height = 2, .pixels = {3,  2,  1,  6,  5,  4,  9,  8,  7,  0xEE, 0xEE, 0xEE,  //
                                                   12, 11, 10, 15, 14, 13, 18, 17, 16, 0xEE, 0xEE, 0xEE}});
  EXPECT_EQ(Decode(file, 3, 2), Pixels({{10, 11, 12}, {13, 14, 15}, {16, 17, 18}, {1, 2, 3}, {4, 5, 6}, {7, 8, 9}}));

  // A wider destination row keeps its bytes past the picture.
  std::vector<uint8_t> wide = Decode(file, 3, 2, 11);
  EXPECT_EQ(std::vector<uint8_t>(wide.begin(), wide.begin() + 11),
            (std::vector<uint8_t>{10, 11, 12, 13, 14, 15, 16, 17, 18, kCanary, kCanary}));
  EXPECT_EQ(std::vector<uint8_t>(wide.begin() + 11, wide.end()),
            (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, kCanary, kCanary}));
}

TEST_F(BmpDecoderTest, ThirtyTwoBitsIgnoreTheFourthByteAndTheCompression) {
  for (uint32_t compression : {0u, 3u, 6u}) {
    const std::vector<uint8_t> file =
        MakeBMP({.width = 2, .bitCount = 32, .compression = compression, .pixels = {3, 2, 1, 0xFF, 6, 5, 4, 0x00}});
    EXPECT_EQ(Decode(file, 2, 1), Pixels({{1, 2, 3}, {4, 5, 6}})) << compression;
  }
}

TEST_F(BmpDecoderTest, SixteenBitsAre555OrAlways565WithBitFields) {
  // All bits set, then each component alone, as 5-6-5.
  const std::vector<uint8_t> pixels565 = {0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00};
  const std::vector<uint8_t> with565 = MakeBMP({.width = 4, .bitCount = 16, .compression = 3, .pixels = pixels565});
  EXPECT_EQ(Decode(with565, 4, 1), Pixels({{248, 252, 248}, {248, 0, 0}, {0, 252, 0}, {0, 0, 248}}));

  // The top bit is unused in 5-5-5.
  const std::vector<uint8_t> pixels555 = {0xFF, 0xFF, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x80};
  const std::vector<uint8_t> with555 = MakeBMP({.width = 4, .bitCount = 16, .pixels = pixels555});
  EXPECT_EQ(Decode(with555, 4, 1), Pixels({{248, 248, 248}, {248, 0, 0}, {0, 248, 0}, {0, 0, 248}}));

  const std::vector<uint8_t> rle = MakeBMP({.width = 4, .bitCount = 16, .compression = 1, .pixels = pixels555});
  EXPECT_EQ(Decode(rle, 4, 1), Untouched(4));
}

TEST_F(BmpDecoderTest, OneBitIsBlackAndWhiteWhateverTheColourTable) {
  // Ten pixels: the most significant bit is the leftmost; the unused bits are set.
  const std::vector<uint8_t> file = MakeBMP({.width = 10,
                                             .bitCount = 1,
                                             .coloursUsed = 2,
                                             .palette = {{255, 0, 0}, {0, 0, 255}},
                                             .pixels = {0b10110000, 0b01111111, 0, 0}});
  EXPECT_EQ(Decode(file, 10, 1),
            Pixels({kWhite, kBlack, kWhite, kWhite, kBlack, kBlack, kBlack, kBlack, kBlack, kWhite}));
}

TEST_F(BmpDecoderTest, FourBitsTakeTheHighNibbleFirstAndOnlyTheColoursUsed) {
  const Rgb red{200, 0, 0}, green{0, 200, 0}, blue{0, 0, 200};
  // Three pixels per row: the low nibble of each row's second byte lies past the width.
  const std::vector<uint8_t> file = MakeBMP({.width = 3,
                                             .height = 2,
                                             .bitCount = 4,
                                             .coloursUsed = 3,
                                             .palette = {red, green, blue, {9, 9, 9}},
                                             .pixels = {0x01, 0x2F, 0, 0, 0x23, 0x10, 0, 0}});
  EXPECT_EQ(Decode(file, 3, 2), Pixels({blue, kBlack, green, red, green, blue}));

  BmpLayout rle4{.width = 3, .bitCount = 4, .compression = 2, .palette = {red}, .pixels = {0x03, 0x00, 0, 1}};
  EXPECT_EQ(Decode(MakeBMP(rle4), 3, 1), Untouched(3));
}

TEST_F(BmpDecoderTest, EightBitIndicesBeyondTheTableAreBlack) {
  const Rgb first{10, 20, 30}, second{40, 50, 60};
  // The third entry is in the file but past the colours-used count.
  const std::vector<uint8_t> file = MakeBMP({.width = 4,
                                             .bitCount = 8,
                                             .coloursUsed = 2,
                                             .palette = {first, second, {70, 80, 90}},
                                             .pixels = {1, 0, 2, 255}});
  EXPECT_EQ(Decode(file, 4, 1), Pixels({second, first, kBlack, kBlack}));

  // With colours-used 0 the table promises 256 entries; here it ends with the data,
  // which is its own first entry read as four indices (blue 0, green 1, red 0, 0x5A).
  std::vector<uint8_t> cut = MakeBMP({.width = 4, .bitCount = 8, .palette = {{0, 1, 0}}});
  cut[10] = 54;
  EXPECT_EQ(Decode(cut, 4, 1), Pixels({{0, 1, 0}, kBlack, {0, 1, 0}, kBlack}));
}

TEST_F(BmpDecoderTest, Rle8RunsLiteralsDeltasAndTheEndOfPicture) {
  const Rgb c0{1, 1, 1}, c1{2, 2, 2}, c2{3, 3, 3}, c3{4, 4, 4};
  const std::vector<uint8_t> stream = {
      2, 1, 0, 3, 2, 3, 0, 0,  // bottom row: a run, then 3 literal indices and their pad byte
      0, 0,                    // end of line
      1, 3, 0, 2, 2, 1,        // one pixel, then 2 right and 1 up, skipping pixels
      1, 2, 0, 1,              // one pixel, then the end of the picture
      1, 3,                    // never read
  };
  const std::vector<uint8_t> file = MakeBMP(
      {.width = 5, .height = 3, .bitCount = 8, .compression = 1, .palette = {c0, c1, c2, c3}, .pixels = stream});
  EXPECT_EQ(Decode(file, 5, 3), Pixels({kUntouched, kUntouched, kUntouched, c2, kUntouched,  //
                                        c3, kUntouched, kUntouched, kUntouched, kUntouched,  //
                                        c1, c1, c2, c3, c0}));
}

TEST_F(BmpDecoderTest, Rle8ClipsAtTheRowEndAndStopsAboveTheTop) {
  const Rgb c1{2, 2, 2}, c3{4, 4, 4};
  const std::vector<uint8_t> stream = {
      5, 1,                    // five pixels into a row of three
      0, 0,                    // end of line
      0, 5, 3, 3, 3, 3, 3, 0,  // five literal pixels into the top row
      0, 2, 0, 5,              // up past the top
      2, 3,                    // nowhere to go
  };
  const std::vector<uint8_t> file = MakeBMP(
      {.width = 3, .height = 2, .bitCount = 8, .compression = 1, .palette = {{}, c1, {}, c3}, .pixels = stream});
  // One row more than the picture: whatever spills over the bottom row lands there.
  EXPECT_EQ(Decode(file, 3, 3), Pixels({c3, c3, c3, c1, c1, c1, kUntouched, kUntouched, kUntouched}));
}

TEST_F(BmpDecoderTest, Rle8StreamsCutShortKeepWhatTheyWrote) {
  const Rgb c1{2, 2, 2}, c2{3, 3, 3};
  BmpLayout layout{.width = 4, .bitCount = 8, .compression = 1, .palette = {{}, c1, c2}};
  layout.pixels = {0, 4, 1, 2};  // a literal of four with two indices left
  EXPECT_EQ(Decode(MakeBMP(layout), 4, 1), Pixels({c1, c2, kUntouched, kUntouched}));
  layout.pixels = {1, 2, 0, 2, 1};  // a delta without its second byte
  EXPECT_EQ(Decode(MakeBMP(layout), 4, 1), Pixels({c2, kUntouched, kUntouched, kUntouched}));
  layout.pixels = {2, 1, 0};  // an odd byte
  EXPECT_EQ(Decode(MakeBMP(layout), 4, 1), Pixels({c1, c1, kUntouched, kUntouched}));
}

TEST_F(BmpDecoderTest, DegenerateSizesWriteNothing) {
  const std::vector<uint8_t> row = {1, 2, 3, 4, 5, 6, 0, 0};
  EXPECT_EQ(Decode(MakeBMP({.width = 2, .height = -1, .pixels = row}), 2, 1), Untouched(2));
  EXPECT_EQ(Decode(MakeBMP({.width = 2, .height = 0, .pixels = row}), 2, 1), Untouched(2));
  EXPECT_EQ(Decode(MakeBMP({.width = -2, .height = 1, .pixels = row}), 2, 1), Untouched(2));
  // Top-down RLE8 rows would all lie outside the picture.
  const std::vector<uint8_t> rle = MakeBMP(
      {.width = 2, .height = -1, .bitCount = 8, .compression = 1, .palette = {{7, 7, 7}}, .pixels = {2, 0, 0, 1}});
  EXPECT_EQ(Decode(rle, 2, 1), Untouched(2));
  // A destination row shorter than the picture's.
  EXPECT_EQ(Decode(MakeBMP({.width = 2, .height = 1, .pixels = row}), 2, 1, 5), std::vector<uint8_t>(5, kCanary));
}

TEST_F(BmpDecoderTest, TruncatedDataKeepsTheRowsAndPixelsThatArePresent) {
  // Two pixels a row, 8 bytes with padding: the bottom row whole, then one pixel
  // and two bytes of the next.
  std::vector<uint8_t> file = MakeBMP({.width = 2, .height = 3, .pixels = {3, 2, 1, 6, 5, 4, 0, 0, 9, 8, 7, 12, 11}});
  EXPECT_EQ(Decode(file, 2, 3), Pixels({kUntouched, kUntouched, {7, 8, 9}, kUntouched, {1, 2, 3}, {4, 5, 6}}));

  file[10] = 200;  // pixel data past the end
  EXPECT_EQ(Decode(file, 2, 3), Untouched(6));
}

}  // namespace
}  // namespace zeb
