// AttachProcess and DetachProcess: the host's view of the library's load and unload.
#include "extension/exports.h"
#include "extension/host_strings.h"
#include "runtime/events/windows.h"

ZEB_EXPORT int64_t AttachProcess(int64_t) { return 0; }

// Closes every window.
ZEB_EXPORT int64_t DetachProcess(int64_t) {
  zeb::HostCall call;
  zeb::CloseWindow(-1);
  return 0;
}
