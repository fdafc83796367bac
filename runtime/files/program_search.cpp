#include "runtime/files/program_search.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace zeb {

bool IsExecutableFile(const char* path) {
  struct stat status;
  if (path == nullptr || stat(path, &status) != 0) return false;
  return !S_ISDIR(status.st_mode) && status.st_size >= 1 && access(path, X_OK) == 0;
}

std::string FindProgram(const char* name) {
  if (name == nullptr) return {};
  if (std::strchr(name, '/') != nullptr && IsExecutableFile(name)) return name;
  if (name[0] == '/' || (name[0] == '.' && name[1] == '/')) return {};
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  std::string candidate;
  for (std::string_view rest = path; !rest.empty();) {
    const size_t colon = rest.find(':');
    const std::string_view component = rest.substr(0, colon);
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    if (component.empty()) continue;
    candidate.assign(component);
    if (candidate.back() != '/') candidate += '/';
    candidate += name;
    if (IsExecutableFile(candidate.c_str())) return candidate;
  }
  return {};
}

}  // namespace zeb
