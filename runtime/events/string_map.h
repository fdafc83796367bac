// StringMap: a hash map from 8-bit text keys to fixed-size elements, with a fixed
// number of buckets (it never grows or rehashes) and a cursor that survives
// deleting the element it stands on, so a walk can prune the map as it goes.
#pragma once

#include <cstdint>

#include "runtime/core/block_pool.h"

namespace zeb {

struct StringMapNode {
  StringMapNode* next;  // next node in the same bucket
  char* key;            // owned copy of the key text
  // the element follows
};

struct StringMap {
  StringMapNode* current;
  StringMapNode** buckets;
  StringMapNode* previous;
  int32_t bucketIndex;  // bucket of the current node; -1 before the first step
  int32_t savedIndex;   // bucket index saved by the last step
  int32_t elementSize;
  int32_t bucketCount;
  int32_t elementCount;
  BlockPool* pool;      // where the nodes come from (shared among maps)
};

// The sdbm hash of a key, each byte taken as a signed 8-bit value.
uint32_t StringMapHash(const char* key);

// A map of `bucketCount` buckets (at least 1) of `elementSize`-byte elements, or
// null when an allocation fails.
StringMap* NewStringMap(int32_t elementSize, int32_t bucketCount);
void FreeStringMap(StringMap* map);

// A new zero-filled element under the key (at the head of its bucket), which
// becomes the current one; null when the pool has no node to give.
void* AddStringMapElement(StringMap* map, const char* key);
// The element under the key, made current, or null.
void* FindStringMapElement(StringMap* map, const char* key);

// Walking: reset, then step until null.
void ResetStringMap(StringMap* map);
void* NextStringMapElement(StringMap* map);
// Deletes the current element; the next step lands on the element after it.
void DeleteStringMapElement(StringMap* map);

}  // namespace zeb
