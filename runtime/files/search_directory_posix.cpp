// Any POSIX system: O_SEARCH (macOS has it) needs search permission only; where
// the system lacks it, the directory is opened for reading, which also needs read
// permission.
#include "runtime/files/long_path.h"

namespace zeb {

#if defined(O_SEARCH)
constexpr int kSearchOnly = O_SEARCH;
#else
constexpr int kSearchOnly = O_RDONLY;
#endif

int OpenSearchDirectory(int directory, const char* name) {
  return openat(directory, name, kSearchOnly | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace zeb
