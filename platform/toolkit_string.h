// The toolkit's string: 16-bit UTF-16 units in host byte order.
#pragma once

#include <string>

namespace zeb::platform {

using ToolkitString = std::u16string;

}  // namespace zeb::platform
