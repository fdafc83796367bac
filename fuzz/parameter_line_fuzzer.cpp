// libFuzzer target for splitting a parameter line: the input's bytes, up to the
// first NUL, are the line, in a buffer of exactly its size and terminator.
// Whatever the line, the vector is the program, at most kMaxParameters
// parameters and a null entry; every parameter lies inside the buffer; a plain
// parameter holds no space, tab or newline and a quoted one no double quote or
// newline; and the parameters are those that reading the line character by
// character gives: a separator ends a plain parameter, a double quote or newline
// a quoted one, and the ones beyond the limit are dropped. A broken property ends
// the run like a crash.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/require.h"
#include "runtime/files/parameter_line.h"

namespace {

struct Parameter {
  std::string text;
  bool quoted;
};

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\n'; }

std::vector<Parameter> ExpectedParameters(const std::string& line) {
  std::vector<Parameter> parameters;
  bool inside = false;  // a parameter, the last one
  for (const char c : line) {
    if (!inside && !IsSeparator(c)) {
      parameters.push_back({c == '"' ? "" : std::string(1, c), c == '"'});
      inside = true;
    } else if (inside && (parameters.back().quoted ? c == '"' || c == '\n' : IsSeparator(c))) {
      inside = false;
    } else if (inside) {
      parameters.back().text += c;
    }
  }
  if (parameters.size() > zeb::kMaxParameters) parameters.resize(zeb::kMaxParameters);
  return parameters;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));
  const auto line = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(line.get(), text.c_str(), text.size() + 1);
  char program[] = "program";

  const std::vector<char*> vector = zeb::SplitParameterLine(program, line.get());
  const std::vector<Parameter> expected = ExpectedParameters(text);
  Require(vector.size() == expected.size() + 2 && vector.size() <= zeb::kMaxParameters + 2);
  Require(vector.front() == program && vector.back() == nullptr);
  for (size_t i = 0; i < expected.size(); ++i) {
    const char* parameter = vector[i + 1];
    Require(parameter >= line.get() && parameter <= line.get() + text.size());
    Require(std::strpbrk(parameter, expected[i].quoted ? "\"\n" : " \t\n") == nullptr);
    Require(parameter == expected[i].text);
  }
  return 0;
}
