// A host ends cleanly after any call, in any way it may end: one zebhost per case
// makes the calls of a row and then returns from main, exits, exits from a second
// thread while its main thread waits, or unloads the library and exits. Each must
// end with status 0: no crash, no sanitizer report. Headless, the dialogs are
// answered from a file on the headless toolkit's screen, so their windows, the
// pop-up and the text window are made and closed as with a user; on the display
// (ProcessEndOnDisplay) they are answered with real keys (XTest) until the host
// ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/files/process_test_support.h"

// After gtest: Xlib's None macro would clash with a gtest type.
#if ZEB_HAVE_GTK
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#endif

extern char** environ;

namespace zeb {
namespace {

using namespace file_testing;
using namespace std::chrono_literals;

constexpr auto kWatchdog = 20s;
const char* const kEndings[] = {"return", "exit", "thread-exit", "dlclose-exit"};

// The calls of one host, each the export and its arguments, and the answers to
// its dialogs as the headless toolkit's scripted user gives them.
struct Row {
  std::vector<std::vector<std::string>> calls;
  std::string answers;
};

// Every export with typical arguments, the dialogs answered so that they leave
// something behind (a text, a chosen item); then all of them in one host.
std::vector<Row> Rows(const std::string& folder) {
  const auto answer = [](const std::string& exportName, const std::string& members) {
    return "{\"export\": \"" + exportName + "\", " + members + "}\n";
  };
  std::vector<Row> rows = {
      {{{"AttachProcess", "0"}}, ""},
      {{{"DetachProcess", "0"}}, ""},
      {{{"ClearAll"}}, ""},
      {{{"FileExists", folder + "/a.txt"}}, ""},
      {{{"DirectoryExists", folder}}, ""},
      {{{"FileCopy", folder + "/a.txt", folder + "/copy.txt"}}, ""},
      {{{"FileDelete", folder + "/copy.txt"}}, ""},
      {{{"GetFolderFiles", folder, "*.txt"}}, ""},
      {{{"StringLoad", folder + "/a.txt", "|"}}, ""},
      {{{"ClipboardGetText"}}, ""},
      {{{"ClipboardSetText", "copied"}}, ""},
      {{{"RunFile", folder + "/missing.txt"}}, ""},
      {{{"GetOpenFile", "Open", folder + "/", "Text|*.txt", "1"}}, answer("GetOpenFile", "\"path\": \"" + folder + "/a.txt\"")},
      {{{"GetSaveFile", "Save", folder + "/b.txt", "", "0"}}, answer("GetSaveFile", "\"path\": \"" + folder + "/b.txt\"")},
      {{{"GetDirectory", "Folder", folder}}, answer("GetDirectory", "\"path\": \"" + folder + "\"")},
      {{{"GetColor", "255", "10", "10"}}, answer("GetColor", "\"color\": 65280")},
      {{{"GetString", "Name", "Your name:", "Ada", "0"}}, answer("GetString", "\"text\": \"Grace\"")},
      {{{"ShowQuestion", "Quit?", "Really quit?"}}, answer("ShowQuestion", "\"answer\": \"yes\"")},
      {{{"AddMenu", "0"}}, ""},
      {{{"ShowMenu", "Open|Save|-|Quit", "-1", "0"}}, answer("ShowMenu", "\"item\": \"Save\"")},
      {{{"GetText", "300,200", "Notes", "old notes", "Done"}}, answer("GetText", "\"text\": \"new notes\"")},
  };
  Row all;
  for (const Row& row : rows) {
    all.calls.insert(all.calls.end(), row.calls.begin(), row.calls.end());
    all.answers += row.answers;
  }
  rows.push_back(all);
  return rows;
}

// What a case's host did: its wait status (-1 when the watchdog stopped it) and
// what it wrote on stderr.
struct Ended {
  int status = -1;
  std::string errors;
};

class ProcessEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.ok());
    ASSERT_TRUE(WriteBytes(folder_ / "a.txt", "one\ntwo\n"));
  }

  // zebhost with the row's calls on stdin, ending as `ending` says, in the
  // environment that `env` arguments set; `whileRunning` is called every 50 ms
  // until the host ends.
  Ended Run(const Row& row, const std::string& ending, std::vector<std::string> env,
            const std::function<void()>& whileRunning) {
    std::string script;
    for (const auto& call : row.calls) {
      for (const std::string& word : call) script += (&word == &call.front() ? "" : "\t") + word;
      script += "\n";
    }
    EXPECT_TRUE(WriteBytes(folder_ / "calls", script));
    EXPECT_TRUE(WriteBytes(folder_ / "answers.jsonl", row.answers));
    env.insert(env.begin(), "env");
    for (const char* word : {ZEB_HOST_PATH, "--end", ending.c_str(), "calls"}) env.emplace_back(word);
    std::vector<char*> argv;
    for (std::string& word : env) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, (folder_ / "calls").c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (folder_ / "errors").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t host = 0;
    const int spawned = posix_spawnp(&host, "env", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    Ended ended;
    if (spawned != 0) return ended;
    const auto giveUp = std::chrono::steady_clock::now() + kWatchdog;
    int status = 0;
    while (waitpid(host, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > giveUp) {
        kill(host, SIGKILL);
        waitpid(host, nullptr, 0);
        return ended;
      }
      std::this_thread::sleep_for(50ms);
      whileRunning();
    }
    ended.status = status;
    ended.errors = ReadBytes(folder_ / "errors").value_or("");
    return ended;
  }

  // Every row followed by every ending.
  void EndEveryRowEveryWay(const std::vector<std::string>& env, const std::function<void()>& whileRunning) {
    for (const Row& row : Rows(folder_.path())) {
      for (const char* ending : kEndings) {
        const Ended ended = Run(row, ending, env, whileRunning);
        const std::string name = row.calls.size() == 1 ? row.calls[0][0] : "every export";
        EXPECT_TRUE(WIFEXITED(ended.status) && WEXITSTATUS(ended.status) == 0)
            << name << " then " << ending << ": wait status " << ended.status << "\n" << ended.errors;
        // The library's own complaints (an answer that did not fit) would mean the
        // dialog was cancelled instead of answered.
        EXPECT_EQ(ended.errors.find("zebext:"), std::string::npos) << name << " then " << ending << "\n" << ended.errors;
      }
    }
  }

  TestFolder folder_;
};

TEST_F(ProcessEnd, EveryExportThenEveryEndingExitsCleanlyHeadless) {
  EndEveryRowEveryWay({"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "ZEBEXT_ANSWERS=" + folder_ / "answers.jsonl"}, [] {});
}

#if ZEB_HAVE_GTK
using ProcessEndOnDisplay = ProcessEnd;

TEST_F(ProcessEndOnDisplay, EveryExportThenEveryEndingExitsCleanly) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) GTEST_SKIP() << "no display";
  const auto press = [display](KeySym key, bool down) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), down, CurrentTime);
  };
  // Again and again until the host ends: Escape, which cancels each dialog and the
  // pop-up once it is up, then Control-Tab and Return, which press the text
  // window's button (its editor keeps Escape).
  const auto answer = [display, press] {
    for (const KeySym key : {XK_Escape, XK_Tab, XK_Return}) {
      if (key == XK_Tab) press(XK_Control_L, true);
      press(key, true);
      press(key, false);
      if (key == XK_Tab) press(XK_Control_L, false);
    }
    XFlush(display);
  };
  EndEveryRowEveryWay({"-u", "ZEBEXT_ANSWERS", "-u", "ZEBEXT_RECORD"}, answer);
  XCloseDisplay(display);
}
#endif

}  // namespace
}  // namespace zeb
