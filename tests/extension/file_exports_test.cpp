// The six file and folder exports, called as the host calls them: good and bad
// paths, null and empty arguments, odd file contents and long paths.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <string>

#include "extension/exports.h"
#include "runtime/files/directory_listing.h"
#include "runtime/files/sequential_files.h"
#include "tests/core/unit_text.h"
#include "tests/files/process_test_support.h"

namespace zeb {
namespace {

using namespace file_testing;

// The names of a GetFolderFiles result, which must end in "|" when not empty.
std::multiset<std::string> Names(const std::string& list) {
  std::multiset<std::string> names;
  EXPECT_TRUE(list.empty() || list.back() == '|') << list;
  size_t at = 0;
  for (size_t bar; (bar = list.find('|', at)) != std::string::npos; at = bar + 1) {
    names.insert(list.substr(at, bar - at));
  }
  return names;
}

class FileExportsTest : public StringBufferTest {
 protected:
  void SetUp() override {
    StringBufferTest::SetUp();
    InitSequentialFiles();
    ASSERT_TRUE(folder.ok());
  }
  void TearDown() override {
    EndDirectoryListings();
    EndSequentialFiles();
    StringBufferTest::TearDown();
  }

  std::string Load(const std::string& bytes, const char* separator) {
    EXPECT_TRUE(WriteBytes(folder / "text", bytes));
    return StringLoad((folder / "text").c_str(), separator);
  }

