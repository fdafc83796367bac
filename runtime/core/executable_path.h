// The path of the running executable. POSIX has no call for it: CMake builds
// executable_path_procfs.cpp on Linux and executable_path_dyld.cpp on Apple's
// systems.
#pragma once

#include <filesystem>

namespace zeb {

// The path, or an empty path when the system does not tell.
std::filesystem::path ExecutablePath();

}  // namespace zeb
