#include "runtime/files/child_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/files/cloexec_pipe.h"

namespace zeb {
namespace {

void TakeAsStandardInput(const ChildPlan& plan) {
  // A pipe opened for reading waits for a writer unless it is opened
  // non-blocking; the flag is taken off the program's input afterwards. On the
  // descriptor itself that also reaches the host's end, whose reader then waits
  // for bytes before it reads (output_reader.cpp).
  const int reopened = plan.inputPath != nullptr ? open(plan.inputPath, O_RDONLY | O_NONBLOCK) : -1;
  const int input = reopened != -1 ? reopened : plan.inputDescriptor;
  if (input == -1) return;
  if (input != 0) dup2(input, 0);
  if (reopened > 0) close(reopened);
  fcntl(0, F_SETFL, fcntl(0, F_GETFL) & ~O_NONBLOCK);
}

[[noreturn]] void RunChild(const ChildPlan& plan) {
  // A folder that cannot be entered leaves the program in the inherited one.
  if (plan.directory[0] != 0) (void)chdir(plan.directory);
  // dup2 leaves the copy open across exec; the pipe ends themselves close there.
  for (int i = 0; i < plan.redirectionCount; ++i) dup2(plan.redirections[i].from, plan.redirections[i].to);
  TakeAsStandardInput(plan);
  execv(plan.file, plan.arguments);
  _exit(1);
}

bool ReadAll(int descriptor, void* target, size_t size) {
  auto* bytes = static_cast<char*>(target);
  while (size > 0) {
    const ssize_t got = read(descriptor, bytes, size);
    if (got == -1 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

}  // namespace

bool MakePipe(int ends[2]) {
  if (!OpenCloexecPipe(ends)) return false;
  for (int i = 0; i < 2; ++i) {
    if (ends[i] > 2) continue;
    const int moved = fcntl(ends[i], F_DUPFD_CLOEXEC, 3);
    close(ends[i]);
    if (moved == -1) {
      close(ends[1 - i]);
      return false;
    }
    ends[i] = moved;
  }
  return true;
}

pid_t StartChild(const ChildPlan& plan) {
  const pid_t pid = fork();
  if (pid == 0) RunChild(plan);
  return pid;
}

bool StartDetached(const ChildPlan& plan) {
  int ends[2];
  if (!MakePipe(ends)) return false;
  const pid_t first = fork();
  if (first == 0) {
    close(ends[0]);
    const pid_t program = fork();
    if (program == 0) {
      close(ends[1]);
      RunChild(plan);
    }
    // One write of a pid is atomic on a pipe; the parent learns whether the
    // program's process exists.
    const bool told = program != -1 && write(ends[1], &program, sizeof program) == sizeof program;
    _exit(told ? 0 : 1);
  }
  close(ends[1]);
  pid_t program = -1;
  const bool heard = first != -1 && ReadAll(ends[0], &program, sizeof program);
  close(ends[0]);
  int status = 0;
  const bool reaped = first != -1 && WaitForChild(first, &status);
  return heard && reaped && program != -1;
}

bool WaitForChild(pid_t pid, int* status) {
  while (waitpid(pid, status, 0) == -1) {
    if (errno != EINTR) return false;
  }
  return true;
}

}  // namespace zeb
