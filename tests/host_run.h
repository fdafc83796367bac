// zebhost run as a host's own tests run it: its arguments, lines of calls on its
// standard input, an environment of env(1) words; what it printed and wrote on
// standard error, and how it ended, with a watchdog.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/files/file_test_folder.h"

extern char** environ;

namespace zeb::testing {

struct HostRun {
  int status = -1;     // the wait status; -1 when the watchdog stopped the host
  std::string output;  // what it printed
  std::string errors;  // what it wrote on standard error
};

// Each call is the export and its arguments, written as one line of words
// separated by tabs. `whileRunning` is called every 50 ms until the host ends;
// the host is stopped after a minute.
inline HostRun RunHost(const std::vector<std::string>& arguments, const std::vector<std::vector<std::string>>& calls = {},
                       std::vector<std::string> env = {}, const std::function<void()>& whileRunning = [] {}) {
  HostRun run;
  const file_testing::TestFolder files;
  std::string script;
  for (const auto& call : calls) {
    for (const std::string& word : call) script += (&word == &call.front() ? "" : "\t") + word;
    script += "\n";
  }
  if (!file_testing::WriteBytes(files / "calls", script)) return run;
  env.insert(env.begin(), "env");
  env.emplace_back(ZEB_HOST_PATH);
  env.insert(env.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : env) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, (files / "calls").c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (files / "output").c_str(), O_WRONLY | O_CREAT, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (files / "errors").c_str(), O_WRONLY | O_CREAT, 0644);
  pid_t host = 0;
  const int spawned = posix_spawnp(&host, "env", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  int status = 0;
  for (int tick = 1; waitpid(host, &status, WNOHANG) == 0; ++tick) {
    if (std::chrono::steady_clock::now() > giveUp) {
      kill(host, SIGKILL);
      waitpid(host, nullptr, 0);
      return run;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (tick % 25 == 0) whileRunning();
  }
  run.status = status;
  run.output = file_testing::ReadBytes(files / "output").value_or("");
  run.errors = file_testing::ReadBytes(files / "errors").value_or("");
  return run;
}

}  // namespace zeb::testing
