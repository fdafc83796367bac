// Dialogs answered from a file, for a host's tests without a display. With
// ZEBEXT_ANSWERS naming an answer script (answer_script.h), the headless toolkit
// gets a screen and an automated user, and each dialog export is answered by the
// script's next answer, through the same requesters and the same input a user
// gives. With ZEBEXT_RECORD naming a file, every dialog call is appended to it as a
// JSON line: the export, its arguments and its result. A display is never scripted:
// there both variables are ignored (one line on stderr says so).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zeb {

// Whether ZEBEXT_ANSWERS is set: the toolkit is then chosen with an automated user.
bool ScriptedAnswersWanted();

// Reads the answer script and opens the record; run at load, after StartApplication.
// A script that cannot be read or is malformed is reported once on stderr, and every
// dialog then answers as cancelled.
void InitScriptedAnswers();
// Closes the record.
void EndScriptedAnswers();

// An argument of a dialog call as the record shows it: its name and its JSON value.
using DialogArgument = std::pair<std::string_view, std::string>;

// One dialog export's call. Made before its dialog runs: with a script, the
// automated user is set to give the next answer, or, when that answer is for
// another export or none is left, to cancel (and one line on stderr names the call
// and what the script held instead).
class ScriptedDialog {
 public:
  ScriptedDialog(std::string_view exportName, std::vector<DialogArgument> arguments);
  ScriptedDialog(const ScriptedDialog&) = delete;
  ScriptedDialog& operator=(const ScriptedDialog&) = delete;

  // Records the call with the export's result, and gives the result back.
  const char* Answered(const char* result);
  double Answered(double result);

 private:
  void Record(const std::string& result);

  std::string_view exportName_;
  std::vector<DialogArgument> arguments_;
};

// A host's string (null as "") and a number as their JSON values.
std::string JsonString(const char* text);
std::string JsonNumber(double value);

}  // namespace zeb
