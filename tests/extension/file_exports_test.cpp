// The six file and folder exports, called as the host calls them: good and bad
// paths, null and empty arguments, odd file contents and long paths.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

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

TEST_F(FileExportsTest, ExistenceAndDeleteTellFilesFromEverythingElse) {
  ASSERT_TRUE(MakeEntries(folder.path(), {"empty", "five=12345", "sub/"}));
  ASSERT_EQ(symlink("five", (folder / "link").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (folder / "dangling").c_str()), 0);
  // Non-ASCII names reach the file system as the same bytes.
  const std::string accented = "\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80";
  ASSERT_TRUE(WriteBytes(folder / accented, "x"));
  const struct {
    std::string name;
    double file, folder;
  } kCases[] = {{"empty", 1, 0},   {"five", 1, 0},     {"link", 1, 0},     {accented, 1, 0},       {"sub", 0, 1},
                {"sub/", 0, 1},    {"missing", 0, 0},  {"dangling", 0, 0}, {"five/inside", 0, 0}};
  for (const auto& c : kCases) {
    EXPECT_EQ(FileExists((folder / c.name).c_str()), c.file) << c.name;
    EXPECT_EQ(DirectoryExists((folder / c.name).c_str()), c.folder) << c.name;
  }
  EXPECT_EQ(FileExists(nullptr), 0.0);
  EXPECT_EQ(FileExists(""), 0.0);
  EXPECT_EQ(DirectoryExists(nullptr), 0.0);
  // A number result leaves the buffer as the call found it.
  EXPECT_EQ(TempBufferPosition(), 0);
  // A link goes and its target stays; a file goes once; folders stay.
  EXPECT_EQ(FileDelete((folder / "link").c_str()), 1.0);
  EXPECT_EQ(FileExists((folder / "link").c_str()), 0.0);
  EXPECT_EQ(FileDelete((folder / "five").c_str()), 1.0);
  EXPECT_EQ(FileDelete((folder / "five").c_str()), 0.0);
  EXPECT_EQ(FileDelete((folder / "sub").c_str()), 0.0);
  EXPECT_EQ(DirectoryExists((folder / "sub").c_str()), 1.0);
  EXPECT_EQ(FileDelete(nullptr), 0.0);
}

// Into the folder and, when /dev/shm is another file system, through the copy's
// own buffer there; the target holds more than the source, so a missing
// truncation shows.
TEST_F(FileExportsTest, FileCopyCopiesEveryByteAndOverwrites) {
  std::vector<std::string> targets = {folder / "copy"};
  struct stat shared, here;
  if (stat("/dev/shm", &shared) == 0 && stat(folder.path().c_str(), &here) == 0 && shared.st_dev != here.st_dev) {
    targets.push_back("/dev/shm/zeb-files-copy-" + std::to_string(getpid()));
  }
  for (const std::string& target : targets) {
    for (const size_t size : {size_t{0}, size_t{1}, size_t{3 * 512000 + 17}}) {
      SCOPED_TRACE(target + ", " + std::to_string(size) + " bytes");
      const std::string contents = Pattern(size);
      ASSERT_TRUE(WriteBytes(folder / "source", contents));
      ASSERT_TRUE(WriteBytes(target, std::string(size + 1000, 'x')));
      EXPECT_EQ(FileCopy((folder / "source").c_str(), target.c_str()), 1.0);
      EXPECT_EQ(ReadBytes(target), contents);
    }
  }
  if (targets.size() > 1) unlink(targets.back().c_str());
}

