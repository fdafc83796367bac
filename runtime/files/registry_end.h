// Library end for a registry that a files library made itself.
#pragma once

#include "runtime/core/memory.h"
#include "runtime/core/object_registry.h"

namespace zeb {

// Releases every live object through the registry's release routine, then frees
// the numbered records, the slot array and the registry, so that a library loaded
// again starts from nothing. Null does nothing; the registry pointer is nulled.
inline void EndRegistry(ObjectRegistry*& registry) {
  if (registry == nullptr) return;
  FreeAllObjects(registry);
  for (int64_t i = 0; i < registry->capacity; ++i) FreeBlock(registry->slots[i]);
  FreeBlock(registry->slots);
  FreeBlock(registry);
  registry = nullptr;
}

}  // namespace zeb
