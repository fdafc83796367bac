// Moving a file's data between two open descriptors, for the file copy. How the
// system moves it differs: data_copy_linux.cpp lets the kernel copy where it can,
// data_copy_posix.cpp (any POSIX system) copies through a buffer; CMake builds one.
#pragma once

#include <cstdint>

namespace zeb {

// Moves `count` bytes from the current offset of `in` to that of `out`. False on
// any failed or short read or write: the source ended before `count` bytes.
bool CopyData(int in, int out, int64_t count);

// The same through a buffer in this process, with read and write only.
bool CopyDataThroughBuffer(int in, int out, int64_t count);

}  // namespace zeb
