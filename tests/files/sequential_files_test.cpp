// Sequential files: the line rules, buffered and unbuffered, checked against a
// plain model of the rules; opening kinds and flags; numbers
// and closing.
#include "runtime/files/sequential_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
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

// Texts with every kind of line end, the last line ended in each way or not at
// all, a byte-order mark (which stays in the first line), ill-formed UTF-8, and line
// ends and a character where the read buffer (4096 bytes) is refilled inside a line
// longer than the buffer, against the model.
TEST_F(SequentialFilesTest, LinesMatchTheModelBufferedAndUnbuffered) {
  const std::string x(4095, 'x');
  const std::string kTexts[] = {
      std::string("\xEF\xBB\xBF" "a\nb\rc\r\nd\n\re\0f\xC3\xA9\x80\xE2\x82\xED\xA0\x80", 24),
      "", "end\n", "end\r", "end\r\n", "end\n\r", std::string("end\0", 4),
      x + "\r\n" + x.substr(1) + "\r" + x + "\xE2\x82\xAC" + x + "\n",
  };
  for (const std::string& bytes : kTexts) {
    SCOPED_TRACE(::testing::PrintToString(bytes.substr(0, 40)));
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
