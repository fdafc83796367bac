// Linux: /proc/self/exe links to the executable.
#include <system_error>

#include "runtime/core/executable_path.h"

namespace zeb {

std::filesystem::path ExecutablePath() {
  std::error_code error;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : path;
}

}  // namespace zeb
