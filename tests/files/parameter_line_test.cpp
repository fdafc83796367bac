// Splitting a parameter line into the argument vector (the parameter limit is
// program_runner_test.cpp's).
#include "runtime/files/parameter_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zeb {
namespace {

using Arguments = std::vector<std::string>;

// The vector's entries after the program name, checking the final null entry.
Arguments Split(std::string line) {
  char program[] = "program";
  const std::vector<char*> vector = SplitParameterLine(program, line.data());
  EXPECT_EQ(vector.front(), program);
  EXPECT_EQ(vector.back(), nullptr);
  return Arguments(vector.begin() + 1, vector.end() - 1);
}

TEST(ParameterLine, SeparatorsAndQuotes) {
  const struct {
    const char* line;
    Arguments arguments;
  } kCases[] = {
      {"-a \"x y\" z", {"-a", "x y", "z"}},
      {" \t\n a\t\tb\n", {"a", "b"}},
      {"", {}},
      // A quoted part directly followed by text ends there; quotes inside unquoted
      // text are ordinary characters, and a backslash escapes nothing.
      {"\"x\"y", {"x", "y"}},
      {"a\"b c\"d", {"a\"b", "c\"d"}},
      {"\"a\\\" b\"", {"a\\", "b\""}},
      // An empty quoted part is an empty argument; a quoted part ends at a newline
      // or at the end of the line.
      {"\"\" x", {"", "x"}},
      {"\"open to the end", {"open to the end"}},
      {"\"one\ntwo\" three", {"one", "two\"", "three"}},
  };
  for (const auto& c : kCases) EXPECT_EQ(Split(c.line), c.arguments) << ::testing::PrintToString(c.line);
  char program[] = "program";
  EXPECT_EQ(SplitParameterLine(program, nullptr), (std::vector<char*>{program, nullptr}));
}

}  // namespace
}  // namespace zeb
