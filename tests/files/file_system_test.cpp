// Whole files and folders: sizes and kinds, deleting, copying files (onto
// themselves, onto a full device, across file systems) and copying folders.
#include "runtime/files/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/files/file_test_folder.h"

namespace zeb {
namespace {

using namespace file_testing;

int64_t Size(const std::string& path) { return FileSize(Units(path).c_str()); }
int Copy(const std::string& from, const std::string& to) { return CopyFile(Units(from).c_str(), Units(to).c_str()); }
int CopyTree(const std::string& from, const std::string& to, const char16_t* pattern = u"", int flags = 1) {
  return CopyDirectory(Units(from).c_str(), Units(to).c_str(), pattern, flags);
}
bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.ok()); }
  // source: a.txt, b.dat, sub/c.txt, sub/deeper/d.txt, and a link to a.txt.
  void MakeSourceTree() {
    ASSERT_TRUE(MakeEntries(folder.path(), {"source/", "source/sub/", "source/sub/deeper/", "source/a.txt=a",
                                            "source/b.dat=bb", "source/sub/c.txt=ccc", "source/sub/deeper/d.txt=dddd"}));
    ASSERT_EQ(symlink("a.txt", (folder / "source/link").c_str()), 0);
  }
  TestFolder folder;
};

TEST_F(FileSystemTest, FileSizeAndDeleteFileTellFilesFromEverythingElse) {
  ASSERT_TRUE(MakeEntries(folder.path(), {"empty", "five=12345", "sub/"}));
  ASSERT_EQ(symlink("five", (folder / "link").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (folder / "dangling").c_str()), 0);
  const struct {
    const char* name;
    int64_t size;
  } kCases[] = {{"empty", 0}, {"five", 5},       {"link", 5},        {"sub", -2},
                {"sub/", -2}, {"missing", -1}, {"dangling", -1}, {"five/inside", -1}};
  for (const auto& c : kCases) EXPECT_EQ(Size(folder / c.name), c.size) << c.name;
  EXPECT_EQ(Size(""), -1);
  EXPECT_EQ(FileSize(nullptr), -1);
  // A link goes, its target stays; folders stay.
  EXPECT_EQ(DeleteFile(Units(folder / "link").c_str(), 2), 1);
  EXPECT_FALSE(Exists(folder / "link"));
  EXPECT_EQ(DeleteFile(Units(folder / "five").c_str()), 1);
  EXPECT_EQ(DeleteFile(Units(folder / "five").c_str()), 0);
  EXPECT_EQ(DeleteFile(Units(folder / "sub").c_str()), 0);
  EXPECT_TRUE(Exists(folder / "sub"));
  EXPECT_EQ(DeleteFile(nullptr), 0);
}

// Into the folder and, when /dev/shm is another file system, through the copy's
// own buffer there.
TEST_F(FileSystemTest, CopyFileCopiesEveryByteAndOverwrites) {
  std::vector<std::string> targets = {folder / "copy"};
  struct stat shared;
  struct stat here;
  if (stat("/dev/shm", &shared) == 0 && stat(folder.path().c_str(), &here) == 0 && shared.st_dev != here.st_dev) {
    targets.push_back("/dev/shm/zeb-files-copy-" + std::to_string(getpid()));
  }
  for (const std::string& target : targets) {
    for (const size_t size : {size_t{0}, size_t{1}, size_t{3 * 512000 + 17}}) {
      SCOPED_TRACE(target + ", " + std::to_string(size) + " bytes");
      const std::string contents = Pattern(size);
      ASSERT_TRUE(WriteBytes(folder / "source", contents));
      // The destination holds more than the source, so a missing truncation shows.
      ASSERT_TRUE(WriteBytes(target, std::string(size + 1000, 'x')));
      EXPECT_EQ(Copy(folder / "source", target), 1);
      EXPECT_EQ(ReadBytes(target), contents);
    }
  }
  if (targets.size() > 1) unlink(targets.back().c_str());
}

