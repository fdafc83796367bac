// Linux: the kernel copies between the files (copy_file_range), which spares the
// trip through this process and lets a file system share or clone the blocks.
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "runtime/files/data_copy.h"

namespace zeb {
namespace {

// The most one copy_file_range call is asked for; the kernel moves at most about
// 2 GiB per call anyway.
constexpr int64_t kKernelCopyChunk = int64_t{1} << 30;

}  // namespace

bool CopyData(int in, int out, int64_t count) {
  while (count > 0) {
    const ssize_t moved =
        copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(std::min(count, kKernelCopyChunk)), 0);
    if (moved > 0) {
      count -= moved;
      continue;
    }
    if (moved == 0) return false;  // the source is shorter than its size said
    if (errno == EINTR) continue;
    // Files on different file systems, kinds of file or kernels that the kernel
    // copy does not serve: both offsets stand where the kernel left them.
    if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) {
      return CopyDataThroughBuffer(in, out, count);
    }
    return false;
  }
  return true;
}

}  // namespace zeb
