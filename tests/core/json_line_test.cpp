// Lines of a JSON Lines file read as flat objects.
#include "runtime/core/json_line.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>

namespace zeb {
namespace {

// Each member as name=kind:text (and =value for a number), in order, or the error;
// each member must be found under its name, and no other.
std::string Described(std::string_view line) {
  const JsonLine read = ParseJsonLine(line);
  if (!read.object) return "error: " + read.error;
  std::ostringstream out;
  out << std::setprecision(17);
  for (const auto& [name, value] : *read.object) {
    static const char* const kKinds[] = {"s", "n", "true", "false", "null"};
    out << name << "=" << kKinds[static_cast<int>(value.kind)] << ":" << value.text;
    if (value.kind == JsonScalar::Kind::Number) out << "=" << value.number;
    out << (FindMember(*read.object, name) == &value ? " " : " (not found) ");
  }
  if (FindMember(*read.object, "missing") != nullptr) out << "(missing found)";
  return out.str();
}

TEST(JsonLine, ReadsFlatObjectsAndSaysWhereOthersGoWrong) {
  const struct {
    std::string_view line;
    std::string described;
  } kCases[] = {
      {"  {}  ", ""},
      {R"({"a":16711680,"b":-0.5e+3,"c":true,"d":false,"e":null,"f":-2.5E-1})",
       "a=n:16711680=16711680 b=n:-0.5e+3=-500 c=true: d=false: e=null: f=n:-2.5E-1=-0.25 "},
      {R"({"t": "q\"b\\s\/\b\f\n\r\t"})", "t=s:q\"b\\s/\b\f\n\r\t "},
      {R"({"t": "\u00e9\u20AC\ud83d\ude00 é"})", "t=s:\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80 \xC3\xA9 "},
      {"", "error: expected '{' at column 1"},
      {R"({"a" 1})", "error: expected ':' at column 6"},
      {R"({"a": 1} x)", "error: text after the object at column 10"},
      {R"({"a": 1, "a": 2})", "error: member \"a\" given twice at column 10"},
      {R"({"a": {"b": 1}})", "error: objects and arrays are not taken as values at column 7"},
      {R"({"a": yes})", "error: expected a value at column 7"},
      {R"({"a": 1.})", "error: expected digits after '.' at column 9"},
      {R"({"a": 1e})", "error: expected digits in the exponent at column 9"},
      {R"({"a": "open)", "error: a string without its closing quote at column 12"},
      {"{\"a\": \"tab\there\"}", "error: a control character inside a string at column 12"},
      {R"({"a": "\x"})", "error: an unknown escape at column 10"},
      {R"({"a": "\u12"})", "error: expected four hexadecimal digits after \\u at column 10"},
      {R"({"a": "\ud83d"})", "error: a high surrogate without its low one at column 14"},
      {R"({"a": "\ude00"})", "error: a low surrogate without its high one at column 14"},
  };
  for (const auto& [line, described] : kCases) EXPECT_EQ(Described(line), described) << line;
}

}  // namespace
}  // namespace zeb
