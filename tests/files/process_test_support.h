// Test helpers for starting programs: "PATH" and current-folder overrides, bounded
// waits, exit codes, and what a process holds (children, descriptors).
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "runtime/files/program_runner.h"
#include "tests/files/file_test_folder.h"

namespace zeb::file_testing {

// Sets or unsets "PATH" for the life of a scope.
class PathOverride {
 public:
  explicit PathOverride(const char* value) {
    if (const char* old = std::getenv("PATH")) saved_ = old;
    value != nullptr ? setenv("PATH", value, 1) : unsetenv("PATH");
  }
  PathOverride(const PathOverride&) = delete;
  PathOverride& operator=(const PathOverride&) = delete;
  ~PathOverride() { saved_ ? setenv("PATH", saved_->c_str(), 1) : unsetenv("PATH"); }

 private:
  std::optional<std::string> saved_;
};

// Changes the process's current folder for the life of a scope.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& path)
      : saved_(std::filesystem::current_path()), changed_(chdir(path.c_str()) == 0) {}
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;
  ~CurrentFolder() {
    std::error_code gone;  // a destructor must not throw, should the saved folder have gone
    if (changed_) std::filesystem::current_path(saved_, gone);
  }
  bool changed() const { return changed_; }

 private:
  std::filesystem::path saved_;
  bool changed_;
};

// What a shell command prints on standard output; its wait status goes to *status
// (-1 when it could not be started).
inline std::string CommandOutput(const std::string& command, int* status) {
  std::string output;
  *status = -1;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char chunk[4096];
  while (const size_t n = fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, n);
  *status = pclose(pipe);
  return output;
}

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

// A connected program's exit code, waited for (bounded).
inline int32_t AwaitExitCode(int64_t program) {
  WaitUntil([&] { return ProgramExitCode(program) != -1; });
  return ProgramExitCode(program);
}

// The pids of the processes whose parent is this process, as each of its threads
// lists its children.
inline std::set<int> ChildProcesses() {
  std::set<int> children;
  std::error_code unreadable;
  for (const auto& thread : std::filesystem::directory_iterator("/proc/self/task", unreadable)) {
    std::istringstream pids(ReadBytes(thread.path().string() + "/children").value_or(""));
    for (int pid; pids >> pid;) children.insert(pid);
  }
  return children;
}

// What a descriptor of a process refers to, e.g. "pipe:[1234]".
inline std::string DescriptorTarget(const std::string& process, const std::string& descriptor) {
  std::error_code gone;
  return std::filesystem::read_symlink("/proc/" + process + "/fd/" + descriptor, gone).string();
}

}  // namespace zeb::file_testing
