// A path that opens the file behind one of this process's descriptors anew, with
// file status flags of its own (O_NONBLOCK above all), where the system has one:
// descriptor_path_linux.cpp or descriptor_path_posix.cpp; CMake builds one.
#pragma once

#include <string>

namespace zeb {

// The path, or "" when the system has none.
std::string FreshOpenPath(int descriptor);

}  // namespace zeb
