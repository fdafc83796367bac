// Directory listings: patterns, entry kinds, the states around the entries, entries
// that vanish, replacing and finishing listings.
#include "runtime/files/directory_listing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>

#include "runtime/core/object_registry.h"
#include "runtime/core/temp_string_buffer.h"
#include "tests/files/file_test_folder.h"

namespace zeb {
namespace {

using file_testing::TestFolder;
using file_testing::Units;
using file_testing::WriteBytes;

std::string EntryName(int64_t number) {
  const int64_t start = TempBufferPosition();
  DirectoryEntryName(number, start);
  const Unit* units = TempStringAddress(start);
  std::string name;
  for (const Unit* u = units; *u != 0; ++u) name += static_cast<char>(*u);
  SetTempBufferPosition(start);
  return name;
}

// Every entry of a listing with its type.
std::map<std::string, int> ListAll(int64_t number) {
  std::map<std::string, int> entries;
  while (NextDirectoryEntry(number) == 1) entries[EntryName(number)] = DirectoryEntryType(number);
  return entries;
}

std::set<std::string> Names(const std::map<std::string, int>& entries) {
  std::set<std::string> names;
  for (const auto& [name, type] : entries) names.insert(name);
  return names;
}

class DirectoryListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitStringBuffer();
    ASSERT_TRUE(folder.ok());
    for (const char* name : {"a.txt", "a.TXT", "plain", ".hidden"}) ASSERT_TRUE(WriteBytes(folder / name, name));
    ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
    ASSERT_EQ(symlink("sub", (folder / "link").c_str()), 0);
  }
  void TearDown() override {
    EndDirectoryListings();
    FreeStringBuffer();
  }

  int64_t Examine(int64_t number, const std::string& directory, const char16_t* pattern) {
    return ExamineDirectory(number, Units(directory).c_str(), pattern);
  }

  TestFolder folder;
};

TEST_F(DirectoryListingTest, TheCurrentDirectoryWithDotsAndEntryTypes) {
  const int cwd = open(".", O_RDONLY | O_DIRECTORY);
  ASSERT_GE(cwd, 0);
  ASSERT_EQ(chdir(folder.path().c_str()), 0);
  EXPECT_EQ(ExamineDirectory(0, u"", u""), 1);
  const std::map<std::string, int> entries = ListAll(0);
  ASSERT_EQ(fchdir(cwd), 0);
  close(cwd);
  const std::map<std::string, int> expected = {{".", 2},     {"..", 2},      {"a.txt", 1}, {"a.TXT", 1},
                                               {"plain", 1}, {".hidden", 1}, {"sub", 2},   {"link", 1}};
  EXPECT_EQ(entries, expected);
  // Null arguments are the current directory and every entry too.
  EXPECT_EQ(ExamineDirectory(1, nullptr, nullptr), 1);
  EXPECT_GE(ListAll(1).size(), 2u);
}

TEST_F(DirectoryListingTest, PatternsMatchCaseSensitivelyAndStarsListEverything) {
  const std::set<std::string> everything = {".", "..", "a.txt", "a.TXT", "plain", ".hidden", "sub", "link"};
  for (const char16_t* all : {u"*", u"*.*", u""}) {
    ASSERT_EQ(Examine(0, folder.path(), all), 1);
    EXPECT_EQ(Names(ListAll(0)), everything);
  }
  ASSERT_EQ(Examine(0, folder.path(), u"*.txt"), 1);
  EXPECT_EQ(Names(ListAll(0)), (std::set<std::string>{"a.txt"}));
  ASSERT_EQ(Examine(0, folder.path(), u".*"), 1);
  EXPECT_EQ(Names(ListAll(0)), (std::set<std::string>{".", "..", ".hidden"}));
  ASSERT_EQ(Examine(0, folder.path(), u"[ps]*"), 1);
  EXPECT_EQ(Names(ListAll(0)), (std::set<std::string>{"plain", "sub"}));
  ASSERT_EQ(Examine(0, folder.path() + "/", u"nothing"), 1);
  EXPECT_TRUE(ListAll(0).empty());
}

