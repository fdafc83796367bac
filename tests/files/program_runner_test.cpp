// Starting programs: detached launches, waiting, exit codes, folders, arguments.
#include "runtime/files/program_runner.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/files/parameter_line.h"
#include "tests/files/process_test_support.h"

namespace zeb {
namespace {

using testing_support::ChildProcesses;
using testing_support::CurrentFolder;
using testing_support::OpenDescriptors;
using testing_support::PathOverride;
using testing_support::ReadFile;
using testing_support::TemporaryFolder;
using testing_support::Units;
using testing_support::WaitUntil;
using testing_support::WriteFile;

class ProgramRunner : public ::testing::Test {
 protected:
  void SetUp() override {
    InitProgramRunner();
    ASSERT_FALSE(folder_.path().empty());
    char* real = realpath(folder_.path().c_str(), nullptr);
    ASSERT_NE(real, nullptr);
    path_ = real;
    std::free(real);
  }

  std::string In(const std::string& name) const { return path_ + "/" + name; }

  // A script that writes its arguments, each followed by "|", into `record`; it
  // renames the file into place so that it appears complete.
  std::string ArgumentsScript(const std::string& record) {
    const std::string script = In("arguments.sh");
    EXPECT_TRUE(WriteFile(script,
                          "#!/bin/sh\nfor a in \"$@\"; do printf '%s|' \"$a\"; done > '" + record +
                              ".tmp'\nmv '" + record + ".tmp' '" + record + "'\n",
                          0755));
    return script;
  }

  // Waits (bounded) for a file that a detached program writes.
  std::string AwaitFile(const std::string& path) {
    std::optional<std::string> content;
    EXPECT_TRUE(WaitUntil([&] { return (content = ReadFile(path)).has_value(); })) << path;
    return content.value_or("");
  }

