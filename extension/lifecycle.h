// What loading and unloading the library do, in the one order that every runtime
// library keeps.
#pragma once

namespace zeb {

// Runs each runtime library's start-up routine in order, then AttachProcess(0).
void LoadLibrary();
// The library's end as the process ends: on the thread that loaded the library,
// DetachProcess(0) and the end routines of the toolkit's objects; on any thread,
// the other end routines and the clipboard's. What is left to the end of the process, and why, is
// listed in lifecycle.cpp.
void UnloadLibrary();

}  // namespace zeb
