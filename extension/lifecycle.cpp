#include "extension/lifecycle.h"

#include <array>

#include "extension/exports.h"
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

// The end routines, after DetachProcess has freed the menus and closed the windows:
// fonts, directory listings, sequential files, images, the scripted answers' record.
// The library is never unmapped (it is linked to stay loaded: detached threads and
// the toolkit may still run its code), so this runs when the process ends; the
// temporary string buffer lives on to the very end.
constexpr std::array kEndRoutines = std::to_array<LibraryRoutine>({
    EndFonts,
    EndDirectoryListings,
    EndSequentialFiles,
    EndImages,
    EndScriptedAnswers,
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
