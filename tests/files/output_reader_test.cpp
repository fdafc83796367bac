// The output reader over a pipe that the test writes itself.
#include "runtime/files/output_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "tests/files/file_test_folder.h"

namespace zeb {
namespace {

using file_testing::Pattern;

// A reader of a fresh pipe whose write end the test holds.
class OutputReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    reader_ = NewOutputReader(ends[0]);
    ASSERT_NE(reader_, nullptr);
    writeEnd_ = ends[1];
  }
  void TearDown() override {
    CloseWriter();
    CloseOutputReader(reader_);
  }

  void Write(const std::string& bytes) {
    ASSERT_EQ(write(writeEnd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void CloseWriter() {
    if (writeEnd_ != -1) close(writeEnd_);
    writeEnd_ = -1;
  }
  std::string ReadBlock(int64_t size) {
    std::string bytes(static_cast<size_t>(size), '\0');
    bytes.resize(static_cast<size_t>(ReadOutputBlock(reader_, bytes.data(), 1, size)));
    return bytes;
  }

  OutputReader* reader_ = nullptr;
  int writeEnd_ = -1;
};

// Blocks of no whole item, or of a size that overflows, take no byte; a block
// takes whole items only.
TEST_F(OutputReaderTest, RingHoldsAtMostItsSizeWrapsAroundAndBlocksCountWholeItems) {
  const std::string sent = Pattern(30000);
  Write(sent);
  CloseWriter();
  char buffer[16] = {};
  for (const auto& [size, count] : {std::pair<int64_t, int64_t>{3, 0}, {-3, 2}, {2, -1}, {INT64_MAX, 2}}) {
    EXPECT_EQ(ReadOutputBlock(reader_, buffer, size, count), 0) << size << " x " << count;
  }
  EXPECT_EQ(ReadOutputBlock(reader_, nullptr, 1, 1), 0);
  EXPECT_EQ(OutputAvailable(reader_), kOutputRingSize);
  EXPECT_EQ(ReadBlock(4000), sent.substr(0, 4000));
  // Available fills only an empty ring; the end test fills the free space, which
  // now lies in front of the unread bytes.
  EXPECT_EQ(OutputAvailable(reader_), kOutputRingSize - 4000);
  EXPECT_EQ(OutputEnded(reader_), 0);
  EXPECT_EQ(OutputAvailable(reader_), kOutputRingSize);
  EXPECT_EQ(ReadBlock(kOutputRingSize), sent.substr(4000, kOutputRingSize));
  const int64_t rest = static_cast<int64_t>(sent.size()) - 4000 - kOutputRingSize - 10;
  EXPECT_EQ(ReadBlock(rest), sent.substr(4000 + kOutputRingSize, rest));
  EXPECT_EQ(ReadOutputBlock(reader_, buffer, 3, 4), 3);
  EXPECT_EQ(std::string(buffer, 10), sent.substr(sent.size() - 10));
  EXPECT_EQ(ReadOutputByte(reader_), -1);
  EXPECT_EQ(ReadOutputCharacter(reader_), -1);
}

// A program that takes the pipe itself as its input, where the system cannot
// open it anew, shares its flags and makes the host's end blocking: the reader
// must still neither block the host nor end while the pipe is empty.
TEST_F(OutputReaderTest, EmptyPipeMadeBlockingNeitherBlocksNorEndsUntilTheWriterCloses) {
  const int descriptor = OutputDescriptor(reader_);
  ASSERT_EQ(fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK), 0);
  EXPECT_EQ(OutputAvailable(reader_), 0);
  EXPECT_EQ(OutputEnded(reader_), 0);
  Write("abc");
  EXPECT_EQ(OutputAvailable(reader_), 3);
  EXPECT_EQ(ReadBlock(3), "abc");
  EXPECT_EQ(OutputEnded(reader_), 0);
  CloseWriter();
  EXPECT_EQ(OutputEnded(reader_), 1);
}

TEST_F(OutputReaderTest, BytesAreSignedAndCharactersComeFromUTF8) {
  // Three bytes, then A, e acute, euro sign, a four-byte character, a byte that
  // cannot lead, a stray continuation byte, continuation bytes taken unchecked,
  // and a sequence cut off by the end.
  Write("\xFF\x01\x80" "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xFF\x80\xC3\x41\xF0\x9F\x98");
  CloseWriter();
  // -1 is both the byte 0xFF and the end: only OutputEnded tells them apart.
  EXPECT_EQ(ReadOutputByte(reader_), -1);
  EXPECT_EQ(OutputEnded(reader_), 0);
  EXPECT_EQ(ReadOutputByte(reader_), 1);
  EXPECT_EQ(ReadOutputByte(reader_), -128);
  for (const int32_t expected : {int32_t{'A'}, 0xE9, 0x20AC, 32, 32, 32, (0x03 << 6) | 0x01, -1}) {
    EXPECT_EQ(ReadOutputCharacter(reader_), expected);
  }
  EXPECT_EQ(OutputEnded(reader_), 1);
  EXPECT_EQ(ReadOutputByte(reader_), -1);
}

TEST_F(OutputReaderTest, PipeThatFailsReadsAsTheEnd) {
  Write("ab");
  EXPECT_EQ(ReadOutputByte(reader_), 'a');
  // The descriptor vanishes under the stream: reads fail for good, which must end
  // the output rather than be waited out like an empty pipe.
  ASSERT_EQ(close(OutputDescriptor(reader_)), 0);
  ASSERT_EQ(OutputEnded(reader_), 0);  // 'b' is still held
  EXPECT_EQ(ReadOutputByte(reader_), 'b');
  ASSERT_EQ(OutputEnded(reader_), 1);
  EXPECT_EQ(ReadOutputByte(reader_), -1);
}

}  // namespace
}  // namespace zeb
