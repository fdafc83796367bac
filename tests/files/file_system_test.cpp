// Whole files and folders: sizes and kinds, deleting, copying files (onto
// themselves, onto a full device, across file systems) and copying folders.
#include "runtime/files/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/files/file_test_folder.h"

namespace zeb {
namespace {

using file_testing::MakeDeepFolder;
using file_testing::OpenDeepFolder;
using file_testing::ReadAt;
using file_testing::ReadBytes;
using file_testing::TestFolder;
using file_testing::Units;
using file_testing::WriteAt;
using file_testing::WriteBytes;

int64_t Size(const std::string& path) { return FileSize(Units(path).c_str()); }
int Copy(const std::string& from, const std::string& to) { return CopyFile(Units(from).c_str(), Units(to).c_str()); }
int CopyTree(const std::string& from, const std::string& to, const char16_t* pattern, int flags) {
  return CopyDirectory(Units(from).c_str(), Units(to).c_str(), pattern, flags);
}
bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// Bytes that differ from block to block, so a block copied twice or left out shows.
std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919) >> 8);
  return bytes;
}

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.ok()); }
  TestFolder folder;
};

TEST_F(FileSystemTest, FileSizeTellsSizesKindsAndMissingPaths) {
  ASSERT_TRUE(WriteBytes(folder / "empty", ""));
  ASSERT_TRUE(WriteBytes(folder / "five", "12345"));
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  ASSERT_EQ(symlink("five", (folder / "link").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (folder / "dangling").c_str()), 0);
  EXPECT_EQ(Size(folder / "empty"), 0);
  EXPECT_EQ(Size(folder / "five"), 5);
  EXPECT_EQ(Size(folder / "link"), 5);
  EXPECT_EQ(Size(folder / "sub"), -2);
  EXPECT_EQ(Size(folder / "sub/"), -2);
  EXPECT_EQ(Size(folder / "missing"), -1);
  EXPECT_EQ(Size(folder / "dangling"), -1);
  EXPECT_EQ(Size(folder / "five/inside"), -1);
  EXPECT_EQ(Size(""), -1);
  EXPECT_EQ(FileSize(nullptr), -1);
}

TEST_F(FileSystemTest, DeleteFileRemovesFilesOnly) {
  ASSERT_TRUE(WriteBytes(folder / "target", "data"));
  ASSERT_EQ(symlink("target", (folder / "link").c_str()), 0);
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  // A link goes, its target stays.
  EXPECT_EQ(DeleteFile(Units(folder / "link").c_str(), 2), 1);
  EXPECT_FALSE(Exists(folder / "link"));
  EXPECT_TRUE(Exists(folder / "target"));
  EXPECT_EQ(DeleteFile(Units(folder / "target").c_str()), 1);
  EXPECT_FALSE(Exists(folder / "target"));
  EXPECT_EQ(DeleteFile(Units(folder / "target").c_str()), 0);
  EXPECT_EQ(DeleteFile(Units(folder / "sub").c_str()), 0);
  EXPECT_TRUE(Exists(folder / "sub"));
  EXPECT_EQ(DeleteFile(nullptr), 0);
}

TEST_F(FileSystemTest, CopyFileCopiesEveryByteAndOverwrites) {
  for (const size_t size : {size_t{0}, size_t{1}, size_t{512000}, size_t{2 * 512000 + 17}}) {
    SCOPED_TRACE(size);
    const std::string contents = Pattern(size);
    ASSERT_TRUE(WriteBytes(folder / "source", contents));
    // The destination holds more than the source, so a missing truncation shows.
    ASSERT_TRUE(WriteBytes(folder / "copy", std::string(size + 1000, 'x')));
    EXPECT_EQ(Copy(folder / "source", folder / "copy"), 1);
    EXPECT_EQ(ReadBytes(folder / "copy"), contents);
    EXPECT_EQ(Copy(folder / "source", folder / "fresh"), 1);
    EXPECT_EQ(ReadBytes(folder / "fresh"), contents);
    ASSERT_EQ(unlink((folder / "fresh").c_str()), 0);
  }
}

