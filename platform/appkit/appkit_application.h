// The shared application object: the host's when it has one, else made here with
// the library's delegate.
#pragma once

namespace zeb::platform {

// Attaches to the shared application, making it when the process has none; true
// when the host owns it (it has a delegate of its own).
bool AttachApplication();

}  // namespace zeb::platform
