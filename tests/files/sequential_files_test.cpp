// Sequential files: the line rules, buffered and unbuffered, checked against a
// plain model of the rules on generated text; the end-of-file rules; opening
// kinds and flags; numbers, replacing and closing.
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
#include "tests/files/file_test_folder.h"

namespace zeb {
namespace {

using file_testing::ReadBytes;
using file_testing::TestFolder;
using file_testing::Units;
using file_testing::WriteBytes;

std::u16string Line(int64_t number) {
  const int64_t start = TempBufferPosition();
  ReadString(number, start);
  std::u16string line(TempStringAddress(start));
  SetTempBufferPosition(start);
  return line;
}

// Every line until Eof, as the string-loading export reads them.
std::vector<std::u16string> AllLines(int64_t number) {
  std::vector<std::u16string> lines;
  for (int guard = 0; Eof(number) == 0 && guard < 1000000; ++guard) lines.push_back(Line(number));
  return lines;
}

// The line rules, byte by byte, for ASCII text: LF, CR, CR LF and NUL end a line.
// A buffered file is at its end once no byte is left; an unbuffered one only after
// a read has met the end, which gives one more, empty, line after a final line end.
std::vector<std::u16string> ModelLines(const std::string& bytes, bool buffered) {
  std::vector<std::u16string> lines;
  size_t at = 0;
  bool metEnd = false;
  while (buffered ? at < bytes.size() : !metEnd) {
    std::u16string line;
    while (at < bytes.size() && bytes[at] != '\n' && bytes[at] != '\r' && bytes[at] != 0) line += bytes[at++];
    if (at == bytes.size()) {
      metEnd = true;
    } else if (bytes[at++] == '\r' && at < bytes.size() && bytes[at] == '\n') {
      ++at;
    } else if (bytes[at - 1] == '\r' && at == bytes.size()) {
      metEnd = true;  // the look past a final CR meets the end
    }
    lines.push_back(line);
  }
  return lines;
}

class SequentialFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitStringBuffer();
    InitSequentialFiles();
    ASSERT_TRUE(folder.ok());
  }
  void TearDown() override {
    EndSequentialFiles();
    FreeStringBuffer();
  }

  std::vector<std::u16string> Load(const std::string& bytes, int flags) {
    EXPECT_TRUE(WriteBytes(folder / "text", bytes));
    EXPECT_NE(ReadFile(0, Units(folder / "text").c_str(), flags), 0);
    std::vector<std::u16string> lines = AllLines(0);
    CloseFile(0);
    return lines;
  }

  TestFolder folder;
};

TEST_F(SequentialFilesTest, LineEndsNulAndEndOfFileBuffered) {
  using Lines = std::vector<std::u16string>;
  EXPECT_EQ(Load("a\r\nb\rc\n", 1), (Lines{u"a", u"b", u"c"}));
  EXPECT_EQ(Load("a\nb", 1), (Lines{u"a", u"b"}));
  EXPECT_EQ(Load("a\r", 1), (Lines{u"a"}));
  EXPECT_EQ(Load("a\n\rb", 1), (Lines{u"a", u"", u"b"}));
  EXPECT_EQ(Load(std::string("a\0b\0", 4), 1), (Lines{u"a", u"b"}));
  EXPECT_EQ(Load("\n\n", 1), (Lines{u"", u""}));
  EXPECT_EQ(Load("", 1), Lines{});
  // No byte-order-mark handling: the mark stays in the first line.
  EXPECT_EQ(Load("\xEF\xBB\xBFx\n", 1), (Lines{u"\uFEFFx"}));
}

TEST_F(SequentialFilesTest, UnbufferedFilesSeeTheEndOnlyAfterMeetingIt) {
  using Lines = std::vector<std::u16string>;
  EXPECT_EQ(Load("a\r\nb\rc\n", FileUnbuffered), (Lines{u"a", u"b", u"c", u""}));
  EXPECT_EQ(Load("a\nb", FileUnbuffered), (Lines{u"a", u"b"}));
  EXPECT_EQ(Load("a\r", FileUnbuffered), (Lines{u"a"}));
  EXPECT_EQ(Load("", FileUnbuffered), (Lines{u""}));
}