TEST_F(FileSystemTest, CopyFileFailsWithoutCreatingForBadSources) {
  ASSERT_TRUE(WriteBytes(folder / "source", "data"));
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  EXPECT_EQ(Copy(folder / "missing", folder / "a"), 0);
  EXPECT_EQ(Copy(folder / "sub", folder / "b"), 0);
  EXPECT_FALSE(Exists(folder / "a"));
  EXPECT_FALSE(Exists(folder / "b"));
  EXPECT_EQ(Copy(folder / "source", folder / "missing/c"), 0);
  EXPECT_EQ(Copy(folder / "source", folder / "sub"), 0);
  EXPECT_EQ(CopyFile(nullptr, Units(folder / "d").c_str()), 0);
  EXPECT_EQ(CopyFile(Units(folder / "source").c_str(), nullptr), 0);
  EXPECT_EQ(ReadBytes(folder / "source"), "data");
}

TEST_F(FileSystemTest, CopyFileOntoItselfUnderAnyNameLeavesItUntouched) {
  const std::string contents = Pattern(70000);
  ASSERT_TRUE(WriteBytes(folder / "file", contents));
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  ASSERT_EQ(link((folder / "file").c_str(), (folder / "hard").c_str()), 0);
  ASSERT_EQ(symlink((folder / "file").c_str(), (folder / "soft").c_str()), 0);
  for (const std::string& other :
       {folder / "file", folder / "sub/../file", folder / "./file", folder / "hard", folder / "soft"}) {
    SCOPED_TRACE(other);
    EXPECT_EQ(Copy(folder / "file", other), 0);
    EXPECT_EQ(Copy(other, folder / "file"), 0);
    EXPECT_EQ(ReadBytes(folder / "file"), contents);
  }
}

