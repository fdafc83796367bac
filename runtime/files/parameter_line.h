// How a parameter line becomes the argument vector a program is started with.
#pragma once

#include <vector>

namespace zeb {

// Parameters a program is given at most: with its name and the final null entry the
// argument vector never holds more than 512 entries.
inline constexpr int kMaxParameters = 510;

// Splits `line` in place (separators and closing quotes become terminators) and
// returns the argument vector: `program`, the parameters as pointers into `line`,
// and a null entry. Spaces, tabs and newlines separate parameters. A double quote
// starts a parameter that runs to the next double quote, newline or the end of the
// line; a double quote inside a parameter is an ordinary character, and nothing
// escapes. Parameters beyond the 510th are dropped. A null line holds none.
std::vector<char*> SplitParameterLine(char* program, char* line);

}  // namespace zeb
