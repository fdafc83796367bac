#include "runtime/core/object_registry.h"

#include <cstring>

namespace zeb {

static_assert(sizeof(intptr_t) == sizeof(int64_t), "object numbers carry record addresses");

namespace {

// A dynamic object's number is its record's address; the conversions go through
// intptr_t so that neither direction is undefined.
int64_t RecordNumber(const void* record) {
  return static_cast<int64_t>(reinterpret_cast<intptr_t>(record));
}

const void* NumberAddress(int64_t number) {
  return reinterpret_cast<const void*>(static_cast<intptr_t>(number));
}

bool IsLive(const void* record) {
  uintptr_t handle;
  std::memcpy(&handle, record, sizeof handle);
  return handle != 0;
}

bool IsSlotNumber(const ObjectRegistry* registry, int64_t number) {
  return number >= 0 && number < registry->capacity;
}

// The record behind a number, live or not. Numbers outside the slot array are
// accepted only when the dynamic list holds a record at that address, so a stale
// or invented number is never read as memory.
void* FindRecord(const ObjectRegistry* registry, int64_t number) {
  if (IsSlotNumber(registry, number)) return registry->slots[number];
  return FindListNode(registry->dynamicList, NumberAddress(number));
}

// Grows the slot array to number + growth step slots; false when that count wraps,
// the array would not fit in one memory block, or the heap fails (the registry is
// then unchanged).
bool GrowSlots(ObjectRegistry* registry, int64_t number) {
  if (number > INT64_MAX - registry->growthStep) return false;
  const int64_t capacity = number + registry->growthStep;
  if (capacity > INT64_MAX / static_cast<int64_t>(sizeof(void*))) return false;
  void* slots = ReAllocateBlock(registry->slots, capacity * static_cast<int64_t>(sizeof(void*)));
  if (slots == nullptr) return false;
  registry->slots = static_cast<void**>(slots);
  registry->capacity = capacity;
  return true;
}

}  // namespace

ObjectRegistry* NewObjectRegistry(int32_t recordSize, int32_t growthStep, ReleaseRoutine release) {
  if (recordSize < static_cast<int32_t>(sizeof(void*)) ||
      recordSize > INT32_MAX - static_cast<int32_t>(sizeof(ListNode)) || growthStep < 1) {
    return nullptr;
  }
  const int64_t slotBytes = int64_t{growthStep} * static_cast<int64_t>(sizeof(void*));
  if (slotBytes > INT32_MAX) return nullptr;
  auto* registry = static_cast<ObjectRegistry*>(AllocateBlock(sizeof(ObjectRegistry)));
  if (registry == nullptr) return nullptr;
  registry->slots = static_cast<void**>(AllocateBlock(static_cast<int32_t>(slotBytes)));
  if (registry->slots == nullptr) {
    FreeBlock(registry);
    return nullptr;
  }
  registry->recordSize = recordSize;
  registry->growthStep = growthStep;
  registry->capacity = growthStep;
  registry->release = release;
  return registry;
}

void* AllocateObject(ObjectRegistry* registry, int64_t number) {
  if (registry == nullptr) return nullptr;
  if (number == DynamicNumber) {
    return AddListNode(&registry->dynamicList,
                       registry->recordSize + static_cast<int32_t>(sizeof(ListNode)));
  }
  if (number < 0) return nullptr;
  if (number >= registry->capacity && !GrowSlots(registry, number)) return nullptr;
  void* record = registry->slots[number];
  if (record == nullptr) {
    record = AllocateBlock(registry->recordSize);
    registry->slots[number] = record;
    return record;
  }
  // The release routine clears the record; a numbered record is never freed, so
  // it stays valid even if the routine grows the slot array meanwhile.
  if (registry->release != nullptr) registry->release(number);
  return record;
}

void* IsObject(ObjectRegistry* registry, int64_t number) {
  if (registry == nullptr) return nullptr;
  void* record = FindRecord(registry, number);
  return record != nullptr && IsLive(record) ? record : nullptr;
}

void FreeObjectRecord(ObjectRegistry* registry, int64_t number) {
  if (registry == nullptr) return;
  if (IsSlotNumber(registry, number)) {
    void* record = registry->slots[number];
    if (record != nullptr) std::memset(record, 0, static_cast<size_t>(registry->recordSize));
    return;
  }
  void* record = FindListNode(registry->dynamicList, NumberAddress(number));
  if (record == nullptr) return;
  // A release routine may free an object that the walk has yet to reach; the walk
  // then goes on from the node before it.
  ListNode* node = RecordNode(record);
  if (registry->walkNode == node) registry->walkNode = node->previous;
  RemoveListNode(&registry->dynamicList, record);
}

void FreeAllObjects(ObjectRegistry* registry) {
  if (registry == nullptr || registry->release == nullptr) return;
  ResetObjectEnumeration(registry);
  int64_t number = 0;
  while (NextObject(registry, &number) != nullptr) registry->release(number);
}

void* FindObject(ObjectRegistry* registry, RecordTest test, const void* key, int64_t* number) {
  if (registry == nullptr) return nullptr;
  for (int64_t index = 0; index < registry->capacity; ++index) {
    void* record = registry->slots[index];
    if (record != nullptr && IsLive(record) && test(record, key)) {
      if (number != nullptr) *number = index;
      return record;
    }
  }
  ListNode* oldest = registry->dynamicList;
  while (oldest != nullptr && oldest->next != nullptr) oldest = oldest->next;
  for (ListNode* node = oldest; node != nullptr; node = node->previous) {
    void* record = NodeRecord(node);
    if (IsLive(record) && test(record, key)) {
      if (number != nullptr) *number = RecordNumber(record);
      return record;
    }
  }
  return nullptr;
}

void ResetObjectEnumeration(ObjectRegistry* registry) {
  if (registry == nullptr) return;
  registry->walkIndex = 0;
  ListNode* oldest = registry->dynamicList;
  while (oldest != nullptr && oldest->next != nullptr) oldest = oldest->next;
  registry->walkNode = oldest;
}

void* NextObject(ObjectRegistry* registry, int64_t* number) {
  if (registry == nullptr) return nullptr;
  while (registry->walkIndex < registry->capacity) {
    const int64_t index = registry->walkIndex++;
    void* record = registry->slots[index];
    if (record != nullptr && IsLive(record)) {
      if (number != nullptr) *number = index;
      return record;
    }
  }
  ListNode* node = registry->walkNode;
  if (node == nullptr) return nullptr;
  registry->walkNode = node->previous;
  void* record = NodeRecord(node);
  if (number != nullptr) *number = RecordNumber(record);
  return record;
}

void AbortObjectEnumeration(ObjectRegistry*) {
  // A walk holds nothing but two cursors in the registry, which the next reset
  // overwrites; stopping early leaves nothing to undo.
}

}  // namespace zeb