TEST_F(FileSystemTest, CopyFileReportsAFullDevice) {
  if (!Exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ASSERT_TRUE(WriteBytes(folder / "source", Pattern(100000)));
  EXPECT_EQ(Copy(folder / "source", "/dev/full"), 0);
  // An empty source writes nothing, so nothing can fail.
  ASSERT_TRUE(WriteBytes(folder / "empty", ""));
  EXPECT_EQ(Copy(folder / "empty", "/dev/full"), 1);
}

TEST_F(FileSystemTest, CopyFileAcrossFileSystemsMovesEveryBlock) {
  struct stat shared;
  struct stat here;
  if (stat("/dev/shm", &shared) != 0 || stat(folder.path().c_str(), &here) != 0 || shared.st_dev == here.st_dev) {
    GTEST_SKIP() << "no second file system at /dev/shm";
  }
  TestFolder other;
  char name[] = "/dev/shm/zeb-files-XXXXXX";
  ASSERT_NE(mkdtemp(name), nullptr);
  const std::string away = std::string(name) + "/copy";
  const std::string contents = Pattern(3 * 512000 + 5);
  ASSERT_TRUE(WriteBytes(folder / "source", contents));
  EXPECT_EQ(Copy(folder / "source", away), 1);
  EXPECT_EQ(Copy(away, folder / "back"), 1);
  EXPECT_EQ(ReadBytes(folder / "back"), contents);
  file_testing::RemoveTree(AT_FDCWD, name);
}

TEST_F(FileSystemTest, CopyFileDoesNotWaitOnFifos) {
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  ASSERT_TRUE(WriteBytes(folder / "source", "data"));
  // A FIFO has no size: its copy is empty. Writing into one without a reader fails.
  EXPECT_EQ(Copy(folder / "fifo", folder / "copy"), 1);
  EXPECT_EQ(ReadBytes(folder / "copy"), "");
  EXPECT_EQ(Copy(folder / "source", folder / "fifo"), 0);
}

// Permissions bind only a user other than root, so the checks run in a child
// process that gives root up.
TEST_F(FileSystemTest, CopyFileNeedsPermissions) {
  ASSERT_TRUE(WriteBytes(folder / "locked", "secret"));
  ASSERT_TRUE(WriteBytes(folder / "readable", "open"));
  ASSERT_TRUE(WriteBytes(folder / "unwritable", "kept"));
  ASSERT_EQ(chmod((folder / "locked").c_str(), 0), 0);
  ASSERT_EQ(chmod((folder / "readable").c_str(), 0444), 0);
  ASSERT_EQ(chmod((folder / "unwritable").c_str(), 0444), 0);
  ASSERT_TRUE(file_testing::OpenToEveryone(folder.path()));
  EXPECT_EXIT(
      {
        const bool refused = file_testing::BecomeUnprivileged() && Copy(folder / "locked", folder / "copy") == 0 &&
                             !Exists(folder / "copy") && Copy(folder / "readable", folder / "unwritable") == 0;
        std::exit(refused ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadBytes(folder / "unwritable"), "kept");
}

class CopyDirectoryTest : public FileSystemTest {
 protected:
  // source: a.txt, b.dat, sub/c.txt, sub/deeper/d.txt, and a link to a.txt.
  void SetUp() override {
    FileSystemTest::SetUp();
    ASSERT_EQ(mkdir((folder / "source").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((folder / "source/sub").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((folder / "source/sub/deeper").c_str(), 0755), 0);
    ASSERT_TRUE(WriteBytes(folder / "source/a.txt", "a"));
    ASSERT_TRUE(WriteBytes(folder / "source/b.dat", "bb"));
    ASSERT_TRUE(WriteBytes(folder / "source/sub/c.txt", "ccc"));
    ASSERT_TRUE(WriteBytes(folder / "source/sub/deeper/d.txt", "dddd"));
    ASSERT_EQ(symlink("a.txt", (folder / "source/link").c_str()), 0);
  }
};

TEST_F(CopyDirectoryTest, TopLevelOnlyWithoutTheRecursiveFlag) {
  EXPECT_EQ(CopyTree(folder / "source", folder / "copy", u"", 0), 1);
  EXPECT_EQ(ReadBytes(folder / "copy/a.txt"), "a");
  EXPECT_EQ(ReadBytes(folder / "copy/b.dat"), "bb");
  // The link is copied as a file holding its target's data.
  EXPECT_EQ(ReadBytes(folder / "copy/link"), "a");
  struct stat status;
  ASSERT_EQ(lstat((folder / "copy/link").c_str(), &status), 0);
  EXPECT_TRUE(S_ISREG(status.st_mode));
  EXPECT_FALSE(Exists(folder / "copy/sub"));
  ASSERT_EQ(stat((folder / "copy").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
}

TEST_F(CopyDirectoryTest, RecursiveCopyRecreatesTheTreeWithMatchingFiles) {
  EXPECT_EQ(CopyTree(folder / "source", folder / "copy/", u"*.txt", CopyDirectoryRecursive), 1);
  EXPECT_EQ(ReadBytes(folder / "copy/a.txt"), "a");
  EXPECT_FALSE(Exists(folder / "copy/b.dat"));
  EXPECT_FALSE(Exists(folder / "copy/link"));
  EXPECT_EQ(ReadBytes(folder / "copy/sub/c.txt"), "ccc");
  EXPECT_EQ(ReadBytes(folder / "copy/sub/deeper/d.txt"), "dddd");
  struct stat status;
  ASSERT_EQ(stat((folder / "copy/sub/deeper").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  // Copying again merges into the existing tree and overwrites its files.
  ASSERT_TRUE(WriteBytes(folder / "source/sub/c.txt", "new"));
  EXPECT_EQ(CopyTree(folder / "source", folder / "copy", nullptr, CopyDirectoryRecursive), 1);
  EXPECT_EQ(ReadBytes(folder / "copy/sub/c.txt"), "new");
  EXPECT_EQ(ReadBytes(folder / "copy/b.dat"), "bb");
}

TEST_F(CopyDirectoryTest, RefusesBadArgumentsAndReportsFailedFiles) {
  ASSERT_TRUE(WriteBytes(folder / "file", "x"));
  EXPECT_EQ(CopyTree(folder / "source", folder / "file", u"", 1), 0);
  EXPECT_EQ(CopyTree(folder / "missing", folder / "never", u"", 1), 0);
  EXPECT_EQ(CopyTree(folder / "source", folder / "missing/never", u"", 1), 0);
  EXPECT_EQ(CopyTree("", folder / "never", u"", 1), 0);
  EXPECT_EQ(CopyDirectory(Units(folder / "source").c_str(), nullptr, nullptr, 1), 0);
  EXPECT_EQ(CopyDirectory(nullptr, Units(folder / "never").c_str(), nullptr, 1), 0);
  EXPECT_FALSE(Exists(folder / "never"));
  EXPECT_EQ(ReadBytes(folder / "file"), "x");
  // A file that cannot be copied makes the result 0; the others are copied.
  ASSERT_EQ(symlink("nowhere", (folder / "source/dangling").c_str()), 0);
  EXPECT_EQ(CopyTree(folder / "source", folder / "partial", u"", 1), 0);
  EXPECT_EQ(ReadBytes(folder / "partial/sub/deeper/d.txt"), "dddd");
}

TEST_F(CopyDirectoryTest, RefusesToCopyAFolderIntoItself) {
  ASSERT_EQ(symlink("source", (folder / "alias").c_str()), 0);
  for (const std::string& target :
       {folder / "source", folder / "source/", folder / "source/new", folder / "source/sub/new/",
        folder / "source/sub/deeper", folder / "source/../source/new", folder / "alias/new", folder / "alias"}) {
    SCOPED_TRACE(target);
    EXPECT_EQ(CopyTree(folder / "source", target, u"", 1), 0);
    EXPECT_EQ(CopyTree(folder / "alias", target, u"", 1), 0);
  }
  EXPECT_FALSE(Exists(folder / "source/new"));
  EXPECT_FALSE(Exists(folder / "source/sub/new"));
  EXPECT_FALSE(Exists(folder / "source/sub/deeper/a.txt"));
  // A subfolder copied up into its parent's neighbour is fine.
  EXPECT_EQ(CopyTree(folder / "source/sub", folder / "up", u"", 1), 1);
  EXPECT_EQ(ReadBytes(folder / "up/deeper/d.txt"), "dddd");
}

// Paths longer than PATH_MAX: 24 levels of 200-byte names make about 4,850 bytes.
TEST_F(FileSystemTest, PathsLongerThanTheKernelTakesWork) {
  constexpr int kLevels = 24;
  constexpr size_t kNameLength = 200;
  const std::string deep = MakeDeepFolder(folder.path(), kLevels, kNameLength);
  ASSERT_GT(deep.size(), 4096u);
  const int inside = OpenDeepFolder(folder.path(), kLevels, kNameLength);
  ASSERT_GE(inside, 0);
  ASSERT_TRUE(WriteAt(inside, "file", "deep data"));
  EXPECT_EQ(Size(deep + "/file"), 9);
  EXPECT_EQ(Size(deep), -2);
  EXPECT_EQ(Size(deep + "/"), -2);
  EXPECT_EQ(Size(deep + "/missing"), -1);
  EXPECT_EQ(Copy(deep + "/file", folder / "out"), 1);
  EXPECT_EQ(ReadBytes(folder / "out"), "deep data");
  EXPECT_EQ(Copy(folder / "out", deep + "/back"), 1);
  EXPECT_EQ(ReadAt(inside, "back"), "deep data");
  EXPECT_EQ(DeleteFile(Units(deep + "/back").c_str()), 1);
  EXPECT_EQ(ReadAt(inside, "back"), std::nullopt);
  // The whole chain copied: its deepest file lies beyond PATH_MAX in the copy too.
  EXPECT_EQ(CopyTree(folder / "d" + std::string(kNameLength - 1, 'd'), folder / "tree", u"", 1), 1);
  const int copied = OpenDeepFolder(folder / "tree", kLevels - 1, kNameLength);
  ASSERT_GE(copied, 0);
  EXPECT_EQ(ReadAt(copied, "file"), "deep data");
  close(copied);
  // Copying the chain into its own depths is seen through the long path.
  EXPECT_EQ(
      CopyTree(folder / "tree", folder / "tree" + deep.substr(folder.path().size() + kNameLength + 1) + "/x", u"", 1),
      0);
  close(inside);
  // A name longer than any file system allows, and a long path that names nothing.
  EXPECT_EQ(Size(folder / std::string(5000, 'n')), -1);
  std::string nowhere = folder.path();
  while (nowhere.size() < 100000) nowhere += "/missing";
  EXPECT_EQ(Size(nowhere), -1);
  EXPECT_EQ(Copy(nowhere, folder / "never"), 0);
  EXPECT_FALSE(Exists(folder / "never"));
}

}  // namespace
}  // namespace zeb
