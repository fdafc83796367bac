// Starting programs: waiting, exit codes, folders, arguments.
#include "runtime/files/program_runner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/files/parameter_line.h"
#include "tests/files/process_test_support.h"

namespace zeb {
namespace {

using namespace file_testing;

class ProgramRunner : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.ok());
    path_ = std::filesystem::canonical(folder_.path());
  }

  std::string In(const std::string& name) const { return path_ + "/" + name; }

  TestFolder folder_;
  std::string path_;  // the folder without symbolic links, as pwd reports it
};

// An argument vector, or a parameter line (odd parameters quoted, even ones plain),
// keeps every parameter up to the limit; the last plain one kept is cut off from
// what follows.
TEST_F(ProgramRunner, ArgumentsKeepEveryParameterUpToTheLimit) {
  // The script writes its arguments, each followed by "|", and renames the file
  // into place so that it appears complete.
  const std::string record = In("record");
  const std::string script = In("arguments.sh");
  ASSERT_TRUE(WriteBytes(script,
                         "#!/bin/sh\nfor a in \"$@\"; do printf '%s|' \"$a\"; done > '" + record + ".tmp'\nmv '" +
                             record + ".tmp' '" + record + "'\n",
                         0755));
  std::vector<std::string> numbered;
  std::string line;
  for (int i = 1; i <= 600; ++i) {
    numbered.push_back("p" + std::to_string(i));
    line += i % 2 == 1 ? "\"" + numbered.back() + "\" " : numbered.back() + " ";
  }
  std::vector<const char*> parameters = {"a b", "", nullptr, "\"q\""};
  for (const std::string& parameter : numbered) parameters.push_back(parameter.c_str());
  std::string expected = "a b|||\"q\"|";
  std::string kept;  // what the parameter line gives
  for (int i = 0; i < kMaxParameters; ++i) {
    if (i < kMaxParameters - 4) expected += numbered[i] + "|";
    kept += numbered[i] + "|";
  }
  EXPECT_EQ(LaunchProgram(script.c_str(), parameters), 1);
  ASSERT_TRUE(WaitUntil([&] { return ReadBytes(record).has_value(); }));
  EXPECT_EQ(ReadBytes(record), expected);
  EXPECT_EQ(RunProgram(Units(script).c_str(), Units(line).c_str(), u"", ProgramWait), 1);
  EXPECT_EQ(ReadBytes(record), kept);
}

TEST_F(ProgramRunner, ExitCodes) {
  EXPECT_EQ(AwaitExitCode(RunProgram(u"/bin/sh", u"-c \"exit 3\"", u"", ProgramConnect)), 3);
  EXPECT_EQ(AwaitExitCode(RunProgram(u"/bin/sh", u"-c \"kill -9 $$\"", u"", ProgramConnect)), 1);
  // A file that looks executable but cannot be started ends the child with 1.
  ASSERT_TRUE(WriteBytes(In("broken"), "#!/no/such/interpreter\n", 0755));
  EXPECT_EQ(AwaitExitCode(RunProgram(Units(In("broken")).c_str(), u"", u"", ProgramConnect)), 1);
  // Waiting for a connected program stores its exit code before returning.
  const int64_t waited = RunProgram(u"/bin/sh", u"-c \"exit 7\"", u"", ProgramConnect | ProgramWait);
  ASSERT_NE(waited, 0);
  EXPECT_EQ(ProgramExitCode(waited), 7);
}

TEST_F(ProgramRunner, WorkingFoldersAndRelativeProgramsFoundOnThePath) {
  ASSERT_EQ(mkdir(In("tools").c_str(), 0755), 0);
  ASSERT_EQ(mkdir(In("work").c_str(), 0755), 0);
  const std::string out = In("out");
  ASSERT_TRUE(WriteBytes(In("tools/prog"), "#!/bin/sh\npwd > '" + out + "'\n", 0755));
  CurrentFolder inFolder(path_);
  ASSERT_TRUE(inFolder.changed());
  PathOverride path("tools");
  // A relative program is started from where it was found, not from inside the
  // working folder; waiting returns only once its output is there.
  const std::u16string work = Units(In("work"));
  for (const char16_t* name : {u"prog", u"tools/prog"}) {
    std::remove(out.c_str());
    EXPECT_EQ(RunProgram(name, u"", work.c_str(), ProgramWait), 1);
    EXPECT_EQ(ReadBytes(out).value_or("not started"), In("work") + "\n");
  }
  // A folder that cannot be entered leaves the program in the host's.
  EXPECT_EQ(RunProgram(u"prog", u"", u"/no/such/folder", ProgramWait), 1);
  EXPECT_EQ(ReadBytes(out).value_or(""), path_ + "\n");
}

TEST_F(ProgramRunner, ProgramsThatCannotBeFoundGiveZero) {
  for (const char16_t* name : {u"no-such-program-anywhere", u"./no-such-program", u""}) EXPECT_EQ(RunProgram(name), 0);
  EXPECT_EQ(RunProgram(nullptr, nullptr, nullptr, ProgramConnect), 0);
  EXPECT_EQ(LaunchProgram(nullptr, {}), 0);
  EXPECT_EQ(LaunchProgram("no-such-program-anywhere", {}), 0);
  EXPECT_EQ(RunProgram(u"/bin/true", u"", u""), 1);
}

}  // namespace
}  // namespace zeb
