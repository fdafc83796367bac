// RunFile through the real export, with a fake launcher first on "PATH" that
// records the arguments it was started with.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "extension/exports.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/files/program_runner.h"
#include "tests/files/process_test_support.h"

namespace zeb {
namespace {

using testing_support::PathOverride;
using testing_support::ReadFile;
using testing_support::TemporaryFolder;
using testing_support::WaitUntil;
using testing_support::WriteFile;

using Arguments = std::vector<std::string>;

class RunFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitStringBuffer();
    InitProgramRunner();
    ASSERT_FALSE(folder_.path().empty());
    // The argument count, then each argument, each ended by a NUL byte, so that
    // newlines inside arguments stay visible. Renamed into place when complete.
    const std::string record = folder_ / "record";
    ASSERT_TRUE(WriteFile(folder_ / "xdg-open",
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
    if (!WaitUntil([&] { return (bytes = ReadFile(record)).has_value(); })) return std::nullopt;
    Arguments fields;
    for (size_t start = 0, end; (end = bytes->find('\0', start)) != std::string::npos; start = end + 1) {
      fields.push_back(bytes->substr(start, end - start));
    }
    if (fields.empty() || std::stoul(fields[0]) != fields.size() - 1) return std::nullopt;
    return Arguments(fields.begin() + 1, fields.end());
  }

  TemporaryFolder folder_;
};

TEST_F(RunFileTest, PathIsTheLaunchersOneArgumentWhateverItHolds) {
  EXPECT_EQ(Launch("/tmp/my file.txt"), Arguments{"/tmp/my file.txt"});
  EXPECT_EQ(Launch("say \"hi\" now"), Arguments{"say \"hi\" now"});
  EXPECT_EQ(Launch("\"quoted\""), Arguments{"\"quoted\""});
  EXPECT_EQ(Launch("first\nsecond"), Arguments{"first\nsecond"});
  EXPECT_EQ(Launch("\ttabbed \\ back"), Arguments{"\ttabbed \\ back"});
  EXPECT_EQ(Launch("caf\xC3\xA9 \xF0\x9F\x98\x80.txt"), Arguments{"caf\xC3\xA9 \xF0\x9F\x98\x80.txt"});
  // Malformed UTF-8 is decoded as far as it goes.
  EXPECT_EQ(Launch("ok\x80rest"), Arguments{"ok"});
}

TEST_F(RunFileTest, PathNeverBecomesAnOption) {
  EXPECT_EQ(Launch("-n"), Arguments{"./-n"});
  EXPECT_EQ(Launch("--help me"), Arguments{"./--help me"});
  EXPECT_EQ(Launch("a-b"), Arguments{"a-b"});
  EXPECT_EQ(Launch("/-root"), Arguments{"/-root"});
}

TEST_F(RunFileTest, EmptyAndNullPathsAreOneEmptyArgument) {
  EXPECT_EQ(Launch(""), Arguments{""});
  EXPECT_EQ(Launch(nullptr), Arguments{""});
}

TEST_F(RunFileTest, NoLauncherOnThePathGivesZero) {
  {
    PathOverride unset(nullptr);
    EXPECT_EQ(RunFile("/tmp/file.txt"), 0.0);
  }
  TemporaryFolder empty;
  PathOverride withoutLauncher(empty.path().c_str());
  EXPECT_EQ(RunFile("/tmp/file.txt"), 0.0);
  // The result leaves the temporary string buffer as the call found it.
  EXPECT_EQ(TempBufferPosition(), 0);
}

}  // namespace
}  // namespace zeb