TEST_F(SequentialFilesTest, LinesDecodeFromUTF8AsFarAsTheyAreValid) {
  using Lines = std::vector<std::u16string>;
  for (const int flags : {1, FileUnbuffered}) {
    SCOPED_TRACE(flags);
    EXPECT_EQ(Load("caf\xC3\xA9 \xF0\x9F\x98\x80\nok", flags).front(), u"caf\u00E9 \U0001F600");
    // An invalid lead byte stops the line; the next line is read as usual.
    EXPECT_EQ(Load("ab\x80" "cd\nnext", flags), (Lines{u"ab", u"next"}));
    // A sequence cut short by the line end takes the line's terminator as its
    // failed continuation byte.
    EXPECT_EQ(Load("a\xE2\x82\nz", flags), (Lines{u"a\u0082", u"z"}));
  }
}

// Generated text with every kind of line end, empty lines and lines of up to 10,000
// bytes, so that line ends, CR LF pairs and cut sequences fall on every side of
// the read buffer's refills.
TEST_F(SequentialFilesTest, GeneratedTextMatchesTheModel) {
  std::mt19937 random(11);
  const std::string kEnds[] = {"\n", "\r", "\r\n", "\n\r", std::string(1, '\0')};
  for (int round = 0; round < 4; ++round) {
    std::string bytes;
    while (bytes.size() < 200000) {
      const size_t length = random() % 8 == 0 ? random() % 10001 : random() % 120;
      for (size_t i = 0; i < length; ++i) bytes += static_cast<char>('a' + random() % 26);
      bytes += kEnds[random() % 5];
    }
    // Line ends placed exactly at a refill boundary.
    bytes.insert(4095, "\r\n");
    bytes.insert(8191, "\r");
    SCOPED_TRACE(round);
    EXPECT_EQ(Load(bytes, 1), ModelLines(bytes, true));
    EXPECT_EQ(Load(bytes, FileUnbuffered), ModelLines(bytes, false));
  }
}

TEST_F(SequentialFilesTest, LongLinesComeBackWhole) {
  const std::string line(10000, 'x');
  const std::string huge(3 * 1024 * 1024, 'y');
  for (const int flags : {1, FileUnbuffered}) {
    const std::vector<std::u16string> lines = Load(line + "\r\n" + huge, flags);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::u16string(line.begin(), line.end()));
    EXPECT_EQ(lines[1].size(), huge.size());
  }
}

TEST_F(SequentialFilesTest, OpeningKindsAndFlags) {
  const std::u16string path = Units(folder / "file");
  // ReadFile needs the file; OpenFile makes it.
  EXPECT_EQ(ReadFile(0, path.c_str()), 0);
  const int64_t opened = OpenFile(0, path.c_str());
  ASSERT_NE(opened, 0);
  EXPECT_EQ(Eof(0), 1);
  CloseFile(0);
  EXPECT_EQ(ReadBytes(folder / "file"), "");

  ASSERT_TRUE(WriteBytes(folder / "file", "first\nsecond\n"));
  // The result for a chosen number is the stream itself.
  auto* stream = reinterpret_cast<FILE*>(OpenFile(1, path.c_str(), FileBuffered | FileAppend));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(ftello(stream), 13);
  EXPECT_EQ(Eof(1), 1);
  stream = reinterpret_cast<FILE*>(OpenFile(1, path.c_str()));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(ftello(stream), 0);
  EXPECT_EQ(Line(1), u"first");
  // The append flag belongs to OpenFile alone.
  stream = reinterpret_cast<FILE*>(ReadFile(1, path.c_str(), FileAppend));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(ftello(stream), 0);
  CloseFile(1);
  EXPECT_EQ(ReadBytes(folder / "file"), "first\nsecond\n");

  // CreateFile truncates.
  ASSERT_NE(CreateFile(2, path.c_str(), FileUnbuffered), 0);
  CloseFile(2);
  EXPECT_EQ(ReadBytes(folder / "file"), "");
  // A folder cannot be created over, nor written; read, it ends at once (its
  // reads fail, and a failed read counts as the end).
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  EXPECT_EQ(CreateFile(2, Units(folder / "sub").c_str()), 0);
  EXPECT_EQ(OpenFile(2, Units(folder / "sub").c_str()), 0);
  for (const int flags : {1, FileUnbuffered}) {
    ASSERT_NE(ReadFile(3, Units(folder / "sub").c_str(), flags), 0);
    EXPECT_LE(AllLines(3).size(), 1u);
  }
  EXPECT_EQ(ReadFile(2, nullptr), 0);
}

