// Scripted answers as a host's test uses them: zebhost without a display, with
// ZEBEXT_ANSWERS naming a file of answers and ZEBEXT_RECORD a record of the calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/files/file_test_folder.h"
#include "tests/host_run.h"

namespace zeb {
namespace {

using namespace file_testing;

using testing::HostRun;

class ScriptedAnswers : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.ok()); }

  // zebhost calls each export in one process, its dialogs answered by `answers`.
  HostRun Calls(const std::string& answers, const std::vector<std::vector<std::string>>& calls,
                const std::string& display = "") {
    EXPECT_TRUE(WriteBytes(folder_ / "answers.jsonl", answers));
    std::vector<std::string> env = {"-u", "WAYLAND_DISPLAY", "-u", "DISPLAY", "ZEBEXT_ANSWERS=" + folder_ / "answers.jsonl",
                                    "ZEBEXT_RECORD=" + folder_ / "record.jsonl"};
    if (!display.empty()) env.push_back("DISPLAY=" + display);
    const HostRun run = testing::RunHost({"calls"}, calls, env);
    EXPECT_EQ(run.status, 0);
    return run;
  }

  std::string Record() { return ReadBytes(folder_ / "record.jsonl").value_or(""); }

  TestFolder folder_;
};

TEST_F(ScriptedAnswers, EachDialogGetsItsAnswerAndTheCallsAreRecorded) {
  const std::string folder = folder_.path();
  ASSERT_TRUE(MakeEntries(folder, {"level1.txt=1", "saves/"}));
  using Call = std::vector<std::string>;
  const Call question = {"ShowQuestion", "Quit?", "Really quit?"}, name = {"GetString", "Name", "Your name:", "default", "0"},
             colour = {"GetColor", "255", "10", "10"}, directory = {"GetDirectory", "Saves", folder},
             menu = {"ShowMenu", "Open|Save|-|Quit", "-1", "0"}, notes = {"GetText", "300,200", "Notes", "old", "Done"};
  const auto quoted = [](const std::string& text) { return "\"" + text + "\""; };
  // Each call, the members of the answer for its export, and the result.
  const struct {
    Call call;
    std::string answer, result;
  } kCalls[] = {
      {question, R"("answer": "yes")", "1"},
      {question, R"("answer": "no")", "0"},
      {question, R"("answer": "close")", "-1"},
      {name, R"("text": "Ada \ud83d\ude00")", quoted("Ada \xF0\x9F\x98\x80")},
      {name, R"("text": "")", quoted("")},
      {name, R"("cancel": true)", quoted("")},
      {colour, R"("color": 16711935)", "16711935"},
      {colour, R"("cancel": true)", "255"},
      {{"GetOpenFile", "Open level", folder + "/", "Levels|*.txt", "1"}, "\"path\": " + quoted(folder + "/level1.txt"),
       quoted(folder + "/level1.txt")},
      {{"GetSaveFile", "Save game", "", "", "0"}, "\"path\": " + quoted(folder + "/saves/new.sav"),
       quoted(folder + "/saves/new.sav")},
      {directory, "\"path\": " + quoted(folder + "/saves"), quoted(folder + "/saves/")},
      {directory, R"("cancel": true)", quoted("")},
      {menu, R"("item": "Save")", "2"},
      {menu, R"("item": 3)", "3"},
      {menu, R"("dismiss": true)", "-1"},
      {notes, R"("text": "new notes\nline 2")", R"("new notes\nline 2")"},
      {notes, R"("close": true)", quoted("")},
  };
  std::string answers;
  std::vector<Call> calls;
  std::vector<std::string> expected;
  for (const auto& [call, answer, result] : kCalls) {
    // The "no" written with its members the other way round, ended by CR LF and
    // followed by an empty line.
    answers += &result == &kCalls[1].result ? "{" + answer + ", \"export\": \"" + call[0] + "\"}\r\n\n"
                                            : "{\"export\": \"" + call[0] + "\", " + answer + "}\n";
    calls.push_back(call);
    expected.push_back(result);
  }
  const HostRun run = Calls(answers, calls);
  EXPECT_EQ(run.errors, "");
  std::vector<std::string> results;
  for (size_t at = 0, end; (end = run.output.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string line = run.output.substr(at, end - at);
    results.push_back(line.substr(line.rfind(" -> ") + 4));
  }
  EXPECT_EQ(results, expected);
  const std::string record = Record();
  EXPECT_NE(record.find("{\"export\": \"ShowQuestion\", \"title\": \"Quit?\", \"message\": \"Really quit?\", "
                        "\"result\": 1}\n"),
            std::string::npos)
      << record;
  EXPECT_NE(record.find("{\"export\": \"GetOpenFile\", \"title\": \"Open level\", \"default\": \"" + folder +
                        "/\", \"pattern\": \"Levels|*.txt\", \"position\": 1, \"result\": \"" + folder +
                        "/level1.txt\"}\n"),
            std::string::npos)
      << record;
  EXPECT_EQ(std::count(record.begin(), record.end(), '\n'), 17);
}

TEST_F(ScriptedAnswers, AWrongOrMissingAnswerCancelsAndSaysWhere) {
  const HostRun run = Calls("{\"export\": \"ShowQuestion\", \"answer\": \"yes\"}\n",
                        {{"GetString", "Name", "Your name:", "default", "0"}, {"ShowQuestion", "Quit?", "Really?"}});
  EXPECT_NE(run.output.find("-> \"\"\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("-> -1\n"), std::string::npos) << run.output;
  EXPECT_EQ(run.errors, "zebext: GetString(\"Name\") was called, but line 1 of " + folder_ / "answers.jsonl" +
                            " answers ShowQuestion with yes; answered as cancelled\n"
                            "zebext: ShowQuestion(\"Quit?\") found no answer left in " +
                            folder_ / "answers.jsonl" + "; answered as cancelled\n");
}

TEST_F(ScriptedAnswers, AMalformedFileIsReportedOnceAndEveryDialogCancels) {
  const HostRun run = Calls("{\"export\": \"ShowQuestion\", \"answer\": \"yes\"}\n{\"export\": \"GetString\", text}\n",
                        {{"ShowQuestion", "Quit?", "Really?"}, {"GetColor", "255", "0", "0"}});
  EXPECT_NE(run.output.find("-> -1\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("-> 255\n"), std::string::npos) << run.output;
  EXPECT_EQ(run.errors, "zebext: the answers file " + folder_ / "answers.jsonl" +
                            ": line 2: expected a member name at column 25; every dialog answers as cancelled\n");
}

// A display is never scripted: the library says so and records nothing.
TEST_F(ScriptedAnswers, AreIgnoredOnDisplay) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == 0) GTEST_SKIP() << "no display";
  const HostRun run = Calls("{\"export\": \"ShowQuestion\", \"answer\": \"yes\"}\n", {{"DirectoryExists", "/"}}, display);
  EXPECT_EQ(run.output, "DirectoryExists(\"/\") -> 1\n");
  EXPECT_EQ(run.errors, "zebext: ZEBEXT_ANSWERS and ZEBEXT_RECORD are ignored: a display is in use\n");
  EXPECT_EQ(Record(), "");
}

}  // namespace
}  // namespace zeb
