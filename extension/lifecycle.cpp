#include "extension/lifecycle.h"

#include <array>

#include "extension/exports.h"
#include "platform/toolkit.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/events/application.h"
#include "runtime/events/event_queue.h"
#include "runtime/events/windows.h"
#include "runtime/files/directory_listing.h"
#include "runtime/files/program_runner.h"
#include "runtime/files/sequential_files.h"
#include "runtime/gadgets/gadgets.h"
#include "runtime/media/bmp_decoder.h"
#include "runtime/media/image_decoders.h"
#include "runtime/media/fonts.h"
#include "runtime/media/images.h"
#include "runtime/menus/menus.h"
#include "runtime/requesters/scripted_dialogs.h"

namespace zeb {
namespace {

using LibraryRoutine = void (*)();

// The clipboard's end: what the host copied goes to a clipboard manager.
void EndClipboard() { platform::CurrentToolkit().pasteboard().Close(); }

// The start-up order of the runtime libraries. Each library takes its place here
// when it is built:
//   1. the temporary string buffer         7. the menu registry and current menu
//   2. the gadget registry                 8. application start-up
//   3. the image decode record             9. the event queue and bindings
//   4. the BMP decoder's registration     10. the sequential-file registry
//   5. the image registry                 11. the font registry
//   6. the window registry, gadget lists  12. the program runner
//                                          13. the scripted answers
constexpr std::array kStartupRoutines = std::to_array<LibraryRoutine>({
    InitStringBuffer,
    InitGadgets,
    InitImageDecoding,
    RegisterBMPDecoder,
    InitImages,
    InitWindows,
    InitMenus,
    StartApplication,
    InitEvents,
    InitSequentialFiles,
    InitFonts,
    InitProgramRunner,
    InitScriptedAnswers,
});

// How the library ends: the one place that decides it.
//
// The library is linked to stay loaded (-z nodelete), so dlclose leaves it and its
// finaliser runs once, as the process ends (a return from main or exit, on whatever
// thread calls it), after the process's exit handlers. The library registers no
// static destructors, so none of its objects is gone by then, whatever the order of
// the process's other handlers and libraries.
//
// On the thread that loaded the library, DetachProcess frees the menus and closes
// the windows, then these routines free the fonts and images: toolkit objects, so
// another thread (a host that exits from a second thread) leaves them alone, as GTK
// is used from one thread only.
constexpr std::array kApplicationEndRoutines = std::to_array<LibraryRoutine>({
    EndFonts,
    EndImages,
});

// Then, on any thread: the directory listings, the sequential files (what was
// written reaches its file), the scripted answers' record, and the clipboard,
// whose thread hands what the host copied to a clipboard manager and stops (the
// pasteboard is the one part of the toolkit that any thread may use).
constexpr std::array kEndRoutines = std::to_array<LibraryRoutine>({
    EndDirectoryListings,
    EndSequentialFiles,
    EndScriptedAnswers,
    EndClipboard,
});

// Left to the end of the process, never destroyed: the toolkit with GTK and its
// display connection, its scripted user, the application menu, the program
// runner's records and the temporary string buffer. Threads may still run in them,
// and the toolkit cannot be torn down from another thread; the process's end takes
// them all at once. They stay reachable from the library's statics, so
// LeakSanitizer and valgrind count them as reachable, not leaked.

}  // namespace

void LoadLibrary() {
  for (LibraryRoutine startup : kStartupRoutines) startup();
  AttachProcess(0);
}

void UnloadLibrary() {
  if (OnApplicationThread()) {
    DetachProcess(0);
    for (LibraryRoutine end : kApplicationEndRoutines) end();
  }
  for (LibraryRoutine end : kEndRoutines) end();
}

}  // namespace zeb
