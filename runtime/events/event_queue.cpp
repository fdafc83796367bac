#include "runtime/events/event_queue.h"

#include "platform/toolkit.h"
#include "runtime/core/block_pool.h"
#include "runtime/events/application.h"
#include "runtime/events/event_bindings.h"
#include "runtime/gadgets/drag_drop.h"

namespace zeb {
namespace {

// Types above this are never coalesced.
constexpr int32_t kLargestCoalescedType = 0xFFFF;

BlockPool* recordPool = nullptr;
EventRecord* head = nullptr;
EventRecord* tail = nullptr;

struct CurrentEvent {
  int32_t type = 0;
  int64_t window = 0;
  int64_t object = 0;
  int64_t data = 0;
};
CurrentEvent current;

bool SameAsTail(int32_t type, int64_t object, int64_t window, int64_t data) {
  return tail != nullptr && type <= kLargestCoalescedType && tail->type == type && tail->object == object &&
         tail->window == window && tail->data == data;
}

// A menu choice always wakes the toolkit loop; a repaint never does (it comes from
// inside a display pass of the loop itself); anything else only when the toolkit
// has nothing pending that would wake it anyway.
void WakeToolkitLoop(int32_t type) {
  if (type == RepaintEvent) return;
  if (type == MenuEvent || !platform::CurrentToolkit().HasPendingEvent()) PostWakeUpEvent();
}

bool IsDrop(int32_t type) { return type == WindowDropEvent || type == GadgetDropEvent; }

// A drop event that nobody takes any more frees its drop record.
void Discard(EventRecord* record) {
  if (IsDrop(record->type)) ReleaseDropRecord(reinterpret_cast<DropRecord*>(static_cast<intptr_t>(record->data)));
  PoolFree(recordPool, record);
}

}  // namespace

void InitEvents() {
  if (recordPool == nullptr) recordPool = NewBlockPool(sizeof(EventRecord), 16, 256, 2);
  InitEventBindings();
}

void EndEvents() {
  while (head != nullptr) {
    EventRecord* record = head;
    head = record->next;
    Discard(record);
  }
  tail = nullptr;
  ReleasePendingDrop();
  current = CurrentEvent{};
  EndEventBindings();
  if (recordPool != nullptr) FreeBlockPool(recordPool);
  recordPool = nullptr;
}

void PostEvent(int32_t type, int64_t object, int64_t window, int64_t data) {
  WakeToolkitLoop(type);
  if (!SameAsTail(type, object, window, data) && recordPool != nullptr) {
    // A pool that cannot give a record drops the event; the bindings still run.
    if (auto* record = static_cast<EventRecord*>(PoolAllocate(recordPool))) {
      *record = {nullptr, type, object, window, data};
      if (tail != nullptr) {
        tail->next = record;
      } else {
        head = record;
      }
      tail = record;
    }
  }
  const CurrentEvent saved = current;
  current = {type, window, object, data};
  RunEventBindings(type, window, object, data);
  current = saved;
}

int32_t TakeEvent() {
  current.type = 0;
  current.data = -1;
  EventRecord* record = head;
  if (record == nullptr) return 0;
  current = {record->type, record->window, record->object, record->data};
  head = record->next;
  if (record == tail) tail = nullptr;
  PoolFree(recordPool, record);
  return current.type;
}

void RemoveWindowEvents(int64_t window) {
  EventRecord* kept = nullptr;
  for (EventRecord* record = head; record != nullptr;) {
    EventRecord* next = record->next;
    if (record->window == window) {
      if (kept != nullptr) {
        kept->next = next;
      } else {
        head = next;
      }
      Discard(record);
    } else {
      kept = record;
    }
    record = next;
  }
  tail = kept;
}

int64_t EventWindow() { return current.window; }
int64_t EventGadget() { return current.object; }
int64_t EventMenu() { return current.object; }
int64_t EventType() { return current.data; }

}  // namespace zeb
