// libFuzzer target for reading a line of a JSON Lines file: the input's bytes are
// the line. Whatever they are, the reader either gives an object or says what is
// wrong at a column inside the line (or just past it); an object written out again
// (names and strings quoted, numbers as they were written) reads back as the
// same object. Read as a whole file of dialog answers, the bytes give either
// answers, each naming its export and line, or an error naming the line, never
// both. A broken property ends the run like a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/require.h"
#include "runtime/core/json_line.h"
#include "runtime/requesters/answer_script.h"

namespace {

std::string Written(const zeb::JsonObject& object) {
  static const char* const kWords[] = {"", "", "true", "false", "null"};
  std::string out = "{";
  for (const auto& [name, value] : object) {
    if (out.size() > 1) out += ", ";
    out += zeb::JsonQuoted(name) + ": ";
    switch (value.kind) {
      case zeb::JsonScalar::Kind::String: out += zeb::JsonQuoted(value.text); break;
      case zeb::JsonScalar::Kind::Number: out += value.text; break;
      default: out += kWords[static_cast<int>(value.kind)];
    }
  }
  return out + "}";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const zeb::AnswerScript script = zeb::ReadAnswerScript(line);
  Require(script.error.empty() || (script.answers.empty() && script.error.rfind("line ", 0) == 0));
  for (const zeb::ScriptedAnswer& answer : script.answers) Require(!answer.exportName.empty() && answer.line >= 1);
  const zeb::JsonLine read = zeb::ParseJsonLine(line);
  if (!read.object) {
    const size_t at = read.error.rfind(" at column ");
    Require(at != std::string::npos);
    const long column = std::strtol(read.error.c_str() + at + 11, nullptr, 10);
    Require(column >= 1 && static_cast<size_t>(column) <= size + 1);
    return 0;
  }
  // Written out, the names, kinds and texts of the members are all there, in order
  // (a number's value is read from its text).
  const std::string written = Written(*read.object);
  const zeb::JsonLine again = zeb::ParseJsonLine(written);
  Require(again.object.has_value() && Written(*again.object) == written);
  return 0;
}
