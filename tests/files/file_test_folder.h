// Test helpers for the file libraries: a fresh temporary folder per test that is
// removed with everything in it, file contents in and out, patterned bytes, folder
// chains deeper than PATH_MAX, paths as runtime strings, and the descriptors the
// test process holds.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "runtime/core/runtime_string.h"
#include "runtime/core/text_conversion.h"

namespace zeb::file_testing {

// A path as a runtime string (the text is UTF-8).
inline std::u16string Units(std::string_view text) {
  std::u16string units(text.size(), u'\0');
  units.resize(static_cast<size_t>(
      DecodeUTF8(text.data(), static_cast<int64_t>(text.size()), units.data(), static_cast<int64_t>(units.size()))
          .units));
  return units;
}

class TestFolder {
 public:
  TestFolder() {
    char pattern[] = "/tmp/zeb-files-XXXXXX";
    if (mkdtemp(pattern) != nullptr) path_ = pattern;
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;
  // Removes the folder with everything in it, also below paths too long for the kernel.
  ~TestFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }

  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

// Writes a file and gives it exactly `mode`.
inline bool WriteBytes(const std::string& path, std::string_view contents, mode_t mode = 0644) {
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (file < 0) return false;
  const bool written = write(file, contents.data(), contents.size()) == static_cast<ssize_t>(contents.size());
  return fchmod(file, mode) == 0 && close(file) == 0 && written;
}

// Makes each entry under `base`: a folder for a name ending in '/', else a file
// holding the text after '=' (empty without one).
inline bool MakeEntries(const std::string& base, std::initializer_list<std::string_view> entries) {
  for (const std::string_view entry : entries) {
    const size_t equals = entry.find('=');
    const std::string path = base + "/" + std::string(entry.substr(0, equals));
    if (!(path.ends_with('/') ? mkdir(path.c_str(), 0755) == 0
                              : WriteBytes(path, equals == entry.npos ? "" : entry.substr(equals + 1)))) {
      return false;
    }
  }
  return true;
}

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

// Bytes that differ from block to block, so a block copied twice or left out shows.
inline std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919) >> 8);
  return bytes;
}

// `levels` nested folders of `nameLength`-byte names under `base`: the deepest
// one's path, longer than the kernel takes whole once levels * (nameLength + 1)
// reaches PATH_MAX, and its open descriptor (or -1), made first when `make`.
inline std::string DeepPath(const std::string& base, int levels, size_t nameLength) {
  std::string path = base;
  for (int i = 0; i < levels; ++i) path += "/" + std::string(nameLength, 'd');
  return path;
}

inline int OpenDeepFolder(const std::string& base, int levels, size_t nameLength, bool make = false) {
  const std::string name(nameLength, 'd');
  int directory = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (int i = 0; i < levels && directory >= 0; ++i) {
    if (make) mkdirat(directory, name.c_str(), 0755);
    const int next = openat(directory, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    close(directory);
    directory = next;
  }
  return directory;
}

// Gives up root for the rest of the process, so that permissions bind it, and
// opens `folder` to the user it becomes. Meant for the child of a death test.
inline bool BecomeUnprivileged(const std::string& folder) {
  constexpr uid_t kNobody = 65534;
  if (geteuid() != 0) return true;
  return chmod(folder.c_str(), 0777) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
}

// The descriptors a process holds, to show that nothing is left open.
inline std::set<std::string> OpenDescriptors(const std::string& process = "self") {
  std::set<std::string> descriptors;
  if (DIR* folder = opendir(("/proc/" + process + "/fd").c_str())) {
    const int own = dirfd(folder);
    while (const dirent* entry = readdir(folder)) {
      if (entry->d_name[0] != '.' && std::stoi(entry->d_name) != own) descriptors.insert(entry->d_name);
    }
    closedir(folder);
  }
  return descriptors;
}

}  // namespace zeb::file_testing
