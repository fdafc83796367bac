// zebhost run as a host's own tests run it: its arguments, lines of calls on its
// standard input, an environment of env(1) words; what it printed and wrote on
// standard error, and how it ended, with a watchdog.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/files/file_test_folder.h"

namespace zeb::testing {

struct HostRun {
  int status = -1;     // the wait status; a host the watchdog stopped was killed
  std::string output;  // what it printed
  std::string errors;  // what it wrote on standard error
};

// Each call is the export and its arguments, written as one line of words
// separated by tabs. `whileRunning` is called every 50 ms, on a thread of its own,
// until the host ends; the host is killed after a minute.
inline HostRun RunHost(const std::vector<std::string>& arguments, const std::vector<std::vector<std::string>>& calls = {},
                       const std::vector<std::string>& env = {}, const std::function<void()>& whileRunning = [] {}) {
  HostRun run;
  const file_testing::TestFolder files;
  std::string script, command = "exec timeout -s KILL 60 env";
  for (const auto& call : calls) {
    for (const std::string& word : call) script += (&word == &call.front() ? "" : "\t") + word;
    script += "\n";
  }
  if (!file_testing::WriteBytes(files / "calls", script)) return run;
  // Each word reaches the shell in single quotes, a quote in it as '\''.
  const auto quoted = [](const std::string& word) {
    std::string text = "'";
    for (const char c : word) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
  };
  for (const std::string& word : env) command += " " + quoted(word);
  command += " " + quoted(ZEB_HOST_PATH);
  for (const std::string& word : arguments) command += " " + quoted(word);
  command += " <" + quoted(files / "calls") + " >" + quoted(files / "output") + " 2>" + quoted(files / "errors");
  std::mutex mutex;
  std::condition_variable wake;
  bool ended = false;
  std::thread user([&] {
    std::unique_lock lock(mutex);
    while (!wake.wait_for(lock, std::chrono::milliseconds(50), [&] { return ended; })) whileRunning();
  });
  run.status = std::system(command.c_str());
  {
    const std::lock_guard lock(mutex);
    ended = true;
  }
  wake.notify_one();
  user.join();
  run.output = file_testing::ReadBytes(files / "output").value_or("");
  run.errors = file_testing::ReadBytes(files / "errors").value_or("");
  return run;
}

}  // namespace zeb::testing
