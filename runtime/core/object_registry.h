// The object registry: how a runtime library keeps the objects it hands out under
// object numbers. A number chosen by the caller (0 or greater) indexes a slot array;
// the dynamic number -1 makes a record in a node list whose address then serves as
// the object's number. By convention a record's first field is the object's handle,
// and the object is alive exactly while that field is non-zero.
#pragma once

#include <cstdint>

#include "runtime/core/memory.h"

namespace zeb {

inline constexpr int64_t DynamicNumber = -1;

// Releases one object: the library's own close or free operation.
using ReleaseRoutine = void (*)(int64_t number);

// One per library; itself a zero-filled memory block.
struct ObjectRegistry {
  int32_t recordSize;
  int32_t growthStep;      // slots added beyond a requested number; also the first capacity
  int64_t capacity;        // number of slots
  void** slots;            // memory block; slot i holds the record of object i, or null
  ListNode* dynamicList;   // records of dynamically numbered objects, newest first
  ReleaseRoutine release;  // or null
  int64_t walkIndex;       // next slot of the current walk
  ListNode* walkNode;      // next dynamic node of the current walk
};

// A registry with capacity = growthStep. Null when recordSize cannot hold the
// handle field, growthStep is below 1, or the heap fails.
ObjectRegistry* NewObjectRegistry(int32_t recordSize, int32_t growthStep, ReleaseRoutine release);

// The record to fill for `number`. A number in use is first released through the
// release routine and its record is handed out again. Null for numbers below -1,
// numbers whose slot array could not be sized, and when the heap fails.
void* AllocateObject(ObjectRegistry* registry, int64_t number);

// The record of a live object, or null.
void* IsObject(ObjectRegistry* registry, int64_t number);

// Zeroes a numbered object's record (its memory stays for the next object under
// that number) or frees a dynamic one. Unknown numbers do nothing.
void FreeObjectRecord(ObjectRegistry* registry, int64_t number);

// Releases every live object through the release routine; without one, nothing.
void FreeAllObjects(ObjectRegistry* registry);

// The first live object, in walk order, whose record the test accepts, and its
// number; null when none does. It leaves a walk in progress undisturbed.
using RecordTest = bool (*)(const void* record, const void* key);
void* FindObject(ObjectRegistry* registry, RecordTest test, const void* key, int64_t* number);

// A walk visits the live numbered objects in ascending order, then every dynamic
// object oldest first. Releasing the object just returned is safe during a walk.
void ResetObjectEnumeration(ObjectRegistry* registry);
void* NextObject(ObjectRegistry* registry, int64_t* number);
void AbortObjectEnumeration(ObjectRegistry* registry);

}  // namespace zeb
