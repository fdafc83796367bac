// Finding a program's file along "PATH".
#include "runtime/files/program_search.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/files/process_test_support.h"

namespace zeb {
namespace {

using namespace file_testing;

// bin/prog and bin/sub/prog run; empty/prog has no bytes, plain/prog may not be
// executed and folder/prog is a folder. In the table, "@" stands for the folder.
TEST(ProgramSearch, FindsOnlyNonEmptyExecutableFilesAlongThePath) {
  TestFolder folder;
  ASSERT_TRUE(folder.ok());
  ASSERT_TRUE(MakeEntries(folder.path(), {"bin/", "bin/sub/", "empty/", "plain/", "folder/", "folder/prog/"}));
  ASSERT_TRUE(WriteBytes(folder / "bin/prog", "#!/bin/sh\n", 0755));
  ASSERT_TRUE(WriteBytes(folder / "bin/sub/prog", "#!/bin/sh\n", 0755));
  ASSERT_TRUE(WriteBytes(folder / "empty/prog", "", 0755));
  ASSERT_TRUE(WriteBytes(folder / "plain/prog", "#!/bin/sh\n", 0644));
  const auto at = [&](std::string text) {
    for (size_t i = 0; (i = text.find('@', i)) != text.npos;) text.replace(i, 1, folder.path() + "/");
    return text;
  };
  EXPECT_FALSE(IsExecutableFile(nullptr));
  const struct {
    const char* current;  // the current folder, under the test's folder
    const char* path;     // "PATH", unset for null
    const char* name;
    const char* found;
  } kCases[] = {
      // Each of the first three components holds a prog that is not taken.
      {"", "@empty:@plain:@folder:@bin", "prog", "@bin/prog"},
      // Empty components are skipped; one that ends in a slash gets no second one.
      {"bin", ":@plain::@bin/:", "prog", "@bin/prog"},
      // An executable file named with a slash is taken as it is. Absolute names
      // and names from the current folder are never searched, although the
      // component joined with them would name bin/prog and bin/sub/prog; other
      // relative names with a slash are.
      {"", "@bin", "bin/prog", "bin/prog"},
      {"", "@bin", "./prog", ""},
      {"", "@bin", "/sub/prog", ""},
      {"", "@bin", "sub/prog", "@bin/sub/prog"},
      // Without "PATH", unset or empty, nothing is searched.
      {"", nullptr, "sh", ""},
      {"", "", "sh", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.current) + " | " + (c.path ? c.path : "(unset)") + " | " + c.name);
    CurrentFolder current(folder / c.current);
    ASSERT_TRUE(current.changed());
    const std::string path = c.path ? at(c.path) : "";
    PathOverride override(c.path ? path.c_str() : nullptr);
    EXPECT_EQ(FindProgram(at(c.name).c_str()), at(c.found));
    EXPECT_EQ(FindProgram(nullptr), "");
  }
}

}  // namespace
}  // namespace zeb
