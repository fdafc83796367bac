// Test helpers for starting programs: temporary folders and scripts, "PATH"
// overrides, bounded waits, and what the test process itself holds (children,
// open descriptors).
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zeb::testing_support {

// A folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp");
    pattern += "/zeb-runner-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  ~TemporaryFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline bool WriteFile(const std::string& path, const std::string& content, mode_t mode) {
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    if (!file) return false;
  }
  return chmod(path.c_str(), mode) == 0;
}

inline std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Sets or unsets "PATH" for the life of a scope.
class PathOverride {
 public:
  explicit PathOverride(const char* value) {
    if (const char* old = std::getenv("PATH")) saved_ = old;
    if (value != nullptr) {
      setenv("PATH", value, 1);
    } else {
      unsetenv("PATH");
    }
  }
  PathOverride(const PathOverride&) = delete;
  PathOverride& operator=(const PathOverride&) = delete;
  ~PathOverride() {
    if (saved_) {
      setenv("PATH", saved_->c_str(), 1);
    } else {
      unsetenv("PATH");
    }
  }

 private:
  std::optional<std::string> saved_;
};

// Changes the process's current folder for the life of a scope.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& path) {
    char* current = getcwd(nullptr, 0);
    if (current != nullptr) saved_ = current;
    std::free(current);
    changed_ = chdir(path.c_str()) == 0;
  }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;
  ~CurrentFolder() {
    if (changed_) changed_ = chdir(saved_.c_str()) != 0;
  }
  bool changed() const { return changed_; }

 private:
  std::string saved_;
  bool changed_ = false;
};

// Polls `done` every 10 ms for at most `seconds`: a watchdog, so that a fault
// fails the test instead of hanging it.
inline bool WaitUntil(const std::function<bool()>& done, int seconds = 10) {
  for (int round = 0; round < seconds * 100; ++round) {
    if (done()) return true;
    const timespec pause = {0, 10'000'000};
    nanosleep(&pause, nullptr);
  }
  return done();
}

struct ChildProcess {
  int pid;
  char state;
};

// The processes whose parent is this process, from each process's stat line.
inline std::vector<ChildProcess> ChildProcesses() {
  std::vector<ChildProcess> children;
  DIR* folder = opendir("/proc");
  if (folder == nullptr) return children;
  const int self = getpid();
  while (const dirent* entry = readdir(folder)) {
    if (entry->d_name[0] < '1' || entry->d_name[0] > '9') continue;
    const std::optional<std::string> stat = ReadFile(std::string("/proc/") + entry->d_name + "/stat");
    if (!stat) continue;
    // "pid (name) state ppid ...": the name may hold spaces and parentheses.
    const size_t close = stat->rfind(')');
    if (close == std::string::npos || close + 4 > stat->size()) continue;
    const char state = (*stat)[close + 2];
    const int parent = std::atoi(stat->c_str() + close + 4);
    if (parent == self) children.push_back({std::atoi(stat->c_str()), state});
  }
  closedir(folder);
  return children;
}

inline std::set<std::string> OpenDescriptors(const std::string& process = "self") {
  std::set<std::string> descriptors;
  const std::string base = "/proc/" + process + "/fd";
  if (DIR* folder = opendir(base.c_str())) {
    const int own = dirfd(folder);
    while (const dirent* entry = readdir(folder)) {
      if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == own) continue;
      descriptors.insert(entry->d_name);
    }
    closedir(folder);
  }
  return descriptors;
}

// What a descriptor of a process refers to, e.g. "pipe:[1234]".
inline std::string DescriptorTarget(const std::string& process, const std::string& descriptor) {
  std::string target(4096, '\0');
  const ssize_t length = readlink(("/proc/" + process + "/fd/" + descriptor).c_str(), target.data(), target.size());
  target.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return target;
}

// The test process's pipes as their descriptor targets.
inline std::set<std::string> OwnPipes() {
  std::set<std::string> pipes;
  for (const std::string& descriptor : OpenDescriptors()) {
    const std::string target = DescriptorTarget("self", descriptor);
    if (target.starts_with("pipe:")) pipes.insert(target);
  }
  return pipes;
}

// Test paths are ASCII: as runtime strings they are the same characters.
inline std::u16string Units(const std::string& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace zeb::testing_support
