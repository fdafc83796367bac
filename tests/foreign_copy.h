// Another program's copy, for the tests on a display: xclip owning the clipboard
// with the data as the type until the object ends it (by its process id).
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace zeb {

class ForeignCopy {
 public:
  ForeignCopy(const std::string& data, const std::string& type) {
    const int fd = mkstemp(path_);
    if (fd < 0 || write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size())) ADD_FAILURE();
    if (fd >= 0) close(fd);
    const std::string command =
        "exec timeout 10 xclip -quiet -selection clipboard -t '" + type + "' " + path_ + " >/dev/null 2>&1";
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    if (posix_spawnp(&pid_, "sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) pid_ = -1;
  }
  ~ForeignCopy() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);  // timeout passes it on to xclip
      waitpid(pid_, nullptr, 0);
    }
    unlink(path_);
  }

 private:
  char path_[32] = "/tmp/zeb_clip_XXXXXX";
  pid_t pid_ = -1;
};

}  // namespace zeb
