// The runtime's attachment to the toolkit application, and its event loop.
#pragma once

#include <cstdint>

namespace zeb {

// Chooses the toolkit backend and attaches to its application, with the default
// menu bar unless the host runs an application of its own. Run at load, after
// InitMenus and before InitEvents.
void StartApplication();

// Whether the calling thread is the application's: the one the library loaded on.
// Windows, dialogs and menus are made and closed there only.
bool OnApplicationThread();

// Ends a wait of the toolkit loop at once: an empty event at the front of its queue.
void PostWakeUpEvent();

// Pumps toolkit events until a runtime event is available. timeout: below 0 waits
// without limit, 0 returns at once, above 0 waits at most that many milliseconds.
// Returns the type of the runtime event taken, 0 when the wait ran out with no
// toolkit event, or -1 when a toolkit event was handled but no runtime event came
// of it.
int64_t WaitWindowEvent(int32_t timeout);

}  // namespace zeb
