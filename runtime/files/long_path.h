// Paths of any length for the *at system calls. The kernel refuses a whole path of
// PATH_MAX bytes or more, but takes a shorter one relative to an open directory; so
// a long path is opened piece by piece, each piece ending at a "/" within the
// limit, and the operation then names only the last piece, relative to the
// directory of the piece before it. Short paths are used as they are.
#pragma once

#include <fcntl.h>

#include <string>

#include "runtime/core/runtime_string.h"

namespace zeb {

// The bytes of a runtime path, for the operating system: UTF-8, with each escaped
// byte of a name that is not UTF-8 given back as that byte. Null, and a string
// with a surrogate that stands for no byte, give the empty path, which names
// nothing: such a path is refused rather than cut short.
std::string PathText(const Unit* path);

class LongPath {
 public:
  explicit LongPath(const Unit* path) : LongPath(PathText(path)) {}
  explicit LongPath(std::string text);
  ~LongPath();
  LongPath(const LongPath&) = delete;
  LongPath& operator=(const LongPath&) = delete;

  // False when a leading piece could not be opened (errno says why); the path
  // then names nothing.
  bool valid() const { return name_ != nullptr; }
  // AT_FDCWD for a short path, else the open directory that `name` is relative to.
  int directory() const { return directory_; }
  const char* name() const { return name_; }

 private:
  std::string text_;
  int directory_ = AT_FDCWD;
  const char* name_ = nullptr;
};

// Opens a directory that serves only as the base of *at calls and for fstat, with
// as little permission as the system allows: search permission only where it can
// open so (search_directory_linux.cpp, search_directory_posix.cpp).
int OpenSearchDirectory(int directory, const char* name);

}  // namespace zeb
