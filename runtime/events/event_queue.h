// The event queue: one process-wide FIFO of runtime events. Toolkit callbacks post
// events; the event loop takes them off the head, and the taken event becomes the
// current event that the accessors read.
#pragma once

#include <cstdint>

namespace zeb {

// Event types.
inline constexpr int32_t MenuEvent = 1;
inline constexpr int32_t CloseWindowEvent = 2;
inline constexpr int32_t GadgetEvent = 3;
inline constexpr int32_t RepaintEvent = 4;
inline constexpr int32_t MoveWindowEvent = 5;
inline constexpr int32_t SizeWindowEvent = 6;
inline constexpr int32_t ActivateWindowEvent = 7;
inline constexpr int32_t DeactivateWindowEvent = 8;
inline constexpr int32_t WindowDropEvent = 10;
inline constexpr int32_t GadgetDropEvent = 11;
inline constexpr int32_t MinimizeWindowEvent = 12;
inline constexpr int32_t MaximizeWindowEvent = 13;
inline constexpr int32_t RestoreWindowEvent = 14;
inline constexpr int32_t RightClickEvent = 16;
inline constexpr int32_t LeftClickEvent = 17;
inline constexpr int32_t LeftDoubleClickEvent = 18;

// Gadget event kinds, in the data word of a GadgetEvent.
inline constexpr int64_t FocusEventType = 256;
inline constexpr int64_t LostFocusEventType = 512;
inline constexpr int64_t ChangeEventType = 768;

struct EventRecord {
  EventRecord* next;  // the next younger event; null at the tail
  int32_t type;
  int64_t object;
  int64_t window;
  int64_t data;
};

// Creates the record pool and the binding table. Run once at load.
void InitEvents();
// Frees what InitEvents made; only the tests need it.
void EndEvents();

// Appends an event (unless it equals the tail), wakes the toolkit loop as the
// event type asks, and runs the bindings filed under the event's keys.
void PostEvent(int32_t type, int64_t object, int64_t window, int64_t data);

// Takes the oldest event into the current event and returns its type, or 0 when
// the queue is empty.
int32_t TakeEvent();

// Drops every queued event of the window, keeping the order of the rest.
void RemoveWindowEvents(int64_t window);

// The current event.
int64_t EventWindow();
int64_t EventGadget();
int64_t EventMenu();
int64_t EventType();

}  // namespace zeb
