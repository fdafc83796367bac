// Whole files and folders by path: the size-or-kind query, deleting a file,
// copying a file, and copying a folder with or without its subfolders. Paths are
// runtime strings of any length; results are plain integers.
#pragma once

#include <cstdint>

#include "runtime/core/runtime_string.h"

namespace zeb {

// The file's size in bytes; -1 when the path is null or cannot be examined, -2
// when it names a directory. Symbolic links report their target.
int64_t FileSize(const Unit* path);

// Removes a file (never a directory): 1 on success, else 0. The mode is ignored.
int DeleteFile(const Unit* path, int mode);
int DeleteFile(const Unit* path);

// Copies a file's data over a new or existing destination: 1 when every byte was
// written and the destination closed cleanly, else 0. Copying a file onto itself
// (any other name for the same file included) is refused and leaves it untouched.
int CopyFile(const Unit* source, const Unit* destination);

// CopyDirectory flag: descend into subdirectories.
inline constexpr int CopyDirectoryRecursive = 1;

// Copies the files of a directory whose names match the pattern (empty: every
// file) into the destination directory, which is created (mode 0700, one level)
// when it does not exist. 1 when everything was copied, else 0. A destination
// that is the source or lies inside it is refused before anything is created.
int CopyDirectory(const Unit* source, const Unit* destination, const Unit* pattern, int flags);
int CopyDirectory(const Unit* source, const Unit* destination, const Unit* pattern);

}  // namespace zeb
