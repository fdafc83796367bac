// Test helpers for the file libraries: a fresh temporary folder per test that is
// removed with everything in it (also below paths too long for the kernel to take
// whole), file contents in and out, folder chains deeper than PATH_MAX, and paths
// as runtime strings.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <string_view>

#include "runtime/core/runtime_string.h"
#include "runtime/core/text_conversion.h"

namespace zeb::file_testing {

// A path as a runtime string (the text is UTF-8).
inline std::u16string Units(std::string_view text) {
  std::u16string units(text.size(), u'\0');
  const int64_t count =
      DecodeUTF8(text.data(), static_cast<int64_t>(text.size()), units.data(), static_cast<int64_t>(units.size()))
          .units;
  units.resize(static_cast<size_t>(count));
  return units;
}

// Removes `name` in `directory` with everything below it, walking by descriptors.
inline void RemoveTree(int directory, const char* name) {
  if (unlinkat(directory, name, 0) == 0) return;
  const int inside = openat(directory, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (inside < 0) return;
  if (DIR* stream = fdopendir(inside)) {
    while (const dirent* entry = readdir(stream)) {
      const std::string child = entry->d_name;
      if (child != "." && child != "..") RemoveTree(inside, child.c_str());
    }
    closedir(stream);
  } else {
    close(inside);
  }
  unlinkat(directory, name, AT_REMOVEDIR);
}

class TestFolder {
 public:
  TestFolder() {
    char pattern[] = "/tmp/zeb-files-XXXXXX";
    if (mkdtemp(pattern) != nullptr) path_ = pattern;
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;
  ~TestFolder() {
    if (!path_.empty()) RemoveTree(AT_FDCWD, path_.c_str());
  }

  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

// Writes a file relative to a directory descriptor (AT_FDCWD for a plain path).
inline bool WriteAt(int directory, const std::string& name, std::string_view contents) {
  const int file = openat(directory, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (file < 0) return false;
  const bool written = write(file, contents.data(), contents.size()) == static_cast<ssize_t>(contents.size());
  return close(file) == 0 && written;
}

inline bool WriteBytes(const std::string& path, std::string_view contents) { return WriteAt(AT_FDCWD, path, contents); }

inline std::optional<std::string> ReadAt(int directory, const std::string& name) {
  const int file = openat(directory, name.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return std::nullopt;
  std::string contents;
  char block[65536];
  ssize_t got;
  while ((got = read(file, block, sizeof block)) > 0) contents.append(block, static_cast<size_t>(got));
  close(file);
  if (got < 0) return std::nullopt;
  return contents;
}

inline std::optional<std::string> ReadBytes(const std::string& path) { return ReadAt(AT_FDCWD, path); }

// Makes `levels` nested folders of `nameLength`-byte names under `base` (a
// directory that exists) and returns the deepest one's path, which is longer than
// the kernel takes whole when levels * (nameLength + 1) reaches PATH_MAX.
inline std::string MakeDeepFolder(const std::string& base, int levels, size_t nameLength) {
  std::string path = base;
  const std::string name(nameLength, 'd');
  int directory = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (int i = 0; i < levels && directory >= 0; ++i) {
    mkdirat(directory, name.c_str(), 0755);
    const int next = openat(directory, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    close(directory);
    directory = next;
    path += "/" + name;
  }
  if (directory >= 0) close(directory);
  return path;
}

// The open descriptor of a deep folder made by MakeDeepFolder, or -1.
inline int OpenDeepFolder(const std::string& base, int levels, size_t nameLength) {
  const std::string name(nameLength, 'd');
  int directory = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (int i = 0; i < levels && directory >= 0; ++i) {
    const int next = openat(directory, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    close(directory);
    directory = next;
  }
  return directory;
}

// Gives up root for the rest of the process, so that permissions bind it. Meant
// for the child of a death test; false when the user cannot be changed.
inline bool BecomeUnprivileged() {
  constexpr uid_t kNobody = 65534;
  if (geteuid() != 0) return true;
  return setgid(kNobody) == 0 && setuid(kNobody) == 0;
}

// Lets a user other than the folder's owner work in it.
inline bool OpenToEveryone(const std::string& folder) { return chmod(folder.c_str(), 0777) == 0; }

// How many descriptors the process holds, to show that nothing is left open.
inline int OpenDescriptorCount() {
  int count = 0;
  if (DIR* stream = opendir("/proc/self/fd")) {
    while (readdir(stream) != nullptr) ++count;
    closedir(stream);
  }
  return count;
}

}  // namespace zeb::file_testing
