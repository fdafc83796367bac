#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "runtime/files/data_copy.h"

namespace zeb {
namespace {

// The block size of the copy through a buffer.
constexpr int64_t kCopyBlock = 512000;

bool ReadFully(int file, char* into, int64_t count) {
  while (count > 0) {
    const ssize_t got = read(file, into, static_cast<size_t>(count));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;  // an error, or the source ended before its size
    into += got;
    count -= got;
  }
  return true;
}

bool WriteFully(int file, const char* from, int64_t count) {
  while (count > 0) {
    const ssize_t put = write(file, from, static_cast<size_t>(count));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    from += put;
    count -= put;
  }
  return true;
}

}  // namespace

bool CopyDataThroughBuffer(int in, int out, int64_t count) {
  const int64_t block = std::min(count, kCopyBlock);
  char* buffer = static_cast<char*>(std::malloc(static_cast<size_t>(block)));
  if (buffer == nullptr) return false;
  bool copied = true;
  while (copied && count > 0) {
    const int64_t step = std::min(count, block);
    copied = ReadFully(in, buffer, step) && WriteFully(out, buffer, step);
    count -= step;
  }
  std::free(buffer);
  return copied;
}

}  // namespace zeb
