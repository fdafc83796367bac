#include "runtime/files/child_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace zeb {
namespace {

void TakeAsStandardInput(const ChildPlan& plan) {
  if (plan.inputPath != nullptr) {
    // A pipe opened for reading waits for a writer unless it is opened
    // non-blocking; the flag is taken off the new open file alone afterwards.
    const int reopened = open(plan.inputPath, O_RDONLY | O_NONBLOCK);
    if (reopened != -1) {
      fcntl(reopened, F_SETFL, fcntl(reopened, F_GETFL) & ~O_NONBLOCK);
      if (reopened != 0) {
        dup2(reopened, 0);
        close(reopened);
      }
      return;
    }
  }
  if (plan.inputDescriptor != -1) dup2(plan.inputDescriptor, 0);
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
#if defined(__linux__)
  if (pipe2(ends, O_CLOEXEC) != 0) return false;
#else
  if (pipe(ends) != 0) return false;
  fcntl(ends[0], F_SETFD, FD_CLOEXEC);
  fcntl(ends[1], F_SETFD, FD_CLOEXEC);
#endif
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
