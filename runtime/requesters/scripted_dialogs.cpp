#include "runtime/requesters/scripted_dialogs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/automation.h"
#include "platform/toolkit.h"
#include "runtime/core/json_line.h"
#include "runtime/core/text_conversion.h"
#include "runtime/events/windows.h"
#include "runtime/gadgets/gadgets.h"
#include "runtime/gadgets/text_window.h"
#include "runtime/requesters/answer_script.h"

namespace zeb {
namespace {

using platform::Automation;
using platform::ToolkitString;

struct Session {
  bool scripted = false;   // the dialogs are answered from the script
  bool malformed = false;  // then each answers as cancelled
  std::string path;       // of the script
  std::vector<ScriptedAnswer> answers;
  size_t next = 0;
  std::FILE* record = nullptr;
};

// Never destroyed: the library's end routines run after the static objects' ends.
Session& session() {
  static Session& state = *new Session();
  return state;
}

ToolkitString Wide(const std::string& text) {
  const auto length = static_cast<int64_t>(text.size());
  const int64_t count = DecodeUTF8(text.data(), length, nullptr, 0).units;
  ToolkitString wide(static_cast<size_t>(count), u'\0');
  wide.resize(static_cast<size_t>(DecodeUTF8(text.data(), length, wide.data(), count).units));
  return wide;
}

// The user presses the text window's button, or its close button.
void EndTextWindow(Automation& user, bool pressButton) {
  platform::Window* window = WindowID(kReservedWindow);
  const Zeb_GadgetStructure* button = IsGadget(kTextWindowButton);
  if (!pressButton || button == nullptr) {
    user.PressCloseButton(window);
    return;
  }
  const platform::Rect frame = user.ShownFrame(button->outerView);
  user.Click(window, {frame.x + frame.width / 2, frame.y + frame.height / 2}, 1, platform::MouseButton::Left);
}

// The user closes the dialog the export shows without answering it.
void Cancel(Automation& user, std::string_view exportName) {
  if (exportName == "ShowMenu") {
    user.WhenPopUp([&user] { user.DismissPopUp(true); });
  } else if (exportName == "GetText") {
    user.WhenKey({[&user] { EndTextWindow(user, false); }});
  } else {
    user.WhenModal([&user] { user.CloseModalWindow(); });
  }
}

// The user picks the pop-up's item with the title, or the number's item; one
// that is not there leaves nothing to pick, and the menu is dismissed.
void ChooseItem(Automation& user, const ScriptedAnswer& answer) {
  user.WhenPopUp([&user, title = Wide(answer.text), number = answer.byNumber ? answer.number : 0,
                  described = answer.Described()] {
    std::vector<ToolkitString> items;
    for (const platform::MenuEntry& entry : user.PopUpEntries()) {
      if (!entry.separator) items.push_back(entry.title);
    }
    const bool byNumber = number > 0;
    const bool there = byNumber ? number <= static_cast<int64_t>(items.size())
                                : std::find(items.begin(), items.end(), title) != items.end();
    if (!there) {
      std::fprintf(stderr, "zebext: ShowMenu was answered with %s, which its menu does not hold; dismissed\n",
                   described.c_str());
      user.DismissPopUp(true);
      return;
    }
    user.ChoosePopUpItem(byNumber ? items[static_cast<size_t>(number - 1)] : title);
  });
}

// The user gives the answer: the same presses and typing as at a desk.
void Give(Automation& user, std::string_view exportName, const ScriptedAnswer& answer) {
  if (answer.cancel) return Cancel(user, exportName);
  if (exportName == "ShowQuestion") {
    user.WhenModal([&user, button = answer.text == "yes" ? u"Yes" : u"No"] { user.PressButton(button); });
  } else if (exportName == "GetString") {
    // Backspace takes the selected default away; Return presses OK.
    user.WhenModal([&user, text = u"\b" + Wide(answer.text) + u"\r"] { user.TypeText(text); });
  } else if (exportName == "GetColor") {
    const auto Component = [&](int shift) { return static_cast<double>(answer.number >> shift & 255) / 255.0; };
    user.WhenModal([&user, color = platform::ColorComponents{Component(0), Component(8), Component(16), 1}] {
      user.PickColor(color);
      user.PressButton(u"OK");
    });
  } else if (exportName == "ShowMenu") {
    ChooseItem(user, answer);
  } else if (exportName == "GetText") {
    user.WhenKey({[&user, text = u"\b" + Wide(answer.text)] {
      user.PressKey(u'a', platform::ModifierCommand);
      user.TypeText(text);
      EndTextWindow(user, true);
    }});
  } else {
    user.WhenModal([&user, path = Wide(answer.text)] { user.ChooseFiles({path}); });
  }
}

const std::string* Argument(const std::vector<DialogArgument>& arguments, std::string_view name) {
  for (const auto& [argument, value] : arguments) {
    if (argument == name) return &value;
  }
  return nullptr;
}

// The script's next answer when it is for this export; else null, with a line on
// stderr naming the call and what the script held instead (a malformed script was
// reported when it was read).
const ScriptedAnswer* NextAnswer(std::string_view exportName, const std::vector<DialogArgument>& arguments) {
  Session& state = session();
  if (state.malformed) return nullptr;
  const std::string* title = Argument(arguments, "title");
  const std::string call = std::string(exportName) + "(" + (title != nullptr ? *title : arguments.front().second) + ")";
  if (state.next == state.answers.size()) {
    std::fprintf(stderr, "zebext: %s found no answer left in %s; answered as cancelled\n", call.c_str(),
                 state.path.c_str());
    return nullptr;
  }
  const ScriptedAnswer& answer = state.answers[state.next++];
  if (answer.exportName == exportName) return &answer;
  std::fprintf(stderr, "zebext: %s was called, but line %d of %s answers %s with %s; answered as cancelled\n",
               call.c_str(), answer.line, state.path.c_str(), answer.exportName.c_str(), answer.Described().c_str());
  return nullptr;
}

}  // namespace

bool ScriptedAnswersWanted() {
  const char* path = std::getenv("ZEBEXT_ANSWERS");
  return path != nullptr && *path != 0;
}

void InitScriptedAnswers() {
  const char* answers = std::getenv("ZEBEXT_ANSWERS");
  const char* record = std::getenv("ZEBEXT_RECORD");
  const bool wanted = ScriptedAnswersWanted() || (record != nullptr && *record != 0);
  if (!wanted) return;
  if (platform::ScriptedUser() == nullptr) {
    std::fprintf(stderr, "zebext: ZEBEXT_ANSWERS and ZEBEXT_RECORD are ignored: %s\n",
                 ScriptedAnswersWanted() ? "a display is in use" : "ZEBEXT_RECORD needs ZEBEXT_ANSWERS");
    return;
  }
  Session& state = session();
  state.scripted = true;
  state.path = answers;
  std::ifstream file(state.path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  const AnswerScript script = file ? ReadAnswerScript(text.str()) : AnswerScript{{}, "cannot be read"};
  if (!script.error.empty()) {
    std::fprintf(stderr, "zebext: the answers file %s: %s; every dialog answers as cancelled\n", answers,
                 script.error.c_str());
  }
  state.malformed = !script.error.empty();
  state.answers = script.answers;
  if (record != nullptr && *record != 0) {
    state.record = std::fopen(record, "a");
    if (state.record == nullptr) std::fprintf(stderr, "zebext: the record file %s cannot be opened\n", record);
  }
}

void EndScriptedAnswers() {
  Session& state = session();
  if (state.record != nullptr) std::fclose(state.record);
  state = Session();
}

ScriptedDialog::ScriptedDialog(std::string_view exportName, std::vector<DialogArgument> arguments)
    : exportName_(exportName), arguments_(std::move(arguments)) {
  Session& state = session();
  Automation* user = platform::ScriptedUser();
  if (!state.scripted || user == nullptr) return;
  const ScriptedAnswer* answer = NextAnswer(exportName_, arguments_);
  answer != nullptr ? Give(*user, exportName_, *answer) : Cancel(*user, exportName_);
}

const char* ScriptedDialog::Answered(const char* result) {
  Record(JsonString(result));
  return result;
}

double ScriptedDialog::Answered(double result) {
  Record(JsonNumber(result));
  return result;
}

void ScriptedDialog::Record(const std::string& result) {
  std::FILE* record = session().record;
  if (record == nullptr) return;
  std::string line = "{\"export\": " + JsonQuoted(exportName_);
  for (const auto& [name, value] : arguments_) line += ", " + JsonQuoted(name) + ": " + value;
  line += ", \"result\": " + result + "}\n";
  std::fputs(line.c_str(), record);
  std::fflush(record);
}

std::string JsonString(const char* text) { return JsonQuoted(text != nullptr ? text : ""); }

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

}  // namespace zeb
