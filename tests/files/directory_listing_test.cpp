// Directory listings: patterns, entry kinds, the states around the entries, entries
// that vanish, replacing and finishing listings.
#include "runtime/files/directory_listing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>

#include "runtime/core/object_registry.h"
#include "runtime/core/temp_string_buffer.h"
#include "tests/files/process_test_support.h"

namespace zeb {
namespace {

using namespace file_testing;
using Entries = std::map<std::string, int>;

std::string EntryName(int64_t number) {
  const int64_t start = TempBufferPosition();
  DirectoryEntryName(number, start);
  std::string name;
  for (const Unit* u = TempStringAddress(start); *u != 0; ++u) name += static_cast<char>(*u);
  SetTempBufferPosition(start);
  return name;
}

// Every entry of a listing with its type.
Entries ListAll(int64_t number) {
  Entries entries;
  while (NextDirectoryEntry(number) == 1) entries[EntryName(number)] = DirectoryEntryType(number);
  return entries;
}

class DirectoryListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitStringBuffer();
    ASSERT_TRUE(folder.ok());
    ASSERT_TRUE(MakeEntries(folder.path(), {"a.txt", "a.TXT", "plain", ".hidden", "sub/"}));
    ASSERT_EQ(symlink("sub", (folder / "link").c_str()), 0);
  }
  void TearDown() override {
    EndDirectoryListings();
    FreeStringBuffer();
  }

  Entries List(const std::string& directory, const char16_t* pattern) {
    EXPECT_EQ(ExamineDirectory(0, Units(directory).c_str(), pattern), 1);
    return ListAll(0);
  }

  TestFolder folder;
};

TEST_F(DirectoryListingTest, PatternsMatchCaseSensitivelyAndTypesTellFolders) {
  const Entries everything = {{".", 2},     {"..", 2},      {"a.txt", 1}, {"a.TXT", 1},
                              {"plain", 1}, {".hidden", 1}, {"sub", 2},   {"link", 1}};
  for (const char16_t* all : {u"*", u"*.*", u""}) EXPECT_EQ(List(folder.path(), all), everything);
  EXPECT_EQ(List(folder.path(), u"*.txt"), (Entries{{"a.txt", 1}}));
  EXPECT_EQ(List(folder.path(), u".*"), (Entries{{".", 2}, {"..", 2}, {".hidden", 1}}));
  EXPECT_EQ(List(folder.path(), u"[ps]*"), (Entries{{"plain", 1}, {"sub", 2}}));
  EXPECT_TRUE(List(folder.path() + "/", u"nothing").empty());
  // Null and empty arguments are the current directory and every entry.
  CurrentFolder inFolder(folder.path());
  ASSERT_TRUE(inFolder.changed());
  EXPECT_EQ(List("", u""), everything);
  ASSERT_EQ(ExamineDirectory(1, nullptr, nullptr), 1);
  EXPECT_EQ(ListAll(1), everything);
}

// Entries removed after the first step are still delivered by the stream, which
// read the whole (small) directory from the kernel then, and must be passed over.
// Outside the entries there is no name, and the zeroed status reads as a file;
// without a listing, every result is neutral.
TEST_F(DirectoryListingTest, EntriesThatVanishAreSkippedAndNoneIsNamedOutsideTheEntries) {
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(WriteBytes(folder / ("gone" + std::to_string(i)), ""));
  ASSERT_EQ(ExamineDirectory(4, Units(folder.path()).c_str(), u"gone*"), 1);
  EXPECT_EQ(EntryName(4), "");
  EXPECT_EQ(DirectoryEntryType(4), 1);
  ASSERT_EQ(NextDirectoryEntry(4), 1);
  EXPECT_EQ(EntryName(4).rfind("gone", 0), 0u);
  for (int i = 0; i < 50; ++i) unlink((folder / ("gone" + std::to_string(i))).c_str());
  EXPECT_EQ(NextDirectoryEntry(4), 0);
  EXPECT_EQ(EntryName(4), "");
  EXPECT_EQ(DirectoryEntryType(4), 1);
  FinishDirectory(4);
  FinishDirectory(4);
  EXPECT_EQ(NextDirectoryEntry(4), 0);
  EXPECT_EQ(EntryName(4), "");
  EXPECT_EQ(DirectoryEntryType(4), 0);
}

TEST_F(DirectoryListingTest, ReplacingFailingAndEndingReleaseEveryListing) {
  const std::u16string path = Units(folder.path());
  const auto before = OpenDescriptors();
  ASSERT_EQ(ExamineDirectory(2, path.c_str(), u""), 1);
  ASSERT_EQ(ExamineDirectory(2, path.c_str(), u"plain"), 1);
  EXPECT_EQ(OpenDescriptors().size(), before.size() + 1);
  EXPECT_EQ(NextDirectoryEntry(2), 1);
  // A failed listing under a number in use finishes the old one first.
  EXPECT_EQ(ExamineDirectory(2, Units(folder / "missing").c_str(), u""), 0);
  EXPECT_EQ(ExamineDirectory(3, Units(folder / "plain").c_str(), u""), 0);
  EXPECT_EQ(DirectoryEntryType(2), 0);
  EXPECT_EQ(OpenDescriptors(), before);

  const int64_t dynamic = ExamineDirectory(DynamicNumber, path.c_str(), u"a.*");
  ASSERT_NE(dynamic, 0);
  ASSERT_NE(dynamic, 1);
  EXPECT_EQ(ListAll(dynamic), (Entries{{"a.txt", 1}, {"a.TXT", 1}}));
  FinishDirectory(dynamic);
  EXPECT_EQ(ExamineDirectory(DynamicNumber, Units(folder / "missing").c_str(), u""), 0);
  ASSERT_NE(ExamineDirectory(DynamicNumber, path.c_str(), u""), 0);
  ASSERT_EQ(ExamineDirectory(40, path.c_str(), u""), 1);
  EXPECT_EQ(OpenDescriptors().size(), before.size() + 2);
  EndDirectoryListings();
  EXPECT_EQ(OpenDescriptors(), before);
  EXPECT_EQ(NextDirectoryEntry(40), 0);
  // A new registry is made at the next listing.
  EXPECT_EQ(List(folder.path(), u"plain"), (Entries{{"plain", 1}}));
}

}  // namespace
}  // namespace zeb
