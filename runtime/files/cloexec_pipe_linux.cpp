// Linux: pipe2 makes the ends closed on exec at once, so a program that another
// thread starts meanwhile never inherits them.
#include <fcntl.h>
#include <unistd.h>

#include "runtime/files/cloexec_pipe.h"

namespace zeb {

bool OpenCloexecPipe(int ends[2]) { return pipe2(ends, O_CLOEXEC) == 0; }

}  // namespace zeb
