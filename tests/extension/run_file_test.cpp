// RunFile through the real export, with a fake launcher first on "PATH" that
// records the arguments it was started with.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "extension/exports.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/files/program_runner.h"
#include "tests/files/process_test_support.h"

namespace zeb {
namespace {

using namespace file_testing;

class RunFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitStringBuffer();
    InitProgramRunner();
    ASSERT_TRUE(folder_.ok());
    // The argument count, then each argument, each ended by a NUL byte, so that
    // newlines inside arguments stay visible. Renamed into place when complete.
    const std::string record = folder_ / "record";
    ASSERT_TRUE(WriteBytes(folder_ / "xdg-open",
                           "#!/bin/sh\nprintf '%s\\0' \"$#\" \"$@\" > '" + record + ".tmp'\n/bin/mv '" + record +
                               ".tmp' '" + record + "'\n",
                           0755));
  }
  void TearDown() override { FreeStringBuffer(); }

  // What the launcher recorded for one RunFile, or nothing when it never ran.
  std::optional<std::string> Launch(const char* path) {
    const std::string record = folder_ / "record";
    std::remove(record.c_str());
    PathOverride override((folder_.path() + ":/usr/bin:/bin").c_str());
    EXPECT_EQ(RunFile(path), 1.0);
    std::optional<std::string> bytes;
    WaitUntil([&] { return (bytes = ReadBytes(record)).has_value(); });
    return bytes;
  }

  TestFolder folder_;
};

// The record of a launcher started with the one argument.
std::string OneArgument(const std::string& argument) { return std::string("1\0", 2) + argument + '\0'; }

TEST_F(RunFileTest, PathIsTheLaunchersOneArgumentWhateverItHolds) {
  for (const char* path : {"/tmp/my file.txt", "say \"hi\" now", "first\nsecond", "\ttabbed \\ back",
                           "caf\xC3\xA9 \xF0\x9F\x98\x80.txt", "a-b", "/-root", "", "ok\x80rest \xED\xA0\x80"}) {
    EXPECT_EQ(Launch(path), OneArgument(path));
  }
  // Null is the empty path; a leading '-' never makes the path an option.
  EXPECT_EQ(Launch(nullptr), OneArgument(""));
  EXPECT_EQ(Launch("-n"), OneArgument("./-n"));
  EXPECT_EQ(Launch("--help me"), OneArgument("./--help me"));
}

}  // namespace
}  // namespace zeb
