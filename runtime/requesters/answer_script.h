// A file of scripted answers to the dialog exports, for a host's tests without a
// display: JSON Lines, one object per answer, each naming the export it answers.
//   {"export": "ShowQuestion", "answer": "yes"}      "yes", "no" or "close"
//   {"export": "GetString", "text": "Ada"}           or "cancel": true
//   {"export": "GetColor", "color": 16711680}        an RGB integer, or "cancel": true
//   {"export": "GetOpenFile", "path": "/tmp/a.txt"}  also GetSaveFile, GetDirectory; or "cancel": true
//   {"export": "ShowMenu", "item": "Save"}           a title, or a number from 1; or "dismiss": true
//   {"export": "GetText", "text": "notes"}           or "close": true
// Empty lines are skipped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zeb {

struct ScriptedAnswer {
  std::string exportName;
  int line = 0;          // in the file, from 1
  bool cancel = false;   // cancel, close or dismiss: what the user's close button gives
  std::string text;      // the path, text or item title; "yes" or "no" for ShowQuestion
  int64_t number = 0;    // the colour, or the item's number when `byNumber`
  bool byNumber = false;

  // What the answer says, for messages: "the path \"/tmp/a.txt\"", "cancel".
  std::string Described() const;
};

struct AnswerScript {
  std::vector<ScriptedAnswer> answers;  // none when the file is malformed
  std::string error;                    // then "line N: what is wrong"
};

AnswerScript ReadAnswerScript(std::string_view text);

}  // namespace zeb
