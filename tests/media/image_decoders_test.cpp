#include "runtime/media/image_decoders.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/media/bmp_decoder.h"
#include "tests/media/bmp_builder.h"

namespace zeb {
namespace {

// Decoders that accept sources starting with their own letter and log what they
// see, so that the order of the checks and the state of the record show.
struct Probe {
  std::string checks;        // the letters of the decoders asked, in order
  bool areaWasClear = true;  // every check found the decoder area zeroed
  int cleanups = 0;
};
Probe probe;

template <char Letter>
int32_t CheckLetter(ImageDecodeRecord* record) {
  probe.checks += Letter;
  for (uintptr_t word : record->decoderArea) probe.areaWasClear = probe.areaWasClear && word == 0;
  record->decoderArea[0] = 0xDEAD;  // left behind for the next decoder's check
  if (record->memoryMode == 0 || record->memorySize == 0 || record->memory[0] != Letter) return 0;
  record->width = Letter;
  return 1;
}

int32_t DecodeLetter(ImageDecodeRecord* record, uint8_t* destination, int32_t, int32_t) {
  destination[0] = static_cast<uint8_t>(record->width);
  return 7;
}

void CleanupLetter(ImageDecodeRecord*) { ++probe.cleanups; }

template <char Letter>
constexpr ImageDecoder kLetterDecoder = {CheckLetter<Letter>, DecodeLetter, CleanupLetter, uint32_t{Letter}};

class ImageDecodersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitImageDecoding();
    probe = {};
  }
  void TearDown() override {
    FinishImageDecoding();
    // Leave the table as the library's start-up leaves it.
    InitImageDecoding();
    RegisterBMPDecoder();
  }
};

TEST_F(ImageDecodersTest, DecodersAreAskedInRegistrationOrderWithAClearArea) {
  ASSERT_TRUE(RegisterImageDecoder(&kLetterDecoder<'A'>));
  ASSERT_TRUE(RegisterImageDecoder(&kLetterDecoder<'B'>));
  ASSERT_TRUE(RegisterImageDecoder(&kLetterDecoder<'C'>));

  EXPECT_EQ(ExamineImageMemory("B", 1), uint32_t{'B'});
  EXPECT_EQ(probe.checks, "AB");
  EXPECT_TRUE(probe.areaWasClear);
  EXPECT_EQ(DecodedImageWidth(), 'B');
  uint8_t pixel = 0;
  EXPECT_EQ(DecodeImage(&pixel, 3, 0), 7);
  EXPECT_EQ(pixel, 'B');

  // The next examination starts from a cleared record, after finishing the open one.
  probe.checks.clear();
  EXPECT_EQ(ExamineImageMemory("Z", 1), 0u);
  EXPECT_EQ(probe.checks, "ABC");
  EXPECT_EQ(probe.cleanups, 1);
  EXPECT_EQ(DecodedImageWidth(), 0);
  EXPECT_EQ(DecodeImage(&pixel, 3, 0), 0);
  FinishImageDecoding();
  EXPECT_EQ(probe.cleanups, 1);
}

TEST_F(ImageDecodersTest, TheTableHoldsThirtyDecodersAndRefusesMore) {
  for (int i = 0; i < MaxImageDecoders - 1; ++i) ASSERT_TRUE(RegisterImageDecoder(&kLetterDecoder<'A'>));
  ASSERT_TRUE(RegisterImageDecoder(&kLetterDecoder<'B'>));
  EXPECT_FALSE(RegisterImageDecoder(&kLetterDecoder<'C'>));
  EXPECT_FALSE(RegisterImageDecoder(nullptr));

  EXPECT_EQ(ExamineImageMemory("B", 1), uint32_t{'B'});
  EXPECT_EQ(probe.checks, std::string(MaxImageDecoders - 1, 'A') + "B");
  probe.checks.clear();
  EXPECT_EQ(ExamineImageMemory("C", 1), 0u);
  EXPECT_EQ(probe.checks.find('C'), std::string::npos);
}

TEST_F(ImageDecodersTest, FinishRunsTheCleanupOnceAndOnlyAfterAnAcceptance) {
  ASSERT_TRUE(RegisterImageDecoder(&kLetterDecoder<'A'>));
  EXPECT_EQ(ExamineImageMemory("Q", 1), 0u);
  FinishImageDecoding();
  EXPECT_EQ(probe.cleanups, 0);
  EXPECT_EQ(ExamineImageMemory("A", 1), uint32_t{'A'});
  FinishImageDecoding();
  FinishImageDecoding();
  EXPECT_EQ(probe.cleanups, 1);
  // Sources the record cannot hold are examined as empty.
  EXPECT_EQ(ExamineImageMemory(nullptr, 1), 0u);
  EXPECT_EQ(ExamineImageMemory("A", -1), 0u);
  EXPECT_EQ(ExamineImageMemory("A", int64_t{1} << 32), 0u);
}

