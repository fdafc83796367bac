// Directory listings beyond what GetFolderFiles takes from them (its patterns,
// entry types and missing folders are extension/file_exports_test.cpp's): the
// current folder, patterns that list every entry, case, dynamic numbers, entries
// that vanish, and the states around the entries.
#include "runtime/files/directory_listing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <string>

#include "runtime/core/object_registry.h"
#include "runtime/core/temp_string_buffer.h"
#include "tests/core/unit_text.h"
#include "tests/files/process_test_support.h"

namespace zeb {
namespace {

using namespace file_testing;
using Entries = std::map<std::u16string, int>;

std::u16string EntryName(int64_t number) {
  const int64_t start = TempBufferPosition();
  DirectoryEntryName(number, start);
  const std::u16string name = TempText(start);
  SetTempBufferPosition(start);
  return name;
}

// Every entry of a listing with its type.
Entries ListAll(int64_t number) {
  Entries entries;
  while (NextDirectoryEntry(number) == 1) entries[EntryName(number)] = DirectoryEntryType(number);
  return entries;
}

class DirectoryListingTest : public StringBufferTest {
 protected:
  void SetUp() override {
    StringBufferTest::SetUp();
    ASSERT_TRUE(folder.ok());
    ASSERT_TRUE(MakeEntries(folder.path(), {"a.txt", "a.TXT", "sub/"}));
  }
  void TearDown() override {
    EndDirectoryListings();
    StringBufferTest::TearDown();
  }

  TestFolder folder;
};

// Null and empty arguments are the current folder and every entry, as "*.*" is.
TEST_F(DirectoryListingTest, PatternsMatchCaseSensitivelyAndTypesTellFolders) {
  const Entries everything = {{u".", 2}, {u"..", 2}, {u"a.txt", 1}, {u"a.TXT", 1}, {u"sub", 2}};
  CurrentFolder inFolder(folder.path());
  ASSERT_TRUE(inFolder.changed());
  ASSERT_EQ(ExamineDirectory(1, nullptr, nullptr), 1);
  EXPECT_EQ(ListAll(1), everything);
  ASSERT_EQ(ExamineDirectory(1, u"", u"*.*"), 1);
  EXPECT_EQ(ListAll(1), everything);
  const int64_t dynamic = ExamineDirectory(DynamicNumber, Units(folder.path()).c_str(), u"*.txt");
  ASSERT_NE(dynamic, 0);
  ASSERT_NE(dynamic, 1);
  EXPECT_EQ(ListAll(dynamic), (Entries{{u"a.txt", 1}}));
  EXPECT_EQ(ExamineDirectory(DynamicNumber, u"missing", u""), 0);
}

// Entries removed after the first step are still delivered by the stream, which
// read the whole (small) directory from the kernel then, and must be passed over.
// Outside the entries there is no name, and the zeroed status reads as a file;
// without a listing, or after the end routine, every result is neutral.
TEST_F(DirectoryListingTest, EntriesThatVanishAreSkippedAndNoneIsNamedOutsideTheEntries) {
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(WriteBytes(folder / ("gone" + std::to_string(i)), ""));
  ASSERT_EQ(ExamineDirectory(4, Units(folder.path()).c_str(), u"gone*"), 1);
  EXPECT_EQ(EntryName(4), u"");
  EXPECT_EQ(DirectoryEntryType(4), 1);
  ASSERT_EQ(NextDirectoryEntry(4), 1);
  EXPECT_EQ(EntryName(4).rfind(u"gone", 0), 0u);
  for (int i = 0; i < 50; ++i) unlink((folder / ("gone" + std::to_string(i))).c_str());
  EXPECT_EQ(NextDirectoryEntry(4), 0);
  EXPECT_EQ(EntryName(4), u"");
  EXPECT_EQ(DirectoryEntryType(4), 1);
  FinishDirectory(4);
  FinishDirectory(4);
  EXPECT_EQ(NextDirectoryEntry(4), 0);
  EXPECT_EQ(EntryName(4), u"");
  EXPECT_EQ(DirectoryEntryType(4), 0);
  EndDirectoryListings();
  EXPECT_EQ(NextDirectoryEntry(4), 0);
}

}  // namespace
}  // namespace zeb
