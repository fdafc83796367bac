// Any POSIX system: POSIX names no such path, and opening /dev/fd/N on macOS
// and the BSDs duplicates the descriptor, sharing its flags, rather than open its
// file anew.
#include "runtime/files/descriptor_path.h"

namespace zeb {

std::string FreshOpenPath(int /*descriptor*/) { return {}; }

}  // namespace zeb