TEST_F(DirectoryListingTest, NameAndTypeOutsideTheEntries) {
  // No listing: neutral results.
  EXPECT_EQ(NextDirectoryEntry(4), 0);
  EXPECT_EQ(EntryName(4), "");
  EXPECT_EQ(DirectoryEntryType(4), 0);
  FinishDirectory(4);
  ASSERT_EQ(Examine(4, folder.path(), u"sub"), 1);
  // Before the first entry: no name, and the zeroed status reads as a file.
  EXPECT_EQ(EntryName(4), "");
  EXPECT_EQ(DirectoryEntryType(4), 1);
  EXPECT_EQ(NextDirectoryEntry(4), 1);
  EXPECT_EQ(EntryName(4), "sub");
  EXPECT_EQ(DirectoryEntryType(4), 2);
  EXPECT_EQ(NextDirectoryEntry(4), 0);
  EXPECT_EQ(EntryName(4), "");
  EXPECT_EQ(DirectoryEntryType(4), 1);
  FinishDirectory(4);
  EXPECT_EQ(DirectoryEntryType(4), 0);
  FinishDirectory(4);
}

TEST_F(DirectoryListingTest, EntriesThatVanishAreSkipped) {
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(WriteBytes(folder / ("gone" + std::to_string(i)), ""));
  ASSERT_EQ(Examine(0, folder.path(), u"gone*"), 1);
  // The first step reads the whole (small) directory from the kernel; the files
  // removed after it are still delivered by the stream and must be passed over.
  ASSERT_EQ(NextDirectoryEntry(0), 1);
  const std::string first = EntryName(0);
  for (int i = 0; i < 50; ++i) unlink((folder / ("gone" + std::to_string(i))).c_str());
  EXPECT_EQ(NextDirectoryEntry(0), 0);
  EXPECT_EQ(first.rfind("gone", 0), 0u);
}

TEST_F(DirectoryListingTest, ReplacingFailingAndEndingReleaseEveryListing) {
  const int before = file_testing::OpenDescriptorCount();
  ASSERT_EQ(Examine(2, folder.path(), u""), 1);
  ASSERT_EQ(Examine(2, folder.path(), u"plain"), 1);
  EXPECT_EQ(file_testing::OpenDescriptorCount(), before + 1);
  EXPECT_EQ(NextDirectoryEntry(2), 1);
  // A failed listing under a number in use finishes the old one first.
  EXPECT_EQ(Examine(2, folder / "missing", u""), 0);
  EXPECT_EQ(Examine(3, folder / "plain", u""), 0);
  EXPECT_EQ(NextDirectoryEntry(2), 0);
  EXPECT_EQ(DirectoryEntryType(2), 0);
  EXPECT_EQ(file_testing::OpenDescriptorCount(), before);

  const int64_t dynamic = Examine(DynamicNumber, folder.path(), u"a.*");
  ASSERT_NE(dynamic, 0);
  ASSERT_NE(dynamic, 1);
  EXPECT_EQ(Names(ListAll(dynamic)), (std::set<std::string>{"a.txt", "a.TXT"}));
  FinishDirectory(dynamic);
  EXPECT_EQ(Examine(DynamicNumber, folder / "missing", u""), 0);
  ASSERT_NE(Examine(DynamicNumber, folder.path(), u""), 0);
  ASSERT_EQ(Examine(40, folder.path(), u""), 1);
  EXPECT_EQ(file_testing::OpenDescriptorCount(), before + 2);
  EndDirectoryListings();
  EXPECT_EQ(file_testing::OpenDescriptorCount(), before);
  EXPECT_EQ(NextDirectoryEntry(40), 0);
  // A new registry is made at the next listing.
  EXPECT_EQ(Examine(0, folder.path(), u"plain"), 1);
  EXPECT_EQ(Names(ListAll(0)), (std::set<std::string>{"plain"}));
}

}  // namespace
}  // namespace zeb
