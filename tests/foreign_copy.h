// Another program's copy, for the tests on a display: xclip owning the clipboard
// with the data as the type until the object ends it (by its process id).
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>

#include "tests/files/file_test_folder.h"

extern char** environ;

namespace zeb {

class ForeignCopy {
 public:
  ForeignCopy(const std::string& data, const std::string& type) {
    if (!file_testing::WriteBytes(folder_ / "data", data)) ADD_FAILURE();
    const std::string command = "exec timeout 10 xclip -quiet -selection clipboard -t '" + type + "' '" +
                                folder_ / "data" + "' >/dev/null 2>&1";
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    if (posix_spawnp(&pid_, "sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) pid_ = -1;
  }
  ~ForeignCopy() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);  // timeout passes it on to xclip
      waitpid(pid_, nullptr, 0);
    }
  }

 private:
  const file_testing::TestFolder folder_;
  pid_t pid_ = -1;
};

}  // namespace zeb