TEST_F(SequentialFilesTest, NumbersReplacingAndClosing) {
  ASSERT_TRUE(WriteBytes(folder / "one", "1\n"));
  ASSERT_TRUE(WriteBytes(folder / "two", "2\n"));
  const int before = file_testing::OpenDescriptorCount();
  const int64_t dynamic = ReadFile(DynamicNumber, Units(folder / "one").c_str());
  ASSERT_NE(dynamic, 0);
  EXPECT_EQ(Line(dynamic), u"1");
  EXPECT_EQ(ReadFile(DynamicNumber, Units(folder / "missing").c_str()), 0);
  ASSERT_NE(ReadFile(5, Units(folder / "one").c_str()), 0);
  // Another open under the same number closes the first file.
  ASSERT_NE(ReadFile(5, Units(folder / "two").c_str()), 0);
  EXPECT_EQ(file_testing::OpenDescriptorCount(), before + 2);
  EXPECT_EQ(Line(5), u"2");
  // A failed open under a number in use closes that file too; the number is free.
  EXPECT_EQ(ReadFile(5, Units(folder / "missing").c_str()), 0);
  EXPECT_EQ(file_testing::OpenDescriptorCount(), before + 1);
  EXPECT_EQ(Line(5), u"");
  EXPECT_EQ(Eof(5), 0);
  CloseFile(5);
  ASSERT_NE(ReadFile(6, Units(folder / "one").c_str()), 0);
  ASSERT_NE(ReadFile(70, Units(folder / "two").c_str()), 0);
  CloseFile(DynamicNumber);
  EXPECT_EQ(file_testing::OpenDescriptorCount(), before);
  EXPECT_EQ(Eof(6), 0);
  EXPECT_EQ(Eof(70), 0);
  EXPECT_EQ(Line(dynamic), u"");
  // The end routine closes what is left.
  ASSERT_NE(ReadFile(6, Units(folder / "one").c_str()), 0);
  ASSERT_NE(ReadFile(DynamicNumber, Units(folder / "two").c_str()), 0);
  EndSequentialFiles();
  EXPECT_EQ(file_testing::OpenDescriptorCount(), before);
  InitSequentialFiles();
}

// Permissions bind only a user other than root, so the checks run in a child
// process that gives root up.
TEST_F(SequentialFilesTest, FilesThatCannotBeOpenedAreLeftAlone) {
  ASSERT_TRUE(WriteBytes(folder / "unreadable", "secret\n"));
  ASSERT_TRUE(WriteBytes(folder / "write-only", "kept\n"));
  ASSERT_EQ(chmod((folder / "unreadable").c_str(), 0), 0);
  ASSERT_EQ(chmod((folder / "write-only").c_str(), 0200), 0);
  ASSERT_TRUE(file_testing::OpenToEveryone(folder.path()));
  EXPECT_EXIT(
      {
        const bool refused = file_testing::BecomeUnprivileged() &&
                             ReadFile(0, Units(folder / "unreadable").c_str()) == 0 &&
                             OpenFile(1, Units(folder / "unreadable").c_str()) == 0 &&
                             OpenFile(2, Units(folder / "write-only").c_str()) == 0;
        std::exit(refused ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadBytes(folder / "write-only"), "kept\n");
  EXPECT_EQ(ReadBytes(folder / "unreadable"), "secret\n");
}

TEST_F(SequentialFilesTest, LongPathsAndFifos) {
  const std::string deep = file_testing::MakeDeepFolder(folder.path(), 20, 250);
  ASSERT_GT(deep.size(), 4096u);
  ASSERT_NE(CreateFile(0, Units(deep + "/made").c_str()), 0);
  CloseFile(0);
  const int inside = file_testing::OpenDeepFolder(folder.path(), 20, 250);
  ASSERT_TRUE(file_testing::WriteAt(inside, "made", "deep\n"));
  close(inside);
  ASSERT_NE(ReadFile(0, Units(deep + "/made").c_str()), 0);
  EXPECT_EQ(AllLines(0), (std::vector<std::u16string>{u"deep"}));
  // A FIFO without a writer opens at once and is at its end.
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  ASSERT_NE(ReadFile(1, Units(folder / "fifo").c_str()), 0);
  EXPECT_EQ(Eof(1), 1);
}

}  // namespace
}  // namespace zeb
