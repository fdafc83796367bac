// A pipe whose two ends are closed on exec, as the system makes one:
// cloexec_pipe_linux.cpp in one call, cloexec_pipe_posix.cpp (any POSIX system)
// with a flag set on each end after it is made; CMake builds one.
#pragma once

namespace zeb {

// False when the pipe cannot be made; nothing is then left open.
bool OpenCloexecPipe(int ends[2]);

}  // namespace zeb
