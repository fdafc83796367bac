// AttachProcess and DetachProcess: the host's view of the library's load and unload.
#include "extension/exports.h"
#include "extension/host_strings.h"
#include "runtime/events/application.h"
#include "runtime/events/windows.h"
#include "runtime/menus/menus.h"

ZEB_EXPORT int64_t AttachProcess(int64_t) { return 0; }

// Frees every menu and closes every window; from a thread other than the
// application's it leaves them.
ZEB_EXPORT int64_t DetachProcess(int64_t) {
  zeb::HostCall call;
  if (!zeb::OnApplicationThread()) return 0;
  zeb::FreeMenu(-1);
  zeb::CloseWindow(-1);
  return 0;
}
