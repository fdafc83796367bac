// The loader's hooks: the library's load-time initialiser and unload-time finaliser.
#include "extension/lifecycle.h"

namespace {

__attribute__((constructor)) void OnLibraryLoad() { zeb::LoadLibrary(); }

__attribute__((destructor)) void OnLibraryUnload() { zeb::UnloadLibrary(); }

}  // namespace
