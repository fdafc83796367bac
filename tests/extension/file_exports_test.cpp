// The six file and folder exports, called as the host calls them: good and bad
// paths, null and empty arguments, odd file contents and long paths.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
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
  const struct {
    std::string name;
    double file, folder;
  } kCases[] = {{"empty", 1, 0},   {"link", 1, 0},     {"sub", 0, 1},         {"sub/", 0, 1},
                {"missing", 0, 0}, {"dangling", 0, 0}, {"five/inside", 0, 0}};
  for (const auto& c : kCases) {
    EXPECT_EQ(FileExists((folder / c.name).c_str()), c.file) << c.name;
    EXPECT_EQ(DirectoryExists((folder / c.name).c_str()), c.folder) << c.name;
  }
  EXPECT_EQ(FileExists(nullptr) + FileExists("") + DirectoryExists(nullptr) + FileDelete(nullptr), 0.0);
  // A link goes and its target stays; a file goes once; folders stay.
  EXPECT_EQ(FileDelete((folder / "link").c_str()), 1.0);
  EXPECT_EQ(FileExists((folder / "link").c_str()), 0.0);
  EXPECT_EQ(FileDelete((folder / "five").c_str()), 1.0);
  EXPECT_EQ(FileDelete((folder / "five").c_str()), 0.0);
  EXPECT_EQ(FileDelete((folder / "sub").c_str()), 0.0);
  EXPECT_EQ(DirectoryExists((folder / "sub").c_str()), 1.0);
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

// A path is passed on as exactly the bytes the host gave: a name of UTF-8 and of
// pieces that are not (Latin-1, a lone continuation byte, an encoded surrogate,
// an overlong NUL, FF) is listed as its bytes and names that same file in every
// file export, never the file named by the bytes before the first bad one.
TEST_F(FileExportsTest, NamesThatAreNotUTF8AreListedAsTheirBytesAndNameTheirFiles) {
  const std::string odd = "save\xFF caf\xE9 \x80 \xED\xA0\x80 nul\xC0\x80 \xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80.bak";
  const std::string path = folder / odd;
  ASSERT_TRUE(MakeEntries(folder.path(), {"save=keep"}));
  ASSERT_TRUE(WriteBytes(path, "odd"));
  const std::string all = GetFolderFiles(folder.path().c_str(), "*");
  EXPECT_TRUE(all == "save|" + odd + "|" || all == odd + "|save|") << all;
  EXPECT_EQ(std::string(GetFolderFiles(folder.path().c_str(), odd.c_str())), odd + "|");
  EXPECT_EQ(FileExists(path.c_str()), 1.0);
  EXPECT_STREQ(StringLoad(path.c_str(), ""), "odd");
  EXPECT_EQ(FileCopy(path.c_str(), (path + ".copy").c_str()), 1.0);
  EXPECT_EQ(ReadBytes(path + ".copy"), "odd");
  EXPECT_EQ(FileDelete(path.c_str()), 1.0);
  EXPECT_EQ(FileExists(path.c_str()), 0.0);
  EXPECT_EQ(ReadBytes(folder / "save"), "keep");
}

TEST_F(FileExportsTest, StringLoadJoinsLinesWithTheSeparatorAndGivesNothingForWhatIsNoText) {
  EXPECT_EQ(Load("first\r\nsecond\r\n", ","), "first,second,");
  EXPECT_EQ(Load("first\nsecond", nullptr), "firstsecond");
  // An ill-formed piece of UTF-8 comes back as U+FFFD (the line rules and the
  // byte-order mark are the files suite's).
  EXPECT_EQ(Load("ok\xFFtail", "\xE2\x80\xA2"), "ok\uFFFDtail\xE2\x80\xA2");
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  for (const std::string& path : {folder / "missing", folder / "sub"}) {
    EXPECT_STREQ(StringLoad(path.c_str(), ","), "") << path;
  }
  EXPECT_STREQ(StringLoad(nullptr, nullptr), "");
}

// A pipe is read to its end while a second thread fills it, in pieces with pauses
// between, with more than it holds at once; a FIFO without a writer answers at
// once. The alarm ends a process that waits for a writer or reads without end.
TEST_F(FileExportsTest, StringLoadReadsAPipeToItsEndAndNeverWaitsForAWriter) {
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  alarm(10);
  EXPECT_STREQ(StringLoad((folder / "fifo").c_str(), ","), "");
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::string lines;
  for (int i = 0; i < 20000; ++i) lines += "line " + std::to_string(i) + "\n";
  std::thread writer([&] {
    for (size_t at = 0; at < lines.size(); at += 100000) {
      const size_t piece = std::min<size_t>(100000, lines.size() - at);
      EXPECT_EQ(write(ends[1], lines.data() + at, piece), static_cast<ssize_t>(piece));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    close(ends[1]);
  });
  const std::string joined = StringLoad(("/dev/fd/" + std::to_string(ends[0])).c_str(), "|");
  writer.join();
  alarm(0);
  close(ends[0]);
  EXPECT_EQ(joined.size(), lines.size());
  EXPECT_TRUE(joined.ends_with("line 19998|line 19999|"));
}

// A stream that does not end within 64 MiB, of text read (/dev/zero: empty lines)
// or of result (/dev/urandom: lines of ill-formed UTF-8), is given up with "".
TEST_F(FileExportsTest, StringLoadGivesUpAnEndlessStream) {
  for (const char* endless : {"/dev/zero", "/dev/urandom"}) EXPECT_STREQ(StringLoad(endless, ","), "") << endless;
}

TEST_F(FileExportsTest, LongPathsThroughTheExports) {
  const std::string deep = DeepPath(folder.path(), 30, 150);
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