  TestFolder folder;
};

TEST_F(FileExportsTest, ExistenceTellsFilesFromFolders) {
  ASSERT_TRUE(MakeEntries(folder.path(), {"empty", "sub/"}));
  // Non-ASCII names reach the file system as the same bytes.
  const std::string name = folder / "\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80";
  ASSERT_TRUE(WriteBytes(name, "x"));
  for (const std::string& file : {folder / "empty", name}) EXPECT_EQ(FileExists(file.c_str()), 1.0) << file;
  EXPECT_EQ(FileExists((folder / "sub").c_str()), 0.0);
  EXPECT_EQ(FileExists((folder / "missing").c_str()), 0.0);
  EXPECT_EQ(DirectoryExists((folder / "sub").c_str()), 1.0);
  EXPECT_EQ(DirectoryExists((folder / "empty").c_str()), 0.0);
  EXPECT_EQ(FileExists(nullptr), 0.0);
  EXPECT_EQ(FileExists(""), 0.0);
  EXPECT_EQ(DirectoryExists(nullptr), 0.0);
  // A number result leaves the buffer as the call found it.
  EXPECT_EQ(TempBufferPosition(), 0);
}

TEST_F(FileExportsTest, FileCopyCopiesFilesAndWholeTreesAndFileDeleteOnlyFiles) {
  ASSERT_TRUE(MakeEntries(folder.path(), {"a=new text", "b=old and longer text", "tree/", "tree/inner/", "tree/inner/low=2"}));
  EXPECT_EQ(FileCopy((folder / "a").c_str(), (folder / "b").c_str()), 1.0);
  EXPECT_EQ(ReadBytes(folder / "b"), "new text");
  EXPECT_EQ(FileCopy((folder / "tree").c_str(), (folder / "copy").c_str()), 1.0);
  EXPECT_EQ(ReadBytes(folder / "copy/inner/low"), "2");
  // Onto itself, into itself, from nowhere, with missing arguments: 0, and
  // nothing changes.
  EXPECT_EQ(FileCopy((folder / "a").c_str(), (folder / "a").c_str()), 0.0);
  EXPECT_EQ(ReadBytes(folder / "a"), "new text");
  EXPECT_EQ(FileCopy((folder / "tree").c_str(), (folder / "tree/inner/again").c_str()), 0.0);
  EXPECT_EQ(DirectoryExists((folder / "tree/inner/again").c_str()), 0.0);
  EXPECT_EQ(FileCopy((folder / "missing").c_str(), (folder / "c").c_str()), 0.0);
  EXPECT_EQ(FileCopy(nullptr, (folder / "c").c_str()), 0.0);
  EXPECT_EQ(FileCopy((folder / "a").c_str(), nullptr), 0.0);
  EXPECT_EQ(FileExists((folder / "c").c_str()), 0.0);
  EXPECT_EQ(FileDelete((folder / "a").c_str()), 1.0);
  EXPECT_EQ(FileDelete((folder / "a").c_str()), 0.0);
  EXPECT_EQ(FileDelete((folder / "tree").c_str()), 0.0);
  EXPECT_EQ(FileDelete(nullptr), 0.0);
}

TEST_F(FileExportsTest, GetFolderFilesListsMatchingFilesEachFollowedByABar) {
  ASSERT_TRUE(MakeEntries(folder.path(), {"one.txt", "two.dat", "sub.txt/"}));
  ASSERT_EQ(symlink("sub.txt", (folder / "link").c_str()), 0);
  EXPECT_STREQ(GetFolderFiles(folder.path().c_str(), "*.txt"), "one.txt|");
  EXPECT_EQ(Names(GetFolderFiles((folder.path() + "/").c_str(), nullptr)),
            (std::multiset<std::string>{"one.txt", "two.dat", "link"}));
  EXPECT_STREQ(GetFolderFiles(folder.path().c_str(), "*.TXT"), "");
  EXPECT_STREQ(GetFolderFiles((folder / "missing").c_str(), ""), "");
  EXPECT_STREQ(GetFolderFiles((folder / "one.txt").c_str(), ""), "");
  // Names that are not valid UTF-8 decode as far as they go; a name with nothing
  // valid at its start is left out rather than listed as an empty name.
  const std::string accented = "\xC3\xA9t\xC3\xA9.txt";
  ASSERT_TRUE(MakeEntries(folder.path(), {accented, "ab\xFF", "\x80z"}));
  EXPECT_EQ(Names(GetFolderFiles(folder.path().c_str(), "")),
            (std::multiset<std::string>{"one.txt", "two.dat", "link", accented, "ab"}));
  EXPECT_EQ(std::string(GetFolderFiles(folder.path().c_str(), "\xC3\xA9*")), accented + "|");
  // The current directory for a null folder.
  CurrentFolder inFolder(folder.path());
  ASSERT_TRUE(inFolder.changed());
  EXPECT_STREQ(GetFolderFiles(nullptr, "two*"), "two.dat|");
}

TEST_F(FileExportsTest, StringLoadJoinsLinesWithTheSeparator) {
  EXPECT_EQ(Load("first\r\nsecond\r\n", ","), "first,second,");
  EXPECT_EQ(Load("first\nsecond", ""), "firstsecond");
  EXPECT_EQ(Load("first\nsecond", nullptr), "firstsecond");
  EXPECT_EQ(Load("a\n\nb", "\xE2\x80\xA2"), "a\xE2\x80\xA2\xE2\x80\xA2" "b\xE2\x80\xA2");
  EXPECT_EQ(Load("", ","), "");
  // Text outside ASCII comes back as the same bytes; the byte-order mark stays.
  const std::string text = "\xEF\xBB\xBF" "caf\xC3\xA9\n\xF0\x9F\x98\x80";
  EXPECT_EQ(Load(text, "\n"), text + "\n");
  // Invalid UTF-8 ends its line; binary bytes never break the call.
  EXPECT_EQ(Load("ok\xFFtail\nnext", "|"), "ok|next|");
  // Binary lines that each begin with a byte no character starts with decode to
  // nothing: only the separators remain, one per line.
  std::string binary;
  for (int line = 0; line < 300; ++line) {
    binary += '\x80';
    for (int i = 1; i < 50 + line; ++i) {
      const char byte = static_cast<char>(i * 37 + line);
      binary += byte == '\n' || byte == '\r' || byte == 0 ? '\xFE' : byte;
    }
    binary += '\n';
  }
  EXPECT_EQ(Load(binary, "|"), std::string(300, '|'));
  // Lines of 10,000 bytes come back whole.
  const std::string line(10000, 'q');
  EXPECT_EQ(Load(line + "\n" + line, "/"), line + "/" + line + "/");
}

TEST_F(FileExportsTest, StringLoadGivesTheEmptyStringForWhatIsNoTextFile) {
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  EXPECT_STREQ(StringLoad((folder / "missing").c_str(), ","), "");
  EXPECT_STREQ(StringLoad((folder / "sub").c_str(), ","), "");
  EXPECT_STREQ(StringLoad(nullptr, ","), "");
  EXPECT_STREQ(StringLoad("", nullptr), "");
  // A device without an end, and a FIFO without a writer, neither hang.
  EXPECT_STREQ(StringLoad("/dev/zero", ","), "");
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  EXPECT_STREQ(StringLoad((folder / "fifo").c_str(), ","), "");
}

TEST_F(FileExportsTest, LongPathsThroughTheExports) {
  const std::string deep = DeepPath(folder.path(), 30, 150);
  ASSERT_GT(deep.size(), 4096u);
  close(OpenDeepFolder(folder.path(), 30, 150, true));
  ASSERT_TRUE(WriteBytes(folder / "small", "line one\nline two\n"));
  EXPECT_EQ(DirectoryExists(deep.c_str()), 1.0);
  EXPECT_EQ(FileCopy((folder / "small").c_str(), (deep + "/copy").c_str()), 1.0);
  EXPECT_EQ(FileExists((deep + "/copy").c_str()), 1.0);
  EXPECT_STREQ(StringLoad((deep + "/copy").c_str(), ";"), "line one;line two;");
  EXPECT_STREQ(GetFolderFiles(deep.c_str(), ""), "copy|");
  EXPECT_EQ(FileDelete((deep + "/copy").c_str()), 1.0);
  EXPECT_EQ(FileExists((deep + "/copy").c_str()), 0.0);
  const std::string overlong = folder / std::string(70000, 'z');
  EXPECT_EQ(FileExists(overlong.c_str()), 0.0);
  EXPECT_EQ(FileCopy((folder / "small").c_str(), overlong.c_str()), 0.0);
  EXPECT_STREQ(StringLoad(overlong.c_str(), ","), "");
  EXPECT_STREQ(GetFolderFiles(overlong.c_str(), ""), "");
}

}  // namespace
}  // namespace zeb
