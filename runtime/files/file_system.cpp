#include "runtime/files/file_system.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "runtime/core/memory_strings.h"
#include "runtime/files/data_copy.h"
#include "runtime/files/long_path.h"

namespace zeb {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Truncates a regular file that holds data. A file that is empty already (a new
// one) is left alone: some file systems flush a truncated file's new data when it
// is closed, which would slow every copy down to the disk's pace.
bool Empty(int file, const struct stat& status) {
  return !S_ISREG(status.st_mode) || status.st_size == 0 || ftruncate(file, 0) == 0;
}

// The copy itself, between names relative to two directories.
int CopyFileAt(int sourceDirectory, const char* sourceName, int targetDirectory, const char* targetName) {
  // Non-blocking opens: a FIFO without a partner must not hang the copy. The data
  // moved is the source's size, so a FIFO or a device gives an empty copy.
  const int in = openat(sourceDirectory, sourceName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (in < 0) return 0;
  struct stat source;
  if (fstat(in, &source) != 0 || S_ISDIR(source.st_mode)) {
    close(in);
    return 0;
  }
  // The destination is opened without truncation so that it can first be told
  // apart from the source: truncating a second name of the source would lose it.
  const int out = openat(targetDirectory, targetName, O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (out < 0) {
    close(in);
    return 0;
  }
  struct stat target;
  const bool emptied = fstat(out, &target) == 0 && !SameFile(source, target) && Empty(out, target);
  bool copied = emptied && CopyData(in, out, source.st_size);
  // A failed close can be the first report of a write that did not reach the disk.
  if (close(out) != 0) copied = false;
  close(in);
  // A file emptied for the copy that did not get all of it goes, rather than
  // stay looking like a copy.
  if (emptied && !copied && S_ISREG(target.st_mode)) unlinkat(targetDirectory, targetName, 0);
  return copied ? 1 : 0;
}

bool IsDotOrDotDot(const char* name) { return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)); }

// Whether a directory entry is a directory. The entry's own type decides; only a
// file system that does not report types is asked with lstat.
bool IsDirectoryEntry(DIR* stream, const dirent* entry) {
  if (entry->d_type != DT_UNKNOWN) return entry->d_type == DT_DIR;
  struct stat status;
  return fstatat(dirfd(stream), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
}

int CopyTree(int source, int targetDirectory, const char* targetName, bool targetExists, const char* pattern,
             int flags);

// Copies the entries of the open directory `source` into the directory `target`;
// both descriptors are closed.
int CopyEntries(int source, int target, const char* pattern, int flags) {
  DIR* stream = fdopendir(source);
  if (stream == nullptr) {
    close(source);
    close(target);
    return 0;
  }
  int result = 1;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(stream);
    if (entry == nullptr) {
      // A listing that broke off leaves the entries after it uncopied.
      if (errno != 0) result = 0;
      break;
    }
    const char* name = entry->d_name;
    if (IsDirectoryEntry(stream, entry)) {
      if ((flags & CopyDirectoryRecursive) == 0 || IsDotOrDotDot(name)) continue;
      // A subdirectory is entered only as what it is now, never through a link.
      const int child = openat(dirfd(stream), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (child < 0) {
        result = 0;
        continue;
      }
      struct stat status;
      const bool exists = fstatat(target, name, &status, 0) == 0 && S_ISDIR(status.st_mode);
      result &= CopyTree(child, target, name, exists, pattern, flags);
    } else if (fnmatch(pattern, name, FNM_PATHNAME) == 0) {
      result &= CopyFileAt(dirfd(stream), name, target, name);
    }
  }
  closedir(stream);
  close(target);
  return result;
}

// Copies the open directory `source` (taken over) to `targetName` in
// `targetDirectory`, creating that directory unless it exists.
int CopyTree(int source, int targetDirectory, const char* targetName, bool targetExists, const char* pattern,
             int flags) {
  if (!targetExists && mkdirat(targetDirectory, targetName, 0700) != 0) {
    close(source);
    return 0;
  }
  const int target = OpenSearchDirectory(targetDirectory, targetName);
  if (target < 0) {
    close(source);
    return 0;
  }
  return CopyEntries(source, target, pattern, flags);
}

// The directory that will hold a destination that does not exist yet.
std::string ParentText(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Whether `start` or one of the directories above it is the source, found by
// walking up through ".." and comparing device and inode numbers, which also
// sees through links, "." and ".." in the text. A start that cannot be opened
// counts as outside: nothing can be created under it either.
bool LiesWithin(const std::string& start, const struct stat& source) {
  LongPath path(start);
  int current = path.valid() ? OpenSearchDirectory(path.directory(), path.name()) : -1;
  while (current >= 0) {
    struct stat here;
    struct stat above;
    const int parent = OpenSearchDirectory(current, "..");
    const bool within = fstat(current, &here) == 0 && SameFile(here, source);
    const bool top = parent < 0 || fstat(parent, &above) != 0 || SameFile(here, above);
    close(current);
    current = parent;
    if (within || top) {
      if (parent >= 0) close(parent);
      return within;
    }
  }
  return false;
}

}  // namespace

int64_t FileSize(const Unit* path) {
  if (path == nullptr) return -1;
  const LongPath file(path);
  struct stat status;
  if (!file.valid() || fstatat(file.directory(), file.name(), &status, 0) != 0) return -1;
  if (S_ISDIR(status.st_mode)) return -2;
  return status.st_size;
}

int DeleteFile(const Unit* path, int /*mode*/) {
  const LongPath file(path);
  return file.valid() && unlinkat(file.directory(), file.name(), 0) == 0 ? 1 : 0;
}

int DeleteFile(const Unit* path) { return DeleteFile(path, 0); }

int CopyFile(const Unit* source, const Unit* destination) {
  const LongPath from(source);
  const LongPath to(destination);
  if (!from.valid() || !to.valid()) return 0;
  return CopyFileAt(from.directory(), from.name(), to.directory(), to.name());
}

int CopyDirectory(const Unit* source, const Unit* destination, const Unit* pattern, int flags) {
  const std::string sourceText = PathText(source);
  const std::string passed = PathText(destination);
  if (sourceText.empty() || passed.empty()) return 0;
  std::string target = passed;
  if (target.size() > 1 && target.back() == '/') target.pop_back();
  const std::string patternText = StringToUTF8Whole(pattern, BadText::kEscape);
  const char* filter = patternText.empty() ? "*" : patternText.c_str();

  const LongPath asPassed(passed);
  struct stat status;
  const bool targetExists =
      asPassed.valid() && fstatat(asPassed.directory(), asPassed.name(), &status, 0) == 0 && S_ISDIR(status.st_mode);
  const LongPath from(sourceText);
  const int sourceDirectory =
      from.valid() ? openat(from.directory(), from.name(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
  if (sourceDirectory < 0) return 0;
  struct stat sourceStatus;
  if (fstat(sourceDirectory, &sourceStatus) != 0 ||
      LiesWithin(targetExists ? target : ParentText(target), sourceStatus)) {
    close(sourceDirectory);
    return 0;
  }
  const LongPath to(target);
  if (!to.valid()) {
    close(sourceDirectory);
    return 0;
  }
  // The root always exists; every other missing destination is made, one level.
  return CopyTree(sourceDirectory, to.directory(), to.name(), targetExists || target == "/", filter, flags);
}

int CopyDirectory(const Unit* source, const Unit* destination, const Unit* pattern) {
  return CopyDirectory(source, destination, pattern, 0);
}

}  // namespace zeb
