// Splitting a parameter line into the argument vector.
#include "runtime/files/parameter_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zeb {
namespace {

// The vector's entries after the program name, checking the final null entry.
std::vector<std::string> Split(std::string line) {
  char program[] = "program";
  const std::vector<char*> vector = SplitParameterLine(program, line.data());
  EXPECT_EQ(vector.front(), program);
  EXPECT_EQ(vector.back(), nullptr);
  return std::vector<std::string>(vector.begin() + 1, vector.end() - 1);
}

using Arguments = std::vector<std::string>;

TEST(ParameterLine, SeparatorsAndQuotes) {
  EXPECT_EQ(Split("-a \"x y\" z"), (Arguments{"-a", "x y", "z"}));
  EXPECT_EQ(Split(" \t\n a\t\tb\n"), (Arguments{"a", "b"}));
  // A quoted part directly followed by text ends there; quotes inside unquoted
  // text are ordinary characters, and a backslash escapes nothing.
  EXPECT_EQ(Split("\"x\"y"), (Arguments{"x", "y"}));
  EXPECT_EQ(Split("a\"b c\"d"), (Arguments{"a\"b", "c\"d"}));
  EXPECT_EQ(Split("\"a\\\" b\""), (Arguments{"a\\", "b\""}));
  // An empty quoted part is an empty argument.
  EXPECT_EQ(Split("\"\" x"), (Arguments{"", "x"}));
}

TEST(ParameterLine, QuotedArgumentEndsAtNewlineOrEnd) {
  EXPECT_EQ(Split("\"open to the end"), (Arguments{"open to the end"}));
  EXPECT_EQ(Split("\"one\ntwo\" three"), (Arguments{"one", "two\"", "three"}));
  EXPECT_EQ(Split("\""), (Arguments{""}));
}

TEST(ParameterLine, EmptyAndNullLinesHoldNoParameters) {
  EXPECT_EQ(Split(""), Arguments{});
  EXPECT_EQ(Split("  \n\t "), Arguments{});
  char program[] = "program";
  const std::vector<char*> vector = SplitParameterLine(program, nullptr);
  ASSERT_EQ(vector.size(), 2u);
  EXPECT_EQ(vector[1], nullptr);
}

TEST(ParameterLine, ParametersBeyondTheLimitAreDropped) {
  std::string line;
  // Odd parameters quoted, even ones plain.
  for (int i = 1; i <= 600; ++i) line += (i % 2 == 1 ? "\"p" : "p") + std::to_string(i) + (i % 2 == 1 ? "\" " : " ");
  const Arguments arguments = Split(line);
  ASSERT_EQ(arguments.size(), static_cast<size_t>(kMaxParameters));
  EXPECT_EQ(arguments.front(), "p1");
  // The last one kept, a plain one, is cut off from what follows.
  EXPECT_EQ(arguments.back(), "p510");
  EXPECT_EQ(arguments[kMaxParameters - 2], "p509");
}

}  // namespace
}  // namespace zeb
