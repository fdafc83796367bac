#include "runtime/files/long_path.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string_view>

#include "runtime/core/memory_strings.h"

namespace zeb {

std::string PathText(const Unit* path) {
  bool replaced = false;
  std::string text = StringToUTF8Whole(path, BadText::kEscape, &replaced);
  if (replaced) text.clear();
  return text;
}

LongPath::LongPath(std::string text) : text_(std::move(text)) {
  char* rest = text_.data();
  size_t length = text_.size();
  while (length >= PATH_MAX) {
    // The longest leading piece the kernel takes: up to the last "/" that leaves
    // the piece and its terminator within PATH_MAX bytes.
    const size_t slash = std::string_view(rest, PATH_MAX - 1).rfind('/');
    if (slash == std::string_view::npos || slash == 0) {
      // A single name longer than any file system allows.
      errno = ENAMETOOLONG;
      return;
    }
    char* cut = rest + slash;
    *cut = 0;
    const int piece = OpenSearchDirectory(directory_, rest);
    *cut = '/';
    if (directory_ != AT_FDCWD) close(directory_);
    directory_ = piece;
    if (piece < 0) {
      directory_ = AT_FDCWD;
      return;
    }
    while (*cut == '/') ++cut;
    length -= static_cast<size_t>(cut - rest);
    rest = cut;
  }
  // A path that ends in slashes right after a cut names the directory itself.
  name_ = *rest != 0 || rest == text_.data() ? rest : ".";
}

LongPath::~LongPath() {
  if (directory_ != AT_FDCWD) close(directory_);
}

}  // namespace zeb
