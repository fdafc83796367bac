// Any POSIX system (macOS has no pipe2): the flag is set on each end after the
// pipe is made. A program that another thread of the host starts in between
// can inherit the ends; the runner's own children cannot, as it makes its pipes
// before it forks.
#include <fcntl.h>
#include <unistd.h>

#include "runtime/files/cloexec_pipe.h"

namespace zeb {

bool OpenCloexecPipe(int ends[2]) {
  if (pipe(ends) != 0) return false;
  if (fcntl(ends[0], F_SETFD, FD_CLOEXEC) == 0 && fcntl(ends[1], F_SETFD, FD_CLOEXEC) == 0) return true;
  close(ends[0]);
  close(ends[1]);
  return false;
}

}  // namespace zeb
