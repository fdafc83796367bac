// Files of scripted dialog answers: what is refused (what each line answers, zebhost
// shows in extension/scripted_answers_test.cpp).
#include "runtime/requesters/answer_script.h"

#include <gtest/gtest.h>

#include <string>

namespace zeb {
namespace {

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
