// Linux: an O_PATH descriptor needs search permission only, and cannot be read
// with readdir.
#include "runtime/files/long_path.h"

namespace zeb {

int OpenSearchDirectory(int directory, const char* name) {
  return openat(directory, name, O_PATH | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace zeb
