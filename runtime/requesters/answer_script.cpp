#include "runtime/requesters/answer_script.h"

#include <cmath>

#include "runtime/core/json_line.h"

namespace zeb {
namespace {

// What each export takes: the member of its answer, and the one that stands for
// the close button (always given as true).
struct AnswerForm {
  std::string_view exportName;
  std::string_view answer;
  std::string_view cancel;
};

constexpr AnswerForm kForms[] = {
    {"ShowQuestion", "answer", ""},    {"GetString", "text", "cancel"},   {"GetColor", "color", "cancel"},
    {"GetOpenFile", "path", "cancel"}, {"GetSaveFile", "path", "cancel"}, {"GetDirectory", "path", "cancel"},
    {"ShowMenu", "item", "dismiss"},   {"GetText", "text", "close"},
};

const AnswerForm* FindForm(std::string_view exportName) {
  for (const AnswerForm& form : kForms) {
    if (form.exportName == exportName) return &form;
  }
  return nullptr;
}

bool IsWholeNumber(const JsonScalar& value, double low, double high) {
  return value.kind == JsonScalar::Kind::Number && std::floor(value.number) == value.number && value.number >= low &&
         value.number <= high;
}

// The answer of one object, or a message saying what is wrong with it.
std::string ReadAnswer(const JsonObject& object, ScriptedAnswer& answer) {
  const JsonScalar* exportName = FindMember(object, "export");
  if (exportName == nullptr || exportName->kind != JsonScalar::Kind::String) return "no \"export\" named";
  const AnswerForm* form = FindForm(exportName->text);
  if (form == nullptr) return "\"" + exportName->text + "\" is not a dialog export";
  answer.exportName = exportName->text;
  std::string usage = answer.exportName + " takes \"" + std::string(form->answer) + "\"";
  if (!form->cancel.empty()) usage += " or \"" + std::string(form->cancel) + "\": true";
  if (object.size() != 2) return usage;
  const auto& [name, value] = object[0].first == "export" ? object[1] : object[0];
  if (!form->cancel.empty() && name == form->cancel) {
    if (value.kind != JsonScalar::Kind::True) return usage;
    answer.cancel = true;
    return "";
  }
  if (name != form->answer) return usage;
  if (answer.exportName == "ShowQuestion") {
    if (value.text == "close") {
      answer.cancel = true;
    } else if (value.kind != JsonScalar::Kind::String || (value.text != "yes" && value.text != "no")) {
      return "the answer to ShowQuestion is \"yes\", \"no\" or \"close\"";
    }
    answer.text = value.text;
    return "";
  }
  if (answer.exportName == "GetColor") {
    if (!IsWholeNumber(value, 0, 16777215)) return "a colour is an RGB integer from 0 to 16777215";
    answer.number = static_cast<int64_t>(value.number);
    return "";
  }
  if (answer.exportName == "ShowMenu" && value.kind == JsonScalar::Kind::Number) {
    if (!IsWholeNumber(value, 1, 1e9)) return "an item number counts from 1";
    answer.number = static_cast<int64_t>(value.number);
    answer.byNumber = true;
    return "";
  }
  if (value.kind != JsonScalar::Kind::String) return usage + ", a string";
  answer.text = value.text;
  return "";
}

}  // namespace

std::string ScriptedAnswer::Described() const {
  if (cancel) {
    const AnswerForm* form = FindForm(exportName);
    return form == nullptr || form->cancel.empty() ? "close" : std::string(form->cancel);
  }
  if (exportName == "ShowQuestion") return text;
  if (exportName == "GetColor") return "the colour " + std::to_string(number);
  if (exportName == "ShowMenu") return byNumber ? "item " + std::to_string(number) : "the item \"" + text + "\"";
  const bool path = exportName != "GetString" && exportName != "GetText";
  return (path ? "the path \"" : "the text \"") + text + "\"";
}

AnswerScript ReadAnswerScript(std::string_view text) {
  AnswerScript script;
  for (int line = 1; !text.empty(); ++line) {
    const size_t end = text.find('\n');
    const std::string_view content = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (content.find_first_not_of(" \t\r") == std::string_view::npos) continue;
    const JsonLine read = ParseJsonLine(content);
    ScriptedAnswer answer;
    answer.line = line;
    const std::string error = read.object ? ReadAnswer(*read.object, answer) : read.error;
    if (!error.empty()) return {{}, "line " + std::to_string(line) + ": " + error};
    script.answers.push_back(std::move(answer));
  }
  return script;
}

}  // namespace zeb
