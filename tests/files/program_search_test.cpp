// Finding a program's file along "PATH".
#include "runtime/files/program_search.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "tests/files/process_test_support.h"

namespace zeb {
namespace {

using namespace file_testing;

// bin/prog and bin/sub/prog run; empty/prog has no bytes, plain/prog may not be
// executed and folder/prog is a folder.
class ProgramSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.ok());
    ASSERT_TRUE(MakeEntries(folder_.path(), {"bin/", "bin/sub/", "empty/", "plain/", "folder/", "folder/prog/"}));
    ASSERT_TRUE(WriteBytes(folder_ / "bin/prog", "#!/bin/sh\n", 0755));
    ASSERT_TRUE(WriteBytes(folder_ / "bin/sub/prog", "#!/bin/sh\n", 0755));
    ASSERT_TRUE(WriteBytes(folder_ / "empty/prog", "", 0755));
    ASSERT_TRUE(WriteBytes(folder_ / "plain/prog", "#!/bin/sh\n", 0644));
  }

  std::string In(const std::string& name) const { return folder_ / name; }

  TestFolder folder_;
};

TEST_F(ProgramSearch, OnlyNonEmptyExecutableFilesAreFound) {
  EXPECT_TRUE(IsExecutableFile(In("bin/prog").c_str()));
  for (const char* name : {"empty/prog", "plain/prog", "folder/prog", "missing"}) {
    EXPECT_FALSE(IsExecutableFile(In(name).c_str())) << name;
  }
  EXPECT_FALSE(IsExecutableFile(nullptr));
  const std::string path = In("empty") + ":" + In("plain") + ":" + In("folder") + ":" + In("bin");
  PathOverride override(path.c_str());
  EXPECT_EQ(FindProgram("prog"), In("bin/prog"));
}

TEST_F(ProgramSearch, EmptyComponentsAreSkippedNotTakenAsTheCurrentFolder) {
  CurrentFolder inBin(In("bin"));
  ASSERT_TRUE(inBin.changed());
  const std::string skipped = "::" + In("plain") + ":";
  PathOverride override(skipped.c_str());
  EXPECT_EQ(FindProgram("prog"), "");
  // A component that ends in a slash gets no second one.
  const std::string found = ":" + In("plain") + "::" + In("bin") + "/:";
  PathOverride second(found.c_str());
  EXPECT_EQ(FindProgram("prog"), In("bin/prog"));
}

TEST_F(ProgramSearch, NamesWithSlashes) {
  CurrentFolder inFolder(folder_.path());
  ASSERT_TRUE(inFolder.changed());
  const std::string path = In("bin");
  PathOverride override(path.c_str());
  // An executable file named with a slash is taken as it is.
  EXPECT_EQ(FindProgram("bin/prog"), "bin/prog");
  EXPECT_EQ(FindProgram(In("bin/prog").c_str()), In("bin/prog"));
  // Absolute names and names from the current folder are never searched, although
  // the component joined with them would name bin/prog and bin/sub/prog.
  EXPECT_EQ(FindProgram("./prog"), "");
  EXPECT_EQ(FindProgram("/sub/prog"), "");
  // Other relative names with a slash are.
  EXPECT_EQ(FindProgram("sub/prog"), In("bin/sub/prog"));
  EXPECT_EQ(FindProgram(""), "");
  EXPECT_EQ(FindProgram(nullptr), "");
}

TEST_F(ProgramSearch, WithoutPathOnlyNamedFilesAreFound) {
  for (const char* path : {static_cast<const char*>(nullptr), ""}) {
    PathOverride override(path);
    EXPECT_EQ(FindProgram("sh"), "");
    EXPECT_EQ(FindProgram("/bin/sh"), "/bin/sh");
  }
}

}  // namespace
}  // namespace zeb
