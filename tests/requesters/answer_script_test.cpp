// Files of scripted dialog answers: what each line answers, and what is refused.
#include "runtime/requesters/answer_script.h"

#include <gtest/gtest.h>

#include <string>

namespace zeb {
namespace {

TEST(AnswerScript, EachLineAnswersOneExport) {
  const AnswerScript script = ReadAnswerScript(
      "{\"export\": \"ShowQuestion\", \"answer\": \"yes\"}\n"
      "{\"export\": \"ShowQuestion\", \"answer\": \"close\"}\r\n"
      "\n"
      "{\"answer\": \"no\", \"export\": \"ShowQuestion\"}\n"
      "{\"export\": \"GetString\", \"text\": \"Ada \\u00e9\"}\n"
      "{\"export\": \"GetString\", \"cancel\": true}\n"
      "{\"export\": \"GetColor\", \"color\": 16711680}\n"
      "{\"export\": \"GetOpenFile\", \"path\": \"/tmp/level1.txt\"}\n"
      "{\"export\": \"GetDirectory\", \"cancel\": true}\n"
      "{\"export\": \"ShowMenu\", \"item\": \"Save\"}\n"
      "{\"export\": \"ShowMenu\", \"item\": 2}\n"
      "{\"export\": \"ShowMenu\", \"dismiss\": true}\n"
      "{\"export\": \"GetText\", \"close\": true}");
  ASSERT_EQ(script.error, "");
  std::vector<std::string> described;
  for (const ScriptedAnswer& answer : script.answers) {
    described.push_back(std::to_string(answer.line) + " " + answer.exportName + ": " + answer.Described());
  }
  EXPECT_EQ(described, (std::vector<std::string>{
                           "1 ShowQuestion: yes", "2 ShowQuestion: close", "4 ShowQuestion: no",
                           "5 GetString: the text \"Ada \xC3\xA9\"", "6 GetString: cancel",
                           "7 GetColor: the colour 16711680", "8 GetOpenFile: the path \"/tmp/level1.txt\"",
                           "9 GetDirectory: cancel", "10 ShowMenu: the item \"Save\"", "11 ShowMenu: item 2",
                           "12 ShowMenu: dismiss", "13 GetText: close"}));
}

TEST(AnswerScript, AMalformedLineRefusesTheWholeFile) {
  const struct {
    const char* line;
    const char* error;
  } kCases[] = {
      {"{\"export\": \"GetString\", \"text\": \"a\"", "expected ',' or '}' at column 36"},
      {"{\"text\": \"a\"}", "no \"export\" named"},
      {"{\"export\": \"FileCopy\", \"path\": \"/a\"}", "\"FileCopy\" is not a dialog export"},
      {"{\"export\": \"GetString\", \"path\": \"/a\"}", "GetString takes \"text\" or \"cancel\": true"},
      {"{\"export\": \"GetString\", \"cancel\": false}", "GetString takes \"text\" or \"cancel\": true"},
      {"{\"export\": \"GetString\", \"text\": \"a\", \"cancel\": true}", "GetString takes \"text\" or \"cancel\": true"},
      {"{\"export\": \"GetString\", \"text\": 5}", "GetString takes \"text\" or \"cancel\": true, a string"},
      {"{\"export\": \"ShowQuestion\", \"answer\": \"maybe\"}", "the answer to ShowQuestion is \"yes\", \"no\" or \"close\""},
      {"{\"export\": \"ShowQuestion\", \"cancel\": true}", "ShowQuestion takes \"answer\""},
      {"{\"export\": \"GetColor\", \"color\": 16777216}", "a colour is an RGB integer from 0 to 16777215"},
      {"{\"export\": \"GetColor\", \"color\": 1.5}", "a colour is an RGB integer from 0 to 16777215"},
      {"{\"export\": \"ShowMenu\", \"item\": 0}", "an item number counts from 1"},
  };
  for (const auto& [line, error] : kCases) {
    const AnswerScript script = ReadAnswerScript(std::string("{\"export\": \"GetText\", \"text\": \"x\"}\n\n") + line);
    EXPECT_TRUE(script.answers.empty()) << line;
    EXPECT_EQ(script.error, std::string("line 3: ") + error) << line;
  }
}

}  // namespace
}  // namespace zeb
