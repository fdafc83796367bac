// Programs connected to the host through pipes: their output, input and error
// output, one program's output as another's input, and the descriptors each
// program is given.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>

#include "runtime/files/output_reader.h"
#include "runtime/files/program_runner.h"
#include "tests/files/process_test_support.h"

namespace zeb {
namespace {

using namespace file_testing;

constexpr int kReadOutput = ProgramConnect | ProgramReadOutput;

std::string ReadToEnd(OutputReader* reader) {
  std::string bytes;
  char chunk[777];
  for (int64_t got = 1; got > 0;) {
    got = ReadOutputBlock(reader, chunk, 1, sizeof chunk);
    bytes.append(chunk, static_cast<size_t>(got));
  }
  return bytes;
}

// Output larger than the pipe and many times the ring, the program held on the
// full pipe while the host reads; error output apart. Writing to the program once
// it has ended fails quietly: without the guard the broken pipe would end the
// test process.
TEST(ConnectedProgram, OutputErrorOutputAndInputAfterTheEnd) {
  const int64_t seq = RunProgram(u"/bin/sh", u"-c \"seq 1 20000; echo err >&2\"", u"",
                                 kReadOutput | ProgramReadError | ProgramWriteInput);
  ASSERT_NE(seq, 0);
  std::string expected;
  for (int i = 1; i <= 20000; ++i) expected += std::to_string(i) + "\n";
  EXPECT_EQ(ReadToEnd(ProgramOutput(seq)), expected);
  EXPECT_EQ(ReadToEnd(ProgramErrorOutput(seq)), "err\n");
  ASSERT_EQ(AwaitExitCode(seq), 0);
  EXPECT_EQ(WriteProgramInput(seq, "x", 1), 0);
  CloseProgram(seq);
  sigset_t pending;
  sigset_t blocked;
  ASSERT_EQ(sigpending(&pending), 0);
  ASSERT_EQ(pthread_sigmask(SIG_BLOCK, nullptr, &blocked), 0);
  EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
  EXPECT_EQ(sigismember(&blocked, SIGPIPE), 0);
}

TEST(ConnectedProgram, SenderOutputBecomesTheNextProgramsBlockingInput) {
  // The sender writes only after the receiver has met an empty pipe, which must
  // make the receiver wait rather than fail.
  const int64_t sender = RunProgram(u"/bin/sh", u"-c \"sleep 0.3; printf hello\"", u"", kReadOutput);
  ASSERT_NE(sender, 0);
  const int64_t receiver = RunProgram(u"/bin/cat", u"", u"", kReadOutput | ProgramInputFromSender, sender);
  ASSERT_NE(receiver, 0);
  EXPECT_EQ(ReadToEnd(ProgramOutput(receiver)), "hello");
  EXPECT_EQ(AwaitExitCode(sender), 0);
  // The host's end of the sender's pipe stayed non-blocking.
  EXPECT_EQ(OutputAvailable(ProgramOutput(sender)), 0);
  EXPECT_EQ(OutputEnded(ProgramOutput(sender)), 1);
  CloseProgram(sender);
  CloseProgram(receiver);
}

// A program gets none of the pipes the runner made for another.
TEST(ConnectedProgram, ProgramsGetNoneOfTheRunnersPipes) {
  const auto descriptors = OpenDescriptors();
  const int64_t cat = RunProgram(u"/bin/cat", u"", u"", kReadOutput | ProgramWriteInput | ProgramReadError);
  ASSERT_NE(cat, 0);
  // The host keeps one end of each of cat's three pipes and nothing else.
  std::set<std::string> catPipes;
  for (const std::string& descriptor : OpenDescriptors()) {
    if (!descriptors.contains(descriptor)) catPipes.insert(DescriptorTarget("self", descriptor));
  }
  EXPECT_EQ(catPipes.size(), 3u);

  const int64_t sleeper = RunProgram(u"/bin/sleep", u"30", u"", ProgramConnect);
  ASSERT_NE(sleeper, 0);
  const std::string process = std::to_string(ProgramProcess(sleeper));
  ASSERT_TRUE(WaitUntil([&] { return ReadBytes("/proc/" + process + "/comm").value_or("") == "sleep\n"; }));
  for (const std::string& descriptor : OpenDescriptors(process)) {
    EXPECT_EQ(catPipes.count(DescriptorTarget(process, descriptor)), 0u) << descriptor;
  }
  ASSERT_EQ(kill(ProgramProcess(sleeper), SIGKILL), 0);

  // Closing the program gives back every descriptor, and cat meets its end.
  CloseProgram(cat);
  EXPECT_EQ(ProgramOutput(cat), nullptr);
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(AwaitExitCode(cat), 0);
}

// Input until the host closes it (cat ends then; its watchdog ends it otherwise),
// from a host without standard descriptors: with descriptors 0 and 1 free, a pipe
// would take exactly those numbers and the program's output would land on a
// descriptor that closes on exec.
TEST(ConnectedProgram, InputFromAHostWithoutStandardDescriptors) {
  std::fflush(stdout);
  const int savedInput = dup(0);
  const int savedOutput = dup(1);
  ASSERT_GE(savedInput, 0);
  ASSERT_GE(savedOutput, 0);
  close(0);
  close(1);
  const int64_t program = RunProgram(u"timeout", u"10 cat", u"", kReadOutput | ProgramWriteInput);
  dup2(savedInput, 0);
  dup2(savedOutput, 1);
  close(savedInput);
  close(savedOutput);
  ASSERT_NE(program, 0);
  EXPECT_EQ(WriteProgramInput(program, "hi\n", 3), 3);
  CloseProgramInput(program);
  EXPECT_EQ(WriteProgramInput(program, "late", 4), 0);
  EXPECT_EQ(ReadToEnd(ProgramOutput(program)), "hi\n");
  EXPECT_EQ(AwaitExitCode(program), 0);
  CloseProgram(program);
}

// Records that are no program's, and readers that are none, are ignored.
TEST(ConnectedProgram, UnknownRecordsAndReadersAreIgnored) {
  int dummy = 0;
  const auto unknown = reinterpret_cast<int64_t>(&dummy);
  for (int64_t record : {int64_t{0}, int64_t{1}, unknown}) {
    EXPECT_EQ(ProgramExitCode(record), -1);
    EXPECT_EQ(ProgramProcess(record), 0);
    EXPECT_EQ(ProgramOutput(record), nullptr);
    EXPECT_EQ(ProgramErrorOutput(record), nullptr);
    EXPECT_EQ(WriteProgramInput(record, "x", 1), 0);
    CloseProgramInput(record);
    CloseProgram(record);
  }
  // An unknown sender gives no input redirection and does not fail the start.
  const int64_t program = RunProgram(u"/bin/true", u"", u"", ProgramConnect | ProgramInputFromSender, unknown);
  ASSERT_NE(program, 0);
  EXPECT_EQ(AwaitExitCode(program), 0);
  EXPECT_EQ(NewOutputReader(-1), nullptr);
  char byte = 0;
  EXPECT_EQ(OutputAvailable(nullptr), 0);
  EXPECT_EQ(ReadOutputByte(nullptr), -1);
  EXPECT_EQ(ReadOutputCharacter(nullptr), -1);
  EXPECT_EQ(ReadOutputBlock(nullptr, &byte, 1, 1), 0);
  EXPECT_EQ(OutputEnded(nullptr), 1);
  EXPECT_EQ(OutputDescriptor(nullptr), -1);
  CloseOutputReader(nullptr);
}

}  // namespace
}  // namespace zeb