// From nowhere, onto what cannot be written, onto itself under any name, without
// the permissions (checked by a child that gives root up): 0, and nothing made
// or changed.
TEST_F(FileExportsTest, FileCopyFailsWithoutCreatingOrChangingAnything) {
  const std::string contents = Pattern(100000);
  ASSERT_TRUE(WriteBytes(folder / "source", contents));
  ASSERT_TRUE(MakeEntries(folder.path(), {"sub/"}));
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  ASSERT_EQ(link((folder / "source").c_str(), (folder / "hard").c_str()), 0);
  ASSERT_EQ(symlink((folder / "source").c_str(), (folder / "soft").c_str()), 0);
  // Writing into a FIFO without a reader fails.
  for (const auto& [from, to] : {std::pair{"missing", "a"}, {"source", "missing/c"}, {"source", "sub"},
                                 {"source", "fifo"}, {"source", "source"}, {"source", "sub/../source"},
                                 {"source", "hard"}, {"source", "soft"}, {"hard", "source"}, {"soft", "source"}}) {
    EXPECT_EQ(FileCopy((folder / from).c_str(), (folder / to).c_str()), 0.0) << from << " -> " << to;
  }
  EXPECT_EQ(FileCopy(nullptr, (folder / "a").c_str()), 0.0);
  EXPECT_EQ(FileCopy((folder / "source").c_str(), nullptr), 0.0);
  EXPECT_EQ(FileExists((folder / "a").c_str()), 0.0);
  EXPECT_EQ(ReadBytes(folder / "source"), contents);
  // A FIFO has no size: its copy is empty, without waiting for a writer.
  EXPECT_EQ(FileCopy((folder / "fifo").c_str(), (folder / "copy").c_str()), 1.0);
  EXPECT_EQ(ReadBytes(folder / "copy"), "");

  ASSERT_TRUE(WriteBytes(folder / "locked", "secret", 0));
  ASSERT_TRUE(WriteBytes(folder / "readable", "open", 0444));
  ASSERT_TRUE(WriteBytes(folder / "unwritable", "kept", 0444));
  const auto copy = [&](const char* from, const char* to) {
    return FileCopy((folder / from).c_str(), (folder / to).c_str());
  };
  EXPECT_EXIT(std::exit(BecomeUnprivileged(folder.path()) && copy("locked", "copied") == 0.0 &&
                                FileExists((folder / "copied").c_str()) == 0.0 && copy("readable", "unwritable") == 0.0
                            ? 0
                            : 1),
              ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadBytes(folder / "unwritable"), "kept");
}

