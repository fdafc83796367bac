// AttachProcess and DetachProcess: the host's view of the library's load and unload.
#include "extension/exports.h"
#include "extension/host_strings.h"

ZEB_EXPORT int64_t AttachProcess(int64_t) { return 0; }

ZEB_EXPORT int64_t DetachProcess(int64_t) { return 0; }
