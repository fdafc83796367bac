// Finding the file of a program before it is started.
#pragma once

#include <string>

namespace zeb {

// stat succeeds, the path is not a directory, the file holds at least one byte (an
// empty file would start nothing) and it may be executed.
bool IsExecutableFile(const char* path);

// The file that starts the program `name` (UTF-8): the name itself when it holds a
// slash and is an executable file; otherwise, unless it starts with "/" or "./",
// the first executable "component/name" along the components of "PATH", empty
// components skipped. Empty when there is none or "PATH" is not set.
std::string FindProgram(const char* name);

}  // namespace zeb
