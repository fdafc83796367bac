#include "runtime/media/image_decoders.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/media/bmp_decoder.h"

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

TEST_F(ImageDecodersTest, DecodersAreAskedInOrderWithAClearAreaAndFinishedOnce) {
  for (const ImageDecoder* decoder : {&kLetterDecoder<'A'>, &kLetterDecoder<'B'>, &kLetterDecoder<'C'>}) {
    ASSERT_TRUE(RegisterImageDecoder(decoder));
  }
  EXPECT_EQ(ExamineImageMemory("B", 1), uint32_t{'B'});
  EXPECT_EQ(probe.checks, "AB");
  EXPECT_TRUE(probe.areaWasClear);
  EXPECT_EQ(DecodedImageWidth(), 'B');
  uint8_t pixel = 0;
  EXPECT_EQ(DecodeImage(&pixel, 3, 0), 7);
  EXPECT_EQ(pixel, 'B');

  // The next examination finishes the open one and starts from a cleared record.
  probe.checks.clear();
  EXPECT_EQ(ExamineImageMemory("Z", 1), 0u);
  EXPECT_EQ(probe.checks, "ABC");
  EXPECT_EQ(probe.cleanups, 1);
  EXPECT_EQ(DecodedImageWidth(), 0);
  EXPECT_EQ(DecodeImage(&pixel, 3, 0), 0);
  // No cleanup after a refusal, and only one after an acceptance.
  FinishImageDecoding();
  EXPECT_EQ(ExamineImageMemory("A", 1), uint32_t{'A'});
  FinishImageDecoding();
  FinishImageDecoding();
  EXPECT_EQ(probe.cleanups, 2);

  // Sources the record cannot hold are examined as empty.
  EXPECT_EQ(ExamineImageMemory(nullptr, 1), 0u);
  EXPECT_EQ(ExamineImageMemory("A", -1), 0u);
  EXPECT_EQ(ExamineImageMemory("A", int64_t{1} << 32), 0u);
}

TEST_F(ImageDecodersTest, TheTableHoldsThirtyDecodersAndRefusesMore) {
  for (int i = 0; i < MaxImageDecoders - 1; ++i) ASSERT_TRUE(RegisterImageDecoder(&kLetterDecoder<'A'>));
  ASSERT_TRUE(RegisterImageDecoder(&kLetterDecoder<'B'>));
  EXPECT_FALSE(RegisterImageDecoder(&kLetterDecoder<'C'>));
  EXPECT_FALSE(RegisterImageDecoder(nullptr));

  EXPECT_EQ(ExamineImageMemory("B", 1), uint32_t{'B'});
  EXPECT_EQ(probe.checks, std::string(MaxImageDecoders - 1, 'A') + "B");
  EXPECT_EQ(ExamineImageMemory("C", 1), 0u);
  EXPECT_EQ(probe.checks.find('C'), std::string::npos);
}

// A stream holding `bytes`: a temporary file, or the read end of a pipe, which cannot seek.
FILE* OpenStream(const std::string& bytes, bool seekable) {
  if (seekable) {
    FILE* file = std::tmpfile();
    if (file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size()) std::rewind(file);
    return file;
  }
  int ends[2];
  if (pipe(ends) != 0) return nullptr;
  EXPECT_EQ(write(ends[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(ends[1]);
  return fdopen(ends[0], "r");
}

bool IsOpen(int fd) { return fcntl(fd, F_GETFD) != -1; }

TEST_F(ImageDecodersTest, FinishClosesFilesAcceptedOrNot) {
  RegisterBMPDecoder();
  // A bare file header is accepted, with nothing to decode; refused: one byte less,
  // and a stream that cannot seek (the suite's images show the rest in files).
  const std::string good = std::string("BM") + std::string(12, '\0');
  EXPECT_EQ(ExamineImageMemory(good.data(), 13), 0u);
  for (const auto& [bytes, seekable] : {std::pair{good, true}, {good.substr(0, 13), true}, {good, false}}) {
    SCOPED_TRACE(::testing::Message() << bytes.size() << " bytes, seekable " << seekable);
    FILE* file = OpenStream(bytes, seekable);
    ASSERT_NE(file, nullptr);
    const int fd = fileno(file);
    const bool accepted = bytes == good && seekable;
    EXPECT_EQ(ExamineImageFile(file), accepted ? BMPImageIdentifier : 0u);
    std::vector<uint8_t> pixel(3);
    EXPECT_EQ(DecodeImage(pixel.data(), 3, 0), accepted ? 1 : 0);
    EXPECT_EQ(pixel, std::vector<uint8_t>(3, 0));
    EXPECT_TRUE(IsOpen(fd));
    FinishImageDecoding();
    EXPECT_FALSE(IsOpen(fd));
    FinishImageDecoding();  // a second close would be a double free, which the sanitizers see
  }
  EXPECT_EQ(ExamineImageFile(nullptr), 0u);

  // An examination left open is finished, and its file closed, by the next one.
  FILE* file = OpenStream(good, true);
  ASSERT_NE(file, nullptr);
  const int fd = fileno(file);
  EXPECT_EQ(ExamineImageFile(file), BMPImageIdentifier);
  EXPECT_EQ(ExamineImageMemory(good.data(), static_cast<int64_t>(good.size())), BMPImageIdentifier);
  EXPECT_FALSE(IsOpen(fd));
}

}  // namespace
}  // namespace zeb