TEST_F(FileSystemTest, CopyFileFailsWithoutCreatingForBadSourcesAndTargets) {
  ASSERT_TRUE(WriteBytes(folder / "source", Pattern(100000)));
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  // Writing into a FIFO without a reader fails.
  for (const auto& [from, to] : {std::pair{"missing", "a"}, {"sub", "a"}, {"source", "missing/c"},
                                 {"source", "sub"}, {"source", "fifo"}}) {
    EXPECT_EQ(Copy(folder / from, folder / to), 0) << from << " -> " << to;
  }
  EXPECT_FALSE(Exists(folder / "a"));
  if (Exists("/dev/full")) {
    EXPECT_EQ(Copy(folder / "source", "/dev/full"), 0);
  }
  EXPECT_EQ(CopyFile(nullptr, Units(folder / "a").c_str()), 0);
  EXPECT_EQ(CopyFile(Units(folder / "source").c_str(), nullptr), 0);
  // A FIFO has no size: its copy is empty, without waiting for a writer.
  EXPECT_EQ(Copy(folder / "fifo", folder / "copy"), 1);
  EXPECT_EQ(ReadBytes(folder / "copy"), "");
}

TEST_F(FileSystemTest, CopyFileOntoItselfUnderAnyNameLeavesItUntouched) {
  const std::string contents = Pattern(70000);
  ASSERT_TRUE(WriteBytes(folder / "file", contents));
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  ASSERT_EQ(link((folder / "file").c_str(), (folder / "hard").c_str()), 0);
  ASSERT_EQ(symlink((folder / "file").c_str(), (folder / "soft").c_str()), 0);
  for (const std::string& other : {folder / "file", folder / "sub/../file", folder / "hard", folder / "soft"}) {
    SCOPED_TRACE(other);
    EXPECT_EQ(Copy(folder / "file", other), 0);
    EXPECT_EQ(Copy(other, folder / "file"), 0);
    EXPECT_EQ(ReadBytes(folder / "file"), contents);
  }
}

// Permissions bind only a user other than root, so the checks run in a child
// process that gives root up.
TEST_F(FileSystemTest, CopyFileNeedsPermissions) {
  ASSERT_TRUE(WriteBytes(folder / "locked", "secret", 0));
  ASSERT_TRUE(WriteBytes(folder / "readable", "open", 0444));
  ASSERT_TRUE(WriteBytes(folder / "unwritable", "kept", 0444));
  EXPECT_EXIT(std::exit(BecomeUnprivileged(folder.path()) && Copy(folder / "locked", folder / "copy") == 0 &&
                                !Exists(folder / "copy") && Copy(folder / "readable", folder / "unwritable") == 0
                            ? 0
                            : 1),
              ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadBytes(folder / "unwritable"), "kept");
}