// A folder is copied with all it holds: links as files holding their target's
// data, new folders private to the user; copied again, it merges and overwrites.
// A file that cannot be copied makes the result 0; the others are copied. A
// folder never goes into itself, also through a link or a path that comes back.
TEST_F(FileExportsTest, FileCopyCopiesWholeTreesButNeverIntoThemselves) {
  ASSERT_TRUE(MakeEntries(folder.path(), {"tree/", "tree/inner/", "tree/inner/deeper/", "tree/a=a", "tree/inner/low=2",
                                          "tree/inner/deeper/d=dddd", "file=x"}));
  ASSERT_EQ(symlink("a", (folder / "tree/link").c_str()), 0);
  EXPECT_EQ(FileCopy((folder / "tree").c_str(), (folder / "copy/").c_str()), 1.0);
  EXPECT_EQ(ReadBytes(folder / "copy/inner/deeper/d"), "dddd");
  struct stat status;
  ASSERT_EQ(lstat((folder / "copy/link").c_str(), &status), 0);
  EXPECT_TRUE(S_ISREG(status.st_mode));
  EXPECT_EQ(ReadBytes(folder / "copy/link"), "a");
  ASSERT_EQ(stat((folder / "copy/inner/deeper").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  ASSERT_TRUE(WriteBytes(folder / "tree/inner/low", "new"));
  ASSERT_TRUE(WriteBytes(folder / "copy/only", "kept"));
  EXPECT_EQ(FileCopy((folder / "tree").c_str(), (folder / "copy").c_str()), 1.0);
  EXPECT_EQ(ReadBytes(folder / "copy/inner/low"), "new");
  EXPECT_EQ(ReadBytes(folder / "copy/only"), "kept");
  ASSERT_EQ(symlink("nowhere", (folder / "tree/inner/dangling").c_str()), 0);
  EXPECT_EQ(FileCopy((folder / "tree/inner").c_str(), (folder / "up").c_str()), 0.0);
  EXPECT_EQ(ReadBytes(folder / "up/deeper/d"), "dddd");

  ASSERT_EQ(symlink("tree", (folder / "alias").c_str()), 0);
  for (const std::string& target : {folder / "file", folder / "missing/never", folder / "tree", folder / "tree/",
                                    folder / "tree/inner/new/", folder / "tree/../tree/new", folder / "alias/new",
                                    folder / "alias"}) {
    EXPECT_EQ(FileCopy((folder / "tree").c_str(), target.c_str()), 0.0) << target;
    EXPECT_EQ(FileCopy((folder / "alias").c_str(), target.c_str()), 0.0) << target;
  }
  EXPECT_EQ(FileExists((folder / "tree/new").c_str()) + DirectoryExists((folder / "tree/new").c_str()), 0.0);
  EXPECT_EQ(DirectoryExists((folder / "tree/inner/new").c_str()), 0.0);
}

TEST_F(FileExportsTest, GetFolderFilesListsMatchingFilesEachFollowedByABar) {
  ASSERT_TRUE(MakeEntries(folder.path(), {"one.txt", "two.dat", "sub.txt/"}));
  ASSERT_EQ(symlink("sub.txt", (folder / "link").c_str()), 0);
  EXPECT_STREQ(GetFolderFiles(folder.path().c_str(), "*.txt"), "one.txt|");
  EXPECT_EQ(Names(GetFolderFiles((folder.path() + "/").c_str(), nullptr)),
            (std::multiset<std::string>{"one.txt", "two.dat", "link"}));
  EXPECT_STREQ(GetFolderFiles((folder / "missing").c_str(), ""), "");
  EXPECT_STREQ(GetFolderFiles((folder / "one.txt").c_str(), ""), "");
  const std::string accented = "\xC3\xA9t\xC3\xA9.txt";
  ASSERT_TRUE(MakeEntries(folder.path(), {accented}));
  EXPECT_EQ(std::string(GetFolderFiles(folder.path().c_str(), "\xC3\xA9*")), accented + "|");
}

// A path is passed on as exactly the bytes the host gave: names that are not
// UTF-8 (Latin-1, lone continuation bytes, an encoded surrogate, an overlong NUL,
// FF) are listed as their bytes, among the others, and each listed name names
// that same file in every file export.
TEST_F(FileExportsTest, NamesThatAreNotUTF8AreListedAsTheirBytesAndNameTheirFiles) {
  const std::string kOdd[] = {"caf\xE9.txt", "\x80\xBF", "\xED\xA0\x80", "nul\xC0\x80", "save\xFF.bak"};
  ASSERT_TRUE(MakeEntries(folder.path(), {"a.txt=a", "save=keep", "z.txt=z"}));
  std::multiset<std::string> expected = {"a.txt", "save", "z.txt"};
  for (const std::string& name : kOdd) {
    ASSERT_TRUE(WriteBytes(folder / name, "file " + std::to_string(expected.size())));
    expected.insert(name);
  }
  EXPECT_EQ(Names(GetFolderFiles(folder.path().c_str(), "*")), expected);
  for (const std::string& name : kOdd) {
    SCOPED_TRACE(::testing::PrintToString(name));
    const std::string path = folder / name;
    const std::string text = ReadBytes(path).value_or("");
    EXPECT_EQ(FileExists(path.c_str()), 1.0);
    EXPECT_EQ(StringLoad(path.c_str(), ""), text);
    EXPECT_EQ(std::string(GetFolderFiles(folder.path().c_str(), name.c_str())), name + "|");
    EXPECT_EQ(FileCopy(path.c_str(), (path + ".copy").c_str()), 1.0);
    EXPECT_EQ(ReadBytes(path + ".copy"), text);
    EXPECT_EQ(FileDelete((path + ".copy").c_str()), 1.0);
    EXPECT_EQ(FileDelete(path.c_str()), 1.0);
    EXPECT_EQ(FileExists(path.c_str()), 0.0);
  }
  // No longer the file named by the bytes before the first bad one.
  EXPECT_EQ(ReadBytes(folder / "save"), "keep");
  EXPECT_EQ(FileExists((folder / "save\xFF junk").c_str()), 0.0);
}

TEST_F(FileExportsTest, StringLoadJoinsLinesWithTheSeparatorAndGivesNothingForWhatIsNoText) {
  EXPECT_EQ(Load("first\r\nsecond\r\n", ","), "first,second,");
  EXPECT_EQ(Load("first\nsecond", ""), "firstsecond");
  EXPECT_EQ(Load("first\nsecond", nullptr), "firstsecond");
  EXPECT_EQ(Load("a\n\nb", "\xE2\x80\xA2"), "a\xE2\x80\xA2\xE2\x80\xA2" "b\xE2\x80\xA2");
  EXPECT_EQ(Load("", ","), "");
  // Text outside ASCII comes back as the same bytes, U+FFFD for an ill-formed
  // piece too (the line rules and the byte-order mark are the files suite's).
  const std::string text = "caf\xC3\xA9\n\xF0\x9F\x98\x80";
  EXPECT_EQ(Load(text, "\n"), text + "\n");
  EXPECT_EQ(Load("ok\xFFtail", "|"), "ok\uFFFDtail|");
  // What is no text file gives the empty string.
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  for (const std::string& path : {folder / "missing", folder / "sub", std::string()}) {
    EXPECT_STREQ(StringLoad(path.c_str(), ","), "") << path;
  }
  EXPECT_STREQ(StringLoad(nullptr, nullptr), "");
}

// Pipes and FIFOs are read to their end like files; a FIFO without a writer
// answers at once.
TEST_F(FileExportsTest, StringLoadReadsStreamsToTheirEnd) {
  // A pipe that a second thread fills with more than the pipe holds at once.
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::string lines;
  for (int i = 0; i < 20000; ++i) lines += "line " + std::to_string(i) + (i % 2 ? "\r\n" : "\n");
  std::thread writer([&] {
    EXPECT_EQ(write(ends[1], lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
    close(ends[1]);
  });
  const std::string joined = StringLoad(("/dev/fd/" + std::to_string(ends[0])).c_str(), "|");
  writer.join();
  close(ends[0]);
  EXPECT_EQ(std::count(joined.begin(), joined.end(), '|'), 20000);
  EXPECT_EQ(joined.substr(joined.size() - 22), "line 19998|line 19999|");

  // A FIFO whose writer wrote and went while it was open for reading elsewhere.
  const std::string fifo = folder / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_STREQ(StringLoad(fifo.c_str(), ","), "");
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  const int fifoWriter = open(fifo.c_str(), O_WRONLY);
  ASSERT_EQ(write(fifoWriter, "f1\nf\xFF" "2", 6), 6);
  close(fifoWriter);
  EXPECT_STREQ(StringLoad(fifo.c_str(), ","), "f1,f\uFFFD" "2,");
  close(reader);
}

// A stream that does not end within 64 MiB, of text read (/dev/zero: empty lines)
// or of result (/dev/urandom: lines of ill-formed UTF-8), is given up with "".
TEST_F(FileExportsTest, StringLoadGivesUpAnEndlessStream) {
  for (const char* endless : {"/dev/zero", "/dev/urandom"}) EXPECT_STREQ(StringLoad(endless, ","), "") << endless;
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
  // The whole chain copied: its deepest file lies beyond PATH_MAX in the copy too;
  // copying the chain into its own depths is seen through the long path.
  ASSERT_TRUE(WriteBytes(folder / "small", "deep data"));
  EXPECT_EQ(FileCopy((folder / "small").c_str(), (deep + "/file").c_str()), 1.0);
  const std::string top = folder / std::string(150, 'd');
  EXPECT_EQ(FileCopy(top.c_str(), (folder / "chain").c_str()), 1.0);
  const int copied = OpenDeepFolder(folder / "chain", 29, 150);
  ASSERT_GE(copied, 0);
  EXPECT_EQ(ReadAt(copied, "file"), "deep data");
  close(copied);
  EXPECT_EQ(FileCopy(top.c_str(), (deep + "/x").c_str()), 0.0);
  const std::string overlong = folder / std::string(70000, 'z');
  EXPECT_EQ(FileExists(overlong.c_str()), 0.0);
  EXPECT_EQ(FileCopy((folder / "small").c_str(), overlong.c_str()), 0.0);
  EXPECT_STREQ(StringLoad(overlong.c_str(), ","), "");
  EXPECT_STREQ(GetFolderFiles(overlong.c_str(), ""), "");
}

}  // namespace
}  // namespace zeb
