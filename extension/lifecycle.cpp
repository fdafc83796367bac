#include "extension/lifecycle.h"

#include <array>

#include "extension/exports.h"
#include "runtime/core/temp_string_buffer.h"

namespace zeb {
namespace {

using LibraryRoutine = void (*)();

// The start-up order of the runtime libraries. Each library takes its place here
// when it is built:
//   1. the temporary string buffer         7. the menu registry and current menu
//   2. the gadget registry                 8. application start-up
//   3. the image decode record             9. the event queue and bindings
//   4. the BMP decoder's registration     10. the sequential-file registry
//   5. the image registry                 11. the font registry
//   6. the window registry, gadget lists  12. the program runner
constexpr std::array kStartupRoutines = std::to_array<LibraryRoutine>({
    InitStringBuffer,
});

// The end routines, after DetachProcess has freed the menus and closed the windows:
// fonts, directory listings, sequential files, images, each taking its place here
// when it is built. The temporary string buffer goes last: once the library is
// unloaded nothing can reach it, and a host that loads the library again gets a
// new one.
constexpr std::array kEndRoutines = std::to_array<LibraryRoutine>({
    FreeStringBuffer,
});

}  // namespace

void LoadLibrary() {
  for (LibraryRoutine startup : kStartupRoutines) startup();
  AttachProcess(0);
}

void UnloadLibrary() {
  DetachProcess(0);
  for (LibraryRoutine end : kEndRoutines) end();
}

}  // namespace zeb