TEST_F(FileSystemTest, CopyDirectoryCopiesTheTopLevelOrTheMatchingTree) {
  MakeSourceTree();
  EXPECT_EQ(CopyTree(folder / "source", folder / "top", u"", 0), 1);
  EXPECT_EQ(ReadBytes(folder / "top/b.dat"), "bb");
  EXPECT_FALSE(Exists(folder / "top/sub"));
  // The link is copied as a file holding its target's data.
  struct stat status;
  ASSERT_EQ(lstat((folder / "top/link").c_str(), &status), 0);
  EXPECT_TRUE(S_ISREG(status.st_mode));
  EXPECT_EQ(ReadBytes(folder / "top/link"), "a");

  EXPECT_EQ(CopyTree(folder / "source", folder / "copy/", u"*.txt"), 1);
  EXPECT_EQ(ReadBytes(folder / "copy/a.txt"), "a");
  EXPECT_FALSE(Exists(folder / "copy/b.dat"));
  EXPECT_EQ(ReadBytes(folder / "copy/sub/deeper/d.txt"), "dddd");
  ASSERT_EQ(stat((folder / "copy/sub/deeper").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  // Copying again merges into the existing tree and overwrites its files.
  ASSERT_TRUE(WriteBytes(folder / "source/sub/c.txt", "new"));
  EXPECT_EQ(CopyDirectory(Units(folder / "source").c_str(), Units(folder / "copy").c_str(), nullptr, 1), 1);
  EXPECT_EQ(ReadBytes(folder / "copy/sub/c.txt"), "new");
  EXPECT_EQ(ReadBytes(folder / "copy/b.dat"), "bb");
  // A subfolder copied up into its parent's neighbour is fine. A file that cannot
  // be copied makes the result 0; the others are copied.
  ASSERT_EQ(symlink("nowhere", (folder / "source/sub/dangling").c_str()), 0);
  EXPECT_EQ(CopyTree(folder / "source/sub", folder / "up"), 0);
  EXPECT_EQ(ReadBytes(folder / "up/deeper/d.txt"), "dddd");
}

TEST_F(FileSystemTest, CopyDirectoryRefusesBadArgumentsAndAFolderIntoItself) {
  MakeSourceTree();
  ASSERT_TRUE(WriteBytes(folder / "file", "x"));
  ASSERT_EQ(symlink("source", (folder / "alias").c_str()), 0);
  for (const std::string& target : {folder / "file", folder / "missing/never", folder / "source", folder / "source/",
                                    folder / "source/sub/new/", folder / "source/../source/new", folder / "alias/new",
                                    folder / "alias"}) {
    SCOPED_TRACE(target);
    EXPECT_EQ(CopyTree(folder / "source", target), 0);
    EXPECT_EQ(CopyTree(folder / "alias", target), 0);
  }
  EXPECT_FALSE(Exists(folder / "source/new"));
  EXPECT_FALSE(Exists(folder / "source/sub/new"));
  EXPECT_EQ(CopyTree(folder / "missing", folder / "never"), 0);
  EXPECT_EQ(CopyTree("", folder / "never"), 0);
  EXPECT_EQ(CopyDirectory(Units(folder / "source").c_str(), nullptr, nullptr, 1), 0);
  EXPECT_EQ(CopyDirectory(nullptr, Units(folder / "never").c_str(), nullptr, 1), 0);
  EXPECT_FALSE(Exists(folder / "never"));
}

// Paths longer than PATH_MAX: 24 levels of 200-byte names make about 4,850 bytes.
TEST_F(FileSystemTest, PathsLongerThanTheKernelTakesWork) {
  constexpr int kLevels = 24;
  constexpr size_t kNameLength = 200;
  const std::string deep = DeepPath(folder.path(), kLevels, kNameLength);
  ASSERT_GT(deep.size(), 4096u);
  const int inside = OpenDeepFolder(folder.path(), kLevels, kNameLength, true);
  ASSERT_GE(inside, 0);
  ASSERT_TRUE(WriteAt(inside, "file", "deep data"));
  EXPECT_EQ(Size(deep + "/file"), 9);
  EXPECT_EQ(Size(deep + "/"), -2);
  EXPECT_EQ(Copy(deep + "/file", deep + "/back"), 1);
  EXPECT_EQ(ReadAt(inside, "back"), "deep data");
  EXPECT_EQ(DeleteFile(Units(deep + "/back").c_str()), 1);
  EXPECT_EQ(ReadAt(inside, "back"), std::nullopt);
  close(inside);
  // The whole chain copied: its deepest file lies beyond PATH_MAX in the copy too.
  const std::string top = folder / std::string(kNameLength, 'd');
  EXPECT_EQ(CopyTree(top, folder / "tree"), 1);
  const int copied = OpenDeepFolder(folder / "tree", kLevels - 1, kNameLength);
  ASSERT_GE(copied, 0);
  EXPECT_EQ(ReadAt(copied, "file"), "deep data");
  close(copied);
  // Copying the chain into its own depths is seen through the long path.
  EXPECT_EQ(CopyTree(top, deep + "/x"), 0);
  // A long path that names nothing.
  std::string nowhere = folder.path();
  while (nowhere.size() < 100000) nowhere += "/missing";
  EXPECT_EQ(Size(nowhere), -1);
  EXPECT_EQ(Copy(nowhere, folder / "never"), 0);
}

}  // namespace
}  // namespace zeb
