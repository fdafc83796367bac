// Copying folders with the options no export uses: the top level alone, or only
// the files that match a pattern (what every export does with files and folders,
// extension/file_exports_test.cpp shows).
#include "runtime/files/file_system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "tests/files/file_test_folder.h"

namespace zeb {
namespace {

using namespace file_testing;

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

TEST(FileSystem, CopyDirectoryTakesTheTopLevelOrTheMatchingTree) {
  TestFolder folder;
  ASSERT_TRUE(folder.ok());
  ASSERT_TRUE(MakeEntries(folder.path(), {"source/", "source/sub/", "source/sub/deeper/", "source/a.txt=a",
                                          "source/b.dat=bb", "source/sub/deeper/d.txt=dddd"}));
  const auto copy = [&](const char* to, const char16_t* pattern, int flags) {
    return CopyDirectory(Units(folder / "source").c_str(), Units(folder / to).c_str(), pattern, flags);
  };
  EXPECT_EQ(copy("top", u"", 0), 1);
  EXPECT_EQ(ReadBytes(folder / "top/b.dat"), "bb");
  EXPECT_FALSE(Exists(folder / "top/sub"));
  EXPECT_EQ(copy("copy/", u"*.txt", CopyDirectoryRecursive), 1);
  EXPECT_EQ(ReadBytes(folder / "copy/a.txt"), "a");
  EXPECT_FALSE(Exists(folder / "copy/b.dat"));
  EXPECT_EQ(ReadBytes(folder / "copy/sub/deeper/d.txt"), "dddd");
}

}  // namespace
}  // namespace zeb
