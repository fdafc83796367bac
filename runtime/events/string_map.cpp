#include "runtime/events/string_map.h"

#include <cstdlib>
#include <cstring>

#include "runtime/core/memory.h"

namespace zeb {
namespace {

void* ElementOf(StringMapNode* node) { return node + 1; }

const char* KeyOrEmpty(const char* key) { return key != nullptr ? key : ""; }

StringMapNode** BucketOf(StringMap* map, const char* key) {
  return &map->buckets[StringMapHash(key) % static_cast<uint32_t>(map->bucketCount)];
}

}  // namespace

uint32_t StringMapHash(const char* key) {
  uint32_t hash = 0;
  for (const char* c = KeyOrEmpty(key); *c != 0; ++c) {
    const auto byte = static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*c)));
    hash = byte + (hash << 6) + (hash << 16) - hash;
  }
  return hash;
}

StringMap* NewStringMap(int32_t elementSize, int32_t bucketCount) {
  if (elementSize < 0 || bucketCount < 1 || bucketCount > (INT32_MAX / 8)) return nullptr;
  auto* map = static_cast<StringMap*>(AllocateBlock(sizeof(StringMap)));
  if (map == nullptr) return nullptr;
  map->buckets = static_cast<StringMapNode**>(AllocateBlock(bucketCount * static_cast<int32_t>(sizeof(void*))));
  map->pool = NewBlockPool(elementSize + static_cast<int32_t>(sizeof(StringMapNode)), 16, 65536, PoolShared);
  if (map->buckets == nullptr || map->pool == nullptr) {
    FreeBlock(map->buckets);
    if (map->pool != nullptr) FreeBlockPool(map->pool);
    FreeBlock(map);
    return nullptr;
  }
  map->elementSize = elementSize;
  map->bucketCount = bucketCount;
  map->bucketIndex = -1;
  map->savedIndex = -1;
  return map;
}

void FreeStringMap(StringMap* map) {
  if (map == nullptr) return;
  for (int32_t i = 0; i < map->bucketCount; ++i) {
    for (StringMapNode* node = map->buckets[i]; node != nullptr;) {
      StringMapNode* next = node->next;
      std::free(node->key);
      PoolFree(map->pool, node);
      node = next;
    }
  }
  FreeBlockPool(map->pool);
  FreeBlock(map->buckets);
  FreeBlock(map);
}

void* AddStringMapElement(StringMap* map, const char* key) {
  auto* node = static_cast<StringMapNode*>(PoolAllocate(map->pool));
  if (node == nullptr) return nullptr;
  node->key = strdup(KeyOrEmpty(key));
  if (node->key == nullptr) {
    PoolFree(map->pool, node);
    return nullptr;
  }
  std::memset(ElementOf(node), 0, static_cast<size_t>(map->elementSize));
  StringMapNode** bucket = BucketOf(map, KeyOrEmpty(key));
  node->next = *bucket;
  *bucket = node;
  ++map->elementCount;
  map->current = node;
  map->previous = nullptr;
  map->bucketIndex = static_cast<int32_t>(bucket - map->buckets);
  map->savedIndex = -1;
  return ElementOf(node);
}

void* FindStringMapElement(StringMap* map, const char* key) {
  key = KeyOrEmpty(key);
  StringMapNode** bucket = BucketOf(map, key);
  StringMapNode* before = nullptr;
  for (StringMapNode* node = *bucket; node != nullptr; before = node, node = node->next) {
    if (std::strcmp(node->key, key) == 0) {
      map->current = node;
      map->previous = before;
      map->bucketIndex = static_cast<int32_t>(bucket - map->buckets);
      // A walk that follows a find starts again from the first bucket.
      map->savedIndex = -1;
      return ElementOf(node);
    }
  }
  return nullptr;
}

void ResetStringMap(StringMap* map) {
  map->current = nullptr;
  map->bucketIndex = -1;
}

void* NextStringMapElement(StringMap* map) {
  map->previous = map->current;
  map->savedIndex = map->bucketIndex;
  StringMapNode* next = nullptr;
  if (map->current != nullptr) {
    next = map->current->next;
  } else if (map->bucketIndex != -1) {
    return nullptr;  // the walk is over
  }
  int32_t index = map->bucketIndex;
  while (next == nullptr && ++index < map->bucketCount) next = map->buckets[index];
  if (next == nullptr) {
    map->current = nullptr;
    map->bucketIndex = map->bucketCount;
    return nullptr;
  }
  map->current = next;
  map->bucketIndex = index;
  return ElementOf(next);
}

void DeleteStringMapElement(StringMap* map) {
  StringMapNode* node = map->current;
  if (node == nullptr) return;
  StringMapNode** bucket = &map->buckets[map->bucketIndex];
  if (*bucket == node) {
    *bucket = node->next;
  } else if (map->previous != nullptr) {
    map->previous->next = node->next;
  }
  --map->elementCount;
  map->current = map->previous;
  map->bucketIndex = map->savedIndex;
  std::free(node->key);
  PoolFree(map->pool, node);
}

}  // namespace zeb
