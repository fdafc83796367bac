// zebhost run as a host's own tests run it. Without a display its dialogs are
// answered from a file (ZEBEXT_ANSWERS) on the headless toolkit's screen, so their
// windows, the pop-up and the text window are made and closed as with a user, and
// the calls are recorded (ZEBEXT_RECORD). A host ends cleanly after any call, in
// any way it may end: it returns from main, exits, exits from a second thread while
// its main thread waits, or unloads the library and exits; each must end with
// status 0 (no crash, no sanitizer report). On the display the dialogs are
// answered with real keys (XTest) until the host ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>
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
using testing::HostRun;
using Call = std::vector<std::string>;

// A call, the members of the scripted answer to its dialog (none for an export
// without one) and the result zebhost prints.
struct Row {
  Call call;
  std::string answer, result;
};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Every export, in the order one host calls them, each dialog answered in every
// way it can be; the first answer of each dialog leaves something behind (a text,
// a chosen item). RunFile finds the folder's launcher, which ends at once.
std::vector<Row> Rows(const std::string& folder) {
  const Call question = {"ShowQuestion", "Quit?", "Really quit?"}, name = {"GetString", "Name", "Your name:", "default", "0"},
             colour = {"GetColor", "255", "10", "10"}, directory = {"GetDirectory", "Saves", folder},
             menu = {"ShowMenu", "Open|Save|-|Quit", "-1", "0"}, notes = {"GetText", "300,200", "Notes", "old", "Done"};
  return {
      {{"AttachProcess", "0"}, "", "0"},
      {{"ClearAll"}, "", "0"},
      {{"FileExists", folder + "/level1.txt"}, "", "1"},
      {{"DirectoryExists", folder}, "", "1"},
      {{"FileCopy", folder + "/level1.txt", folder + "/copy.txt"}, "", "1"},
      {{"FileDelete", folder + "/copy.txt"}, "", "1"},
      {{"GetFolderFiles", folder, "*.txt"}, "", Quoted("level1.txt|")},
      {{"StringLoad", folder + "/level1.txt", "|"}, "", Quoted("one|two|")},
      {{"ClipboardSetText", "copied"}, "", "0"},
      {{"ClipboardGetText"}, "", Quoted("copied")},
      {{"RunFile", folder + "/level1.txt"}, "", "1"},
      {{"AddMenu", "0"}, "", "0"},
      {question, R"("answer": "yes")", "1"},
      {question, R"("answer": "no")", "0"},
      {question, R"("answer": "close")", "-1"},
      {name, R"("text": "Ada \ud83d\ude00")", Quoted("Ada \xF0\x9F\x98\x80")},
      {name, R"("cancel": true)", Quoted("")},
      {colour, R"("color": 16711935)", "16711935"},
      {colour, R"("cancel": true)", "255"},
      {{"GetOpenFile", "Open level", folder + "/", "Levels|*.txt", "1"}, "\"path\": " + Quoted(folder + "/level1.txt"),
       Quoted(folder + "/level1.txt")},
      {{"GetSaveFile", "Save game", "", "", "0"}, "\"path\": " + Quoted(folder + "/saves/new.sav"),
       Quoted(folder + "/saves/new.sav")},
      {directory, "\"path\": " + Quoted(folder + "/saves"), Quoted(folder + "/saves/")},
      {directory, R"("cancel": true)", Quoted("")},
      {menu, R"("item": "Save")", "2"},
      {menu, R"("item": 3)", "3"},
      {menu, R"("dismiss": true)", "-1"},
      {notes, R"("text": "new notes\nline 2")", R"("new notes\nline 2")"},
      {notes, R"("close": true)", Quoted("")},
      {{"DetachProcess", "0"}, "", "0"},
  };
}

// The answer file's line for a row; the "no" is written with its members the other
// way round, ended by CR LF and followed by an empty line.
std::string AnswerLine(const Row& row) {
  if (row.answer.empty()) return "";
  if (row.answer == R"("answer": "no")") return "{" + row.answer + ", \"export\": \"" + row.call[0] + "\"}\r\n\n";
  return "{\"export\": \"" + row.call[0] + "\", " + row.answer + "}\n";
}

class HostRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.ok());
    ASSERT_TRUE(MakeEntries(folder_.path(), {"level1.txt=one\ntwo\n", "saves/"}));
    ASSERT_TRUE(WriteBytes(folder_ / "xdg-open", "#!/bin/sh\nexit 0\n", 0755));
  }

  // The environment of a headless host whose dialogs `answers` answers, and which
  // finds the folder's launcher first on the path.
  std::vector<std::string> Headless(const std::string& answers) {
    EXPECT_TRUE(WriteBytes(folder_ / "answers.jsonl", answers));
    return {"-u", "WAYLAND_DISPLAY", "-u", "DISPLAY", "ZEBEXT_ANSWERS=" + folder_ / "answers.jsonl",
            "ZEBEXT_RECORD=" + folder_ / "record.jsonl", Path()};
  }
  std::string Path() const { return "PATH=" + folder_.path() + ":/usr/bin:/bin"; }

  // zebhost calls each export in one process.
  HostRun Calls(const std::vector<Call>& calls, const std::vector<std::string>& env) {
    const HostRun run = testing::RunHost({"calls"}, calls, env);
    EXPECT_EQ(run.status, 0);
    return run;
  }

  std::string Record() { return ReadBytes(folder_ / "record.jsonl").value_or(""); }

  // The first row of each export alone, then those rows in one host, each followed
  // by every ending.
  void EndEveryRowEveryWay(bool headless, const std::function<void()>& whileRunning) {
    const std::vector<Row> rows = Rows(folder_.path());
    std::vector<std::pair<std::vector<Call>, std::string>> hosts(1);
    std::set<std::string> alone;
    for (const Row& row : rows) {
      if (!alone.insert(row.call[0]).second) continue;
      hosts.push_back({{row.call}, AnswerLine(row)});
      hosts[0].first.push_back(row.call);
      hosts[0].second += AnswerLine(row);
    }
    for (const auto& [calls, answers] : hosts) {
      std::vector<std::string> env = {"-u", "ZEBEXT_ANSWERS", "-u", "ZEBEXT_RECORD", Path()};
      if (headless) env = Headless(answers);
      for (const char* ending : {"return", "exit", "thread-exit", "dlclose-exit"}) {
        const HostRun ended = testing::RunHost({"--end", ending, "calls"}, calls, env, whileRunning);
        const std::string name = calls.size() == 1 ? calls[0][0] : "every export";
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

TEST_F(HostRuns, EachDialogGetsItsScriptedAnswerAndTheCallsAreRecorded) {
  std::string answers;
  std::vector<Call> calls;
  std::vector<std::string> expected;
  size_t dialogs = 0;
  for (const Row& row : Rows(folder_.path())) {
    dialogs += !row.answer.empty();
    answers += AnswerLine(row);
    calls.push_back(row.call);
    expected.push_back(row.result);
  }
  const HostRun run = Calls(calls, Headless(answers));
  EXPECT_EQ(run.errors, "");
  std::vector<std::string> results;
  for (size_t at = 0, end; (end = run.output.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string line = run.output.substr(at, end - at);
    results.push_back(line.substr(line.rfind(" -> ") + 4));
  }
  EXPECT_EQ(results, expected);
  const std::string record = Record();
  const std::string folder = folder_.path();
  EXPECT_NE(record.find("{\"export\": \"ShowQuestion\", \"title\": \"Quit?\", \"message\": \"Really quit?\", "
                        "\"result\": 1}\n"),
            std::string::npos)
      << record;
  EXPECT_NE(record.find("{\"export\": \"GetOpenFile\", \"title\": \"Open level\", \"default\": \"" + folder +
                        "/\", \"pattern\": \"Levels|*.txt\", \"position\": 1, \"result\": \"" + folder +
                        "/level1.txt\"}\n"),
            std::string::npos)
      << record;
  EXPECT_EQ(std::count(record.begin(), record.end(), '\n'), static_cast<std::ptrdiff_t>(dialogs));
}

TEST_F(HostRuns, AWrongOrMissingAnswerCancelsAndSaysWhere) {
  const HostRun run = Calls({{"GetString", "Name", "Your name:", "default", "0"}, {"ShowQuestion", "Quit?", "Really?"}},
                            Headless("{\"export\": \"ShowQuestion\", \"answer\": \"yes\"}\n"));
  EXPECT_NE(run.output.find("-> \"\"\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("-> -1\n"), std::string::npos) << run.output;
  EXPECT_EQ(run.errors, "zebext: GetString(\"Name\") was called, but line 1 of " + folder_ / "answers.jsonl" +
                            " answers ShowQuestion with yes; answered as cancelled\n"
                            "zebext: ShowQuestion(\"Quit?\") found no answer left in " +
                            folder_ / "answers.jsonl" + "; answered as cancelled\n");
}

// A malformed line refuses the whole file: the library says once which line and
// why, and every dialog answers as cancelled.
TEST_F(HostRuns, AMalformedAnswerFileIsReportedOnceAndEveryDialogCancels) {
  const std::pair<const char*, const char*> kLines[] = {
      {R"({"export": "GetString", text})", "expected a member name at column 25"},
      {R"({"export": "GetString", "text": "a")", "expected ',' or '}' at column 36"},
      {R"({"text": "a"})", "no \"export\" named"},
      {R"({"export": "FileCopy", "path": "/a"})", "\"FileCopy\" is not a dialog export"},
      {R"({"export": "GetString", "path": "/a"})", "GetString takes \"text\" or \"cancel\": true"},
      {R"({"export": "GetString", "cancel": false})", "GetString takes \"text\" or \"cancel\": true"},
      {R"({"export": "GetString", "text": "a", "cancel": true})", "GetString takes \"text\" or \"cancel\": true"},
      {R"({"export": "GetString", "text": 5})", "GetString takes \"text\" or \"cancel\": true, a string"},
      {R"({"export": "ShowQuestion", "answer": "maybe"})",
       "the answer to ShowQuestion is \"yes\", \"no\" or \"close\""},
      {R"({"export": "ShowQuestion", "cancel": true})", "ShowQuestion takes \"answer\""},
      {R"({"export": "GetColor", "color": 16777216})", "a colour is an RGB integer from 0 to 16777215"},
      {R"({"export": "GetColor", "color": 1.5})", "a colour is an RGB integer from 0 to 16777215"},
      {R"({"export": "ShowMenu", "item": 0})", "an item number counts from 1"},
  };
  for (const auto& [line, error] : kLines) {
    const HostRun run = Calls({{"ShowQuestion", "Quit?", "Really?"}, {"GetColor", "255", "0", "0"}},
                              Headless("{\"export\": \"ShowQuestion\", \"answer\": \"yes\"}\n\n" + std::string(line)));
    EXPECT_EQ(run.output, "ShowQuestion(\"Quit?\", \"Really?\") -> -1\nGetColor(255, 0, 0) -> 255\n") << line;
    EXPECT_EQ(run.errors, "zebext: the answers file " + folder_ / "answers.jsonl" + ": line 3: " + error +
                              "; every dialog answers as cancelled\n");
  }
}

// A display is never scripted: the library says so and records nothing.
TEST_F(HostRuns, ScriptedAnswersAreIgnoredOnDisplay) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == 0) GTEST_SKIP() << "no display";
  std::vector<std::string> env = Headless("{\"export\": \"ShowQuestion\", \"answer\": \"yes\"}\n");
  env.push_back("DISPLAY=" + std::string(display));
  const HostRun run = Calls({{"DirectoryExists", "/"}}, env);
  EXPECT_EQ(run.output, "DirectoryExists(\"/\") -> 1\n");
  EXPECT_EQ(run.errors, "zebext: ZEBEXT_ANSWERS and ZEBEXT_RECORD are ignored: a display is in use\n");
  EXPECT_EQ(Record(), "");
}

TEST_F(HostRuns, EveryExportThenEveryEndingExitsCleanlyHeadless) { EndEveryRowEveryWay(true, [] {}); }

#if ZEB_HAVE_GTK
TEST_F(HostRuns, EveryExportThenEveryEndingExitsCleanlyOnDisplay) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) GTEST_SKIP() << "no display";
  const auto press = [display](KeySym key, bool down) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), down, CurrentTime);
  };
  // Again and again until the host ends: Escape, which cancels each dialog and the
  // pop-up once it is up, then Control-Tab and Return, which press the text
  // window's button (its editor keeps Escape).
  EndEveryRowEveryWay(false, [display, press] {
    for (const KeySym key : {XK_Escape, XK_Tab, XK_Return}) {
      if (key == XK_Tab) press(XK_Control_L, true);
      press(key, true);
      press(key, false);
      if (key == XK_Tab) press(XK_Control_L, false);
    }
    XFlush(display);
  });
  XCloseDisplay(display);
}
#endif

}  // namespace
}  // namespace zeb
