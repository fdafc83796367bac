// The runtime's libraries started and ended around one test, on the toolkit the
// test attaches, in the order the library itself starts them.
#pragma once

#include <memory>

#include "platform/toolkit.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/events/application.h"
#include "runtime/events/event_queue.h"
#include "runtime/events/windows.h"
#include "runtime/gadgets/gadgets.h"
#include "runtime/media/fonts.h"
#include "runtime/menus/menus.h"

namespace zeb {

inline void StartRuntime(std::unique_ptr<platform::Toolkit> toolkit) {
  platform::SetToolkit(std::move(toolkit));
  InitStringBuffer();
  InitGadgets();
  InitFonts();
  InitWindows();
  InitMenus();
  StartApplication();
  InitEvents();
}

// Closes every window and frees what the test left behind, then detaches the
// toolkit.
inline void StopRuntime() {
  EndMenus();
  CloseWindow(-1);
  platform::CurrentToolkit().ReleaseDeferredObjects();
  FreeGadget(-1);
  FreeFont(-1);
  SetGadgetFont(-1, -1);
  EndEvents();
  FreeStringBuffer();
  platform::SetToolkit(nullptr);
}

}  // namespace zeb
