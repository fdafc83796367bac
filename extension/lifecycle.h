// What loading and unloading the library do, in the one order that every runtime
// library keeps.
#pragma once

namespace zeb {

// Runs each runtime library's start-up routine in order, then AttachProcess(0).
void LoadLibrary();
// DetachProcess(0), then each end routine in order.
void UnloadLibrary();

}  // namespace zeb