// A read-only stream over a string that counts its closes, so that the tests see
// who closes a file source.
struct MemoryFile {
  std::string bytes;
  size_t position = 0;
  int closes = 0;
};

FILE* OpenMemoryFile(MemoryFile& file, bool seekable) {
  cookie_io_functions_t functions{};
  functions.read = [](void* cookie, char* buffer, size_t size) -> ssize_t {
    auto* file = static_cast<MemoryFile*>(cookie);
    const size_t count = std::min(size, file->bytes.size() - file->position);
    std::memcpy(buffer, file->bytes.data() + file->position, count);
    file->position += count;
    return static_cast<ssize_t>(count);
  };
  if (seekable) {
    functions.seek = [](void* cookie, off64_t* offset, int whence) {
      auto* file = static_cast<MemoryFile*>(cookie);
      const off64_t base = whence == SEEK_SET   ? 0
                           : whence == SEEK_CUR ? static_cast<off64_t>(file->position)
                                                : static_cast<off64_t>(file->bytes.size());
      file->position = static_cast<size_t>(base + *offset);
      *offset = base + *offset;
      return 0;
    };
  }
  functions.close = [](void* cookie) {
    ++static_cast<MemoryFile*>(cookie)->closes;
    return 0;
  };
  return fopencookie(&file, "r", functions);
}

class ImageFileModeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitImageDecoding();
    RegisterBMPDecoder();
  }
  void TearDown() override { FinishImageDecoding(); }
};

TEST_F(ImageFileModeTest, FileSourcesDecodeAsTheirBytesAndAreClosedByFinish) {
  const std::vector<uint8_t> bmp = testing::MakeBMP(
      {.width = 3, .height = 2, .pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18}});
  std::array<uint8_t, 18> fromMemory{}, fromFile{};
  ASSERT_EQ(ExamineImageMemory(bmp.data(), static_cast<int64_t>(bmp.size())), BMPImageIdentifier);
  DecodeImage(fromMemory.data(), 9, 0);
  FinishImageDecoding();

  MemoryFile file{std::string(bmp.begin(), bmp.end())};
  ASSERT_EQ(ExamineImageFile(OpenMemoryFile(file, true)), BMPImageIdentifier);
  EXPECT_EQ(DecodedImageWidth(), 3);
  EXPECT_EQ(DecodedImageHeight(), 2);
  EXPECT_EQ(DecodedImageSourceDepth(), 24);
  EXPECT_EQ(DecodeImage(fromFile.data(), 9, 0), 1);
  EXPECT_EQ(file.closes, 0);
  FinishImageDecoding();
  EXPECT_EQ(file.closes, 1);
  FinishImageDecoding();
  EXPECT_EQ(file.closes, 1);
  EXPECT_EQ(fromFile, fromMemory);
  EXPECT_EQ(fromFile[0], 12);  // the top row is the second one stored
}

TEST_F(ImageFileModeTest, RefusedFilesAreClosedByFinishToo) {
  const std::vector<uint8_t> bmp = testing::MakeBMP({.width = 1, .height = 1, .pixels = {1, 2, 3, 0}});
  const std::string good(bmp.begin(), bmp.end());
  std::string badSignature = good;
  badSignature[1] = 'A';
  for (const auto& [bytes, seekable] :
       {std::pair{good.substr(0, 13), true}, std::pair{badSignature, true}, std::pair{good, false}}) {
    MemoryFile file{bytes};
    EXPECT_EQ(ExamineImageFile(OpenMemoryFile(file, seekable)), 0u) << bytes.size() << " " << seekable;
    FinishImageDecoding();
    EXPECT_EQ(file.closes, 1);
  }
  EXPECT_EQ(ExamineImageFile(nullptr), 0u);

  // An examination left open is finished by the next one, which closes its file.
  MemoryFile file{good};
  EXPECT_EQ(ExamineImageFile(OpenMemoryFile(file, true)), BMPImageIdentifier);
  EXPECT_EQ(ExamineImageMemory(bmp.data(), static_cast<int64_t>(bmp.size())), BMPImageIdentifier);
  EXPECT_EQ(file.closes, 1);
  FinishImageDecoding();
  EXPECT_EQ(file.closes, 1);
}

}  // namespace
}  // namespace zeb
