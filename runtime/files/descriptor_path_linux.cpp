// Linux: opening a link in /proc/self/fd opens its file anew.
#include <string>

#include "runtime/files/descriptor_path.h"

namespace zeb {

std::string FreshOpenPath(int descriptor) { return "/proc/self/fd/" + std::to_string(descriptor); }

}  // namespace zeb