  TemporaryFolder folder_;
  std::string path_;  // the folder without symbolic links, as pwd reports it
};

int32_t AwaitExitCode(int64_t program) {
  EXPECT_TRUE(WaitUntil([&] { return ProgramExitCode(program) != -1; }));
  return ProgramExitCode(program);
}

TEST_F(ProgramRunner, DetachedLaunchesLeaveNoChildAndNoDescriptor) {
  const std::vector<testing_support::ChildProcess> before = ChildProcesses();
  const auto descriptors = OpenDescriptors();
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(RunProgram(u"/bin/true"), 1) << i;
  // The first child of each launch is reaped before RunProgram returns, and the
  // program itself belongs to the system: nothing new waits as our child.
  for (const testing_support::ChildProcess& child : ChildProcesses()) {
    const bool old = std::any_of(before.begin(), before.end(), [&](auto& b) { return b.pid == child.pid; });
    EXPECT_TRUE(old) << "child " << child.pid << " in state " << child.state;
  }
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

TEST_F(ProgramRunner, ArgumentVectorsAreCutAtTheLimit) {
  const std::string record = In("record");
  const std::string script = ArgumentsScript(record);
  std::u16string line;
  std::vector<std::string> parameters;
  for (int i = 1; i <= 600; ++i) {
    parameters.push_back("p" + std::to_string(i));
    line += Units(parameters.back()) + u" ";
  }
  std::string expected;
  for (int i = 0; i < kMaxParameters; ++i) expected += parameters[i] + "|";
  EXPECT_EQ(RunProgram(Units(script).c_str(), line.c_str(), u"", ProgramWait), 1);
  EXPECT_EQ(ReadFile(record).value_or(""), expected);
  ASSERT_EQ(std::remove(record.c_str()), 0);
  // The explicit vector keeps every parameter as it is, empty and null ones too.
  std::vector<const char*> explicitParameters = {"a b", "", nullptr, "\"q\""};
  for (const std::string& parameter : parameters) explicitParameters.push_back(parameter.c_str());
  std::string explicitExpected = "a b|||\"q\"|";
  for (int i = 0; i < kMaxParameters - 4; ++i) explicitExpected += parameters[i] + "|";
  EXPECT_EQ(LaunchProgram(script.c_str(), explicitParameters), 1);
  EXPECT_EQ(AwaitFile(record), explicitExpected);
}

TEST_F(ProgramRunner, ExitCodes) {
  EXPECT_EQ(AwaitExitCode(RunProgram(u"/bin/sh", u"-c \"exit 3\"", u"", ProgramConnect)), 3);
  EXPECT_EQ(AwaitExitCode(RunProgram(u"/bin/sh", u"-c \"kill -9 $$\"", u"", ProgramConnect)), 1);
  // A file that looks executable but cannot be started ends the child with 1.
  const std::string broken = In("broken");
  ASSERT_TRUE(WriteFile(broken, "#!/no/such/interpreter\n", 0755));
  EXPECT_EQ(AwaitExitCode(RunProgram(Units(broken).c_str(), u"", u"", ProgramConnect)), 1);
  // Waiting for a connected program stores its exit code before returning.
  const int64_t waited = RunProgram(u"/bin/sh", u"-c \"exit 7\"", u"", ProgramConnect | ProgramWait);
  ASSERT_NE(waited, 0);
  EXPECT_EQ(ProgramExitCode(waited), 7);
  EXPECT_GT(ProgramProcess(waited), 0);
}

TEST_F(ProgramRunner, WaitingAndWorkingFolders) {
  const std::string out = In("out");
  const std::u16string command = u"-c \"pwd > '" + Units(out) + u"'\"";
  EXPECT_EQ(RunProgram(u"/bin/sh", command.c_str(), Units(path_).c_str(), ProgramWait), 1);
  EXPECT_EQ(ReadFile(out).value_or(""), path_ + "\n");
  // A folder that cannot be entered leaves the program in the host's.
  char* current = getcwd(nullptr, 0);
  ASSERT_NE(current, nullptr);
  const std::string host = current;
  std::free(current);
  EXPECT_EQ(RunProgram(u"/bin/sh", command.c_str(), u"/no/such/folder", ProgramWait), 1);
  EXPECT_EQ(ReadFile(out).value_or(""), host + "\n");
}

TEST_F(ProgramRunner, RelativeProgramIsStartedFromWhereItWasFound) {
  ASSERT_EQ(mkdir(In("tools").c_str(), 0755), 0);
  ASSERT_EQ(mkdir(In("work").c_str(), 0755), 0);
  const std::string out = In("out");
  ASSERT_TRUE(WriteFile(In("tools/prog"), "#!/bin/sh\npwd > '" + out + "'\n", 0755));
  CurrentFolder inFolder(path_);
  ASSERT_TRUE(inFolder.changed());
  PathOverride path("tools");
  const std::u16string work = Units(In("work"));
  for (const char16_t* name : {u"prog", u"tools/prog"}) {
    std::remove(out.c_str());
    EXPECT_EQ(RunProgram(name, u"", work.c_str(), ProgramWait), 1);
    EXPECT_EQ(ReadFile(out).value_or("not started"), In("work") + "\n");
  }
}

TEST_F(ProgramRunner, ProgramsThatCannotBeFoundGiveZero) {
  EXPECT_EQ(RunProgram(u"no-such-program-anywhere"), 0);
  EXPECT_EQ(RunProgram(u"./no-such-program"), 0);
  EXPECT_EQ(RunProgram(u""), 0);
  EXPECT_EQ(RunProgram(nullptr, nullptr, nullptr, ProgramConnect), 0);
  EXPECT_EQ(LaunchProgram(nullptr, {}), 0);
  PathOverride unset(nullptr);
  EXPECT_EQ(RunProgram(u"sh", u"-c true", u"", ProgramConnect), 0);
  EXPECT_EQ(LaunchProgram("sh", {}), 0);
  EXPECT_EQ(RunProgram(u"/bin/true"), 1);
}

}  // namespace
}  // namespace zeb
