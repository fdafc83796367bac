// RunFile through the real export, with a fake launcher first on "PATH" that
// records the arguments it was started with.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "extension/exports.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/files/program_runner.h"
#include "tests/files/process_test_support.h"

namespace zeb {
namespace {

using namespace file_testing;
using Arguments = std::vector<std::string>;

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
                           "#!/bin/sh\n"
                           "{ printf '%s\\0' \"$#\"; for a in \"$@\"; do printf '%s\\0' \"$a\"; done; } > '" +
                               record + ".tmp'\n/bin/mv '" + record + ".tmp' '" + record + "'\n",
                           0755));
  }
  void TearDown() override { FreeStringBuffer(); }

  // The launcher's arguments for one RunFile, or nothing when the launcher never
  // ran or recorded a count that does not match.
  std::optional<Arguments> Launch(const char* path) {
    const std::string record = folder_ / "record";
    std::remove(record.c_str());
    const std::string searchPath = folder_.path() + ":/usr/bin:/bin";
    PathOverride override(searchPath.c_str());
    EXPECT_EQ(RunFile(path), 1.0);
    std::optional<std::string> bytes;
    if (!WaitUntil([&] { return (bytes = ReadBytes(record)).has_value(); })) return std::nullopt;
    Arguments fields;
    for (size_t start = 0, end; (end = bytes->find('\0', start)) != std::string::npos; start = end + 1) {
      fields.push_back(bytes->substr(start, end - start));
    }
    if (fields.empty() || std::stoul(fields[0]) != fields.size() - 1) return std::nullopt;
    return Arguments(fields.begin() + 1, fields.end());
  }

  TestFolder folder_;
};

TEST_F(RunFileTest, PathIsTheLaunchersOneArgumentWhateverItHolds) {
  for (const char* path : {"/tmp/my file.txt", "say \"hi\" now", "first\nsecond", "\ttabbed \\ back",
                           "caf\xC3\xA9 \xF0\x9F\x98\x80.txt", "a-b", "/-root", "", "ok\x80rest \xED\xA0\x80"}) {
    EXPECT_EQ(Launch(path), Arguments{path});
  }
  // Null is the empty path; a leading '-' never makes the path an option.
  EXPECT_EQ(Launch(nullptr), Arguments{""});
  EXPECT_EQ(Launch("-n"), Arguments{"./-n"});
  EXPECT_EQ(Launch("--help me"), Arguments{"./--help me"});
}

TEST_F(RunFileTest, NoLauncherOnThePathGivesZero) {
  {
    PathOverride unset(nullptr);
    EXPECT_EQ(RunFile("/tmp/file.txt"), 0.0);
  }
  TestFolder empty;
  PathOverride withoutLauncher(empty.path().c_str());
  EXPECT_EQ(RunFile("/tmp/file.txt"), 0.0);
  // The result leaves the temporary string buffer as the call found it.
  EXPECT_EQ(TempBufferPosition(), 0);
}

}  // namespace
}  // namespace zeb
