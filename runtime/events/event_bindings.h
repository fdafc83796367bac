// Event bindings: callbacks filed under the text key of an event's coordinates
// ("type:window:object:data", -1 for a wildcard), run when a matching event is
// posted. A callback learns the event through the accessors of the current event.
#pragma once

#include <cstdint>

namespace zeb {

using EventCallback = void (*)();

inline constexpr int64_t AnyValue = -1;

void InitEventBindings();
void EndEventBindings();

// Files the callback under the key of (type, window, object, data), behind the
// callbacks already there; window is the entry's owner for RemoveWindowBindings.
void BindEvent(int32_t type, int64_t window, int64_t object, int64_t data, EventCallback callback);

// Runs the callbacks of the five keys an event matches, in their fixed order.
void RunEventBindings(int32_t type, int64_t window, int64_t object, int64_t data);

// Deletes every binding entry that belongs to the window.
void RemoveWindowBindings(int64_t window);

}  // namespace zeb
