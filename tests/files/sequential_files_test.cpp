// Sequential files: the line rules, buffered and unbuffered, checked against a
// plain model of the rules on generated text; opening kinds and flags; numbers
// and closing.
#include "runtime/files/sequential_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "runtime/core/object_registry.h"
#include "runtime/core/temp_string_buffer.h"
#include "tests/core/unit_text.h"
#include "tests/files/file_test_folder.h"
#include "tests/files/line_model.h"

namespace zeb {
namespace {

using namespace file_testing;
using Lines = std::vector<std::u16string>;

std::u16string Line(int64_t number) {
  const int64_t start = TempBufferPosition();
  ReadString(number, start);
  const std::u16string line = TempText(start);
  SetTempBufferPosition(start);
  return line;
}

// Every line until Eof, as the string-loading export reads them.
Lines AllLines(int64_t number) {
  Lines lines;
  for (int guard = 0; Eof(number) == 0 && guard < 1000000; ++guard) lines.push_back(Line(number));
  return lines;
}

class SequentialFilesTest : public StringBufferTest {
 protected:
  void SetUp() override {
    StringBufferTest::SetUp();
    InitSequentialFiles();
    ASSERT_TRUE(folder.ok());
  }
  void TearDown() override {
    EndSequentialFiles();
    StringBufferTest::TearDown();
  }

  Lines Load(const std::string& bytes, int flags) {
    EXPECT_TRUE(WriteBytes(folder / "text", bytes));
    EXPECT_NE(ReadFile(0, Units(folder / "text").c_str(), flags), 0);
    Lines lines = AllLines(0);
    CloseFile(0);
    return lines;
  }
  std::u16string Path(const char* name) { return Units(folder / name); }

  TestFolder folder;
};

// Generated texts with every kind of line end, empty lines, lines of up to 10,000
// bytes, characters of two to four bytes and ill-formed pieces (a lone continuation
// byte, a sequence cut short, an encoded surrogate, an overlong NUL), so that line
// ends, CR LF pairs and cut sequences fall on every side of the read buffer's
// refills. The first starts with a byte-order mark, which stays in its first line;
// each ends in another way, the last without a line end; the empty text is there too.
TEST_F(SequentialFilesTest, LinesMatchTheModelBufferedAndUnbuffered) {
  std::mt19937 random(11);
  const std::string kEnds[] = {"\n", "\r", "\r\n", "\n\r", std::string(1, '\0'), ""};
  const std::string kPieces[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x80",
                                 "\xE2\x82", "\xED\xA0\x80", "\xC0\x80"};
  for (int round = 0; round < 7; ++round) {
    std::string bytes = round == 0 ? "\xEF\xBB\xBF" : "";
    while (round < 6 && bytes.size() < 200000) {
      const size_t length = random() % 8 == 0 ? random() % 10001 : random() % 120;
      for (size_t i = 0; i < length; ++i) {
        bytes += random() % 16 == 0 ? kPieces[random() % 7] : std::string(1, static_cast<char>('a' + random() % 26));
      }
      bytes += kEnds[random() % 5];
    }
    if (round < 6) {
      // Line ends placed exactly at a refill boundary.
      bytes.insert(4095, "\r\n");
      bytes.insert(8191, "\r");
      bytes += "end" + kEnds[round];
    }
    SCOPED_TRACE(round);
    EXPECT_EQ(Load(bytes, FileBuffered), testing::ModelLines(bytes, true));
    EXPECT_EQ(Load(bytes, FileUnbuffered), testing::ModelLines(bytes, false));
  }
}

TEST_F(SequentialFilesTest, OpeningKindsAndFlags) {
  const std::u16string path = Path("file");
  // ReadFile needs the file; OpenFile makes it.
  EXPECT_EQ(ReadFile(0, path.c_str()), 0);
  ASSERT_NE(OpenFile(0, path.c_str()), 0);
  CloseFile(0);
  EXPECT_EQ(ReadBytes(folder / "file"), "");

  ASSERT_TRUE(WriteBytes(folder / "file", "first\nsecond\n"));
  // The result for a chosen number is the stream itself; the append flag belongs
  // to OpenFile alone.
  auto* stream = reinterpret_cast<FILE*>(OpenFile(1, path.c_str(), FileBuffered | FileAppend));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(ftello(stream), 13);
  stream = reinterpret_cast<FILE*>(ReadFile(1, path.c_str(), FileAppend));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(ftello(stream), 0);
  EXPECT_EQ(Line(1), u"first");
  CloseFile(1);

  // CreateFile truncates.
  ASSERT_NE(CreateFile(2, path.c_str()), 0);
  CloseFile(2);
  EXPECT_EQ(ReadBytes(folder / "file"), "");
  // A folder, read, ends at once: its reads fail, and a failed read counts as the end.
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  for (const int flags : {FileBuffered, FileUnbuffered}) {
    ASSERT_NE(ReadFile(3, Path("sub").c_str(), flags), 0);
    EXPECT_LE(AllLines(3).size(), 1u);
  }
  EXPECT_EQ(ReadFile(2, nullptr), 0);
}

// A failed open frees its number, which then reads as no file; closing
// DynamicNumber closes every file.
TEST_F(SequentialFilesTest, NumbersAndClosing) {
  ASSERT_TRUE(WriteBytes(folder / "one", "1"));
  const size_t before = OpenDescriptors().size();
  const int64_t dynamic = ReadFile(DynamicNumber, Path("one").c_str());
  ASSERT_NE(dynamic, 0);
  EXPECT_EQ(Line(dynamic), u"1");
  EXPECT_EQ(ReadFile(DynamicNumber, Path("missing").c_str()), 0);
  ASSERT_NE(ReadFile(5, Path("one").c_str()), 0);
  EXPECT_EQ(ReadFile(5, Path("missing").c_str()), 0);
  EXPECT_EQ(Line(5), u"");
  EXPECT_EQ(Eof(5), 0);
  CloseFile(DynamicNumber);
  EXPECT_EQ(OpenDescriptors().size(), before);
  EXPECT_EQ(Line(dynamic), u"");
}

}  // namespace
}  // namespace zeb
