// Apple's systems: the dynamic linker tells the path the executable was started
// by, which may pass through symbolic links.
#include <mach-o/dyld.h>

#include <cstdint>
#include <string>

#include "runtime/core/executable_path.h"

namespace zeb {

std::filesystem::path ExecutablePath() {
  uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);  // fails, giving the size the path needs
  std::string path(size, '\0');
  if (size == 0 || _NSGetExecutablePath(path.data(), &size) != 0) return {};
  path.resize(path.find('\0'));
  return path;
}

}  // namespace zeb
