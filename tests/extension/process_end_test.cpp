// A host ends cleanly after any call, in any way it may end: one zebhost per case
// makes the calls of a row and then returns from main, exits, exits from a second
// thread while its main thread waits, or unloads the library and exits. Each must
// end with status 0: no crash, no sanitizer report. Headless, the dialogs are
// answered from a file on the headless toolkit's screen, so their windows, the
// pop-up and the text window are made and closed as with a user; on the display
// (ProcessEndOnDisplay) they are answered with real keys (XTest) until the host
// ends.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/files/file_test_folder.h"
#include "tests/host_run.h"

// After gtest: Xlib's None macro would clash with a gtest type.
#if ZEB_HAVE_GTK
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#endif

namespace zeb {
namespace {

using namespace file_testing;
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

class ProcessEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.ok());
    ASSERT_TRUE(WriteBytes(folder_ / "a.txt", "one\ntwo\n"));
  }

  // Every row followed by every ending.
  void EndEveryRowEveryWay(const std::vector<std::string>& env, const std::function<void()>& whileRunning) {
    for (const Row& row : Rows(folder_.path())) {
      ASSERT_TRUE(WriteBytes(folder_ / "answers.jsonl", row.answers));
      for (const char* ending : kEndings) {
        const testing::HostRun ended = testing::RunHost({"--end", ending, "calls"}, row.calls, env, whileRunning);
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
