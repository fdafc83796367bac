// The decoder table and the examination record, with the BMP decoder; what it
// decodes is bmp_conformance_test.cpp's.
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

class ImageDecodersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitImageDecoding();
    RegisterBMPDecoder();
  }
  void TearDown() override {
    FinishImageDecoding();
    // Leave the table as the library's start-up leaves it.
    InitImageDecoding();
    RegisterBMPDecoder();
  }
};

TEST_F(ImageDecodersTest, TheTableHoldsThirtyDecoders) {
  int registered = 1;
  while (RegisterImageDecoder(&BMPImageDecoder)) ++registered;
  EXPECT_EQ(registered, MaxImageDecoders);
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
  // A bare file header is accepted, with nothing to decode; refused: one byte less,
  // sources the record cannot describe, and a stream that cannot seek (the suite's
  // images show the rest in files).
  const std::string good = std::string("BM") + std::string(12, '\0');
  EXPECT_EQ(ExamineImageMemory(good.data(), 13), 0u);
  EXPECT_EQ(ExamineImageMemory(nullptr, 14), 0u);
  EXPECT_EQ(ExamineImageMemory(good.data(), -1), 0u);
  EXPECT_EQ(ExamineImageMemory(good.data(), int64_t{1} << 32), 0u);
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
