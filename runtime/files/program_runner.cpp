#include "runtime/files/program_runner.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "runtime/core/memory_strings.h"
#include "runtime/files/child_process.h"
#include "runtime/files/descriptor_path.h"
#include "runtime/files/parameter_line.h"
#include "runtime/files/program_records.h"
#include "runtime/files/program_search.h"

namespace zeb {
namespace {

using UTF8Text = std::unique_ptr<char, decltype(&FreeUTF8)>;

UTF8Text ToUTF8(const Unit* s) { return UTF8Text(StringToUTF8(s), FreeUTF8); }

// The pipes of a connected program: [0] the read end, [1] the write end, -1 when
// not made. Whatever the program does not end up owning is closed on the way out.
struct ProgramPipes {
  int output[2] = {-1, -1};
  int input[2] = {-1, -1};
  int error[2] = {-1, -1};

  ProgramPipes() = default;
  ProgramPipes(const ProgramPipes&) = delete;
  ProgramPipes& operator=(const ProgramPipes&) = delete;
  ~ProgramPipes() {
    for (int* pipe : {output, input, error}) {
      for (int end = 0; end < 2; ++end) {
        if (pipe[end] != -1) close(pipe[end]);
      }
    }
  }

  bool Make(int flags) {
    return ((flags & ProgramReadOutput) == 0 || MakePipe(output)) &&
           ((flags & ProgramWriteInput) == 0 || MakePipe(input)) &&
           ((flags & ProgramReadError) == 0 || MakePipe(error));
  }
};

// Hands a pipe end over to its new owner, which closes it from then on.
int Release(int* end) {
  const int descriptor = *end;
  *end = -1;
  return descriptor;
}

// The file that was found is the file started. When the child changes folder
// before exec, a relative one is made absolute first, or it would name another
// file there.
std::string ProgramFile(const char* name, const char* directory) {
  std::string file = FindProgram(name);
  if (file.empty() || file[0] == '/' || directory[0] == 0) return file;
  char* current = getcwd(nullptr, 0);
  if (current == nullptr) return file;
  std::string absolute = std::string(current) + "/" + file;
  std::free(current);
  return absolute;
}

void AddRedirection(ChildPlan* plan, int from, int to) {
  plan->redirections[plan->redirectionCount++] = {from, to};
}

// The host's read end of an output pipe as a reader; the program's write end is
// closed here. Null when no reader can be made; the read end then closes with
// the pipes.
OutputReader* TakeOutputPipe(int ends[2]) {
  close(Release(&ends[1]));
  OutputReader* reader = NewOutputReader(ends[0]);
  if (reader != nullptr) Release(&ends[0]);
  return reader;
}

// The host's write end of the input pipe as a stream, as TakeOutputPipe.
FILE* TakeInputPipe(int ends[2]) {
  close(Release(&ends[0]));
  FILE* stream = fdopen(ends[1], "w");
  if (stream == nullptr) return nullptr;
  std::fwide(stream, -1);
  Release(&ends[1]);
  return stream;
}

// The parent's side of a connected start: the record takes the host's pipe ends,
// and the program's end is waited for now (ProgramWait) or by the exit-code thread.
int64_t ConnectProgram(ProgramRecord* record, pid_t pid, ProgramPipes* pipes, int flags) {
  record->pid = pid;
  bool connected = true;
  if (pipes->output[0] != -1) connected = (record->output = TakeOutputPipe(pipes->output)) != nullptr;
  if (pipes->input[1] != -1) connected = (record->input = TakeInputPipe(pipes->input)) != nullptr && connected;
  if (pipes->error[0] != -1) {
    connected = (record->errorOutput = TakeOutputPipe(pipes->error)) != nullptr && connected;
  }
  // A pipe that could not be connected closes with `pipes`, and the program is
  // still waited for, so that it does not stay a zombie of the host.
  if ((flags & ProgramWait) != 0) {
    int status = 0;
    const bool waited = WaitForChild(pid, &status);
    StoreExitCode(record, ExitCodeOf(waited, status));
  } else if (!StartExitCodeThread(record)) {
    connected = false;
  }
  return connected ? reinterpret_cast<int64_t>(record) : 0;
}

// The sender's output pipe, reopened by the child through a path of its own
// where the system has one.
struct SenderInput {
  std::string path;
  int descriptor = -1;
};

SenderInput SenderOutput(int64_t sender) {
  SenderInput input;
  const int descriptor = OutputDescriptor(ProgramOutput(sender));
  if (descriptor == -1) return input;
  input.descriptor = descriptor;
  input.path = FreshOpenPath(descriptor);
  return input;
}

}  // namespace

int64_t RunProgram(const Unit* program, const Unit* parameters, const Unit* directory, int flags, int64_t sender) {
  UTF8Text name = ToUTF8(program);
  UTF8Text folder = ToUTF8(directory);
  if (name == nullptr || folder == nullptr) return 0;
  const std::string file = ProgramFile(name.get(), folder.get());
  if (file.empty()) return 0;
  const bool connect = (flags & ProgramConnect) != 0;
  ProgramPipes pipes;
  if (connect && !pipes.Make(flags)) return 0;
  UTF8Text line = ToUTF8(parameters);
  const std::vector<char*> arguments = SplitParameterLine(name.get(), line.get());
  ChildPlan plan{file.c_str(), arguments.data(), folder.get(), {}, 0, nullptr, -1};
  if (!connect) {
    if ((flags & ProgramWait) == 0) return StartDetached(plan) ? 1 : 0;
    const pid_t pid = StartChild(plan);
    if (pid == -1) return 0;
    int status = 0;
    WaitForChild(pid, &status);
    return 1;
  }
  if (pipes.output[1] != -1) AddRedirection(&plan, pipes.output[1], 1);
  if (pipes.input[0] != -1) AddRedirection(&plan, pipes.input[0], 0);
  if (pipes.error[1] != -1) AddRedirection(&plan, pipes.error[1], 2);
  SenderInput senderInput;
  if ((flags & ProgramInputFromSender) != 0 && sender != 0) {
    senderInput = SenderOutput(sender);
    plan.inputPath = senderInput.path.empty() ? nullptr : senderInput.path.c_str();
    plan.inputDescriptor = senderInput.descriptor;
  }
  // The record exists before the program does: once the program runs, a record
  // must be there to collect its exit code.
  ProgramRecord* record = AddProgramRecord();
  if (record == nullptr) return 0;
  const pid_t pid = StartChild(plan);
  if (pid == -1) {
    DropProgramRecord(record);
    return 0;
  }
  return ConnectProgram(record, pid, &pipes, flags);
}

int64_t RunProgram(const Unit* program, const Unit* parameters, const Unit* directory, int flags) {
  return RunProgram(program, parameters, directory, flags, 0);
}

int64_t RunProgram(const Unit* program, const Unit* parameters, const Unit* directory) {
  return RunProgram(program, parameters, directory, 0, 0);
}

int64_t RunProgram(const Unit* program) { return RunProgram(program, u"", u"", 0, 0); }

int64_t LaunchProgram(const char* program, std::span<const char* const> parameters) {
  if (program == nullptr) return 0;
  const std::string file = FindProgram(program);
  if (file.empty()) return 0;
  // exec takes the vector as char* const[] but leaves the strings as they are.
  std::vector<char*> arguments{const_cast<char*>(program)};
  for (const char* parameter : parameters.first(std::min<size_t>(parameters.size(), kMaxParameters))) {
    arguments.push_back(const_cast<char*>(parameter != nullptr ? parameter : ""));
  }
  arguments.push_back(nullptr);
  const ChildPlan plan{file.c_str(), arguments.data(), "", {}, 0, nullptr, -1};
  return StartDetached(plan) ? 1 : 0;
}

}  // namespace zeb
