#include "runtime/core/block_pool.h"

#include <algorithm>

#include "runtime/core/memory.h"
#include "runtime/core/threads.h"

namespace zeb {

namespace {

// Each block starts with one word: the owning chunk while the block is handed out,
// the next free block while it waits on its chunk's free list.
constexpr int64_t HeaderWordSize = sizeof(void*);

pthread_once_t sharedPoolsOnce = PTHREAD_ONCE_INIT;
pthread_mutex_t sharedPoolsLock;
SharedPoolEntry* sharedPools = nullptr;  // newest first, under sharedPoolsLock

void InitSharedPools() { InitRecursiveMutex(&sharedPoolsLock); }

// Chunks and shared entries are both doubly linked through `next` and `previous`,
// with one head pointer per list.
template <typename Item>
void PushFront(Item** head, Item* item) {
  item->previous = nullptr;
  item->next = *head;
  if (*head != nullptr) (*head)->previous = item;
  *head = item;
}

template <typename Item>
void Unlink(Item** head, Item* item) {
  if (item->previous != nullptr) {
    item->previous->next = item->next;
  } else {
    *head = item->next;
  }
  if (item->next != nullptr) item->next->previous = item->previous;
}

void* HeaderWord(const char* block) { return *reinterpret_cast<void* const*>(block); }
void SetHeaderWord(char* block, void* value) { *reinterpret_cast<void**>(block) = value; }

char* BlockAt(const BlockPool* pool, PoolChunk* chunk, int32_t index) {
  return reinterpret_cast<char*>(chunk + 1) + index * pool->stride;
}

pthread_mutex_t* LockOf(BlockPool* pool) { return pool->locked != 0 ? &pool->lock : nullptr; }

// A new chunk holds about a sixteenth of the pool's present size, in multiples of
// 16, so a growing pool makes few large chunks rather than many small ones.
int32_t NewChunkCount(const BlockPool* pool) {
  const int64_t count = (pool->totalBlocks / 16) & ~int64_t{15};
  if (count < pool->minimumPerChunk) return pool->minimumPerChunk;
  return static_cast<int32_t>(std::min<int64_t>(count, pool->maximumPerChunk));
}

// A zero-filled chunk of `count` blocks, or null when it would not fit in a memory
// block or the heap fails.
PoolChunk* NewChunk(const BlockPool* pool, int32_t count) {
  const int64_t bytes = static_cast<int64_t>(sizeof(PoolChunk)) + count * pool->stride;
  if (bytes > INT32_MAX) return nullptr;
  auto* chunk = static_cast<PoolChunk*>(AllocateBlock(static_cast<int32_t>(bytes)));
  if (chunk != nullptr) chunk->count = count;
  return chunk;
}

void ClearPool(BlockPool* pool) {
  MutexGuard guard(LockOf(pool));
  for (PoolChunk** list : {&pool->openChunks, &pool->fullChunks}) {
    while (*list != nullptr) {
      PoolChunk* chunk = *list;
      *list = chunk->next;
      FreeBlock(chunk);
    }
  }
  pool->totalBlocks = 0;
}

BlockPool* NewPrivatePool(int64_t stride, int32_t minimumPerChunk, int32_t maximumPerChunk,
                          int flags) {
  auto* pool = static_cast<BlockPool*>(AllocateBlock(sizeof(BlockPool)));
  if (pool == nullptr) return nullptr;
  pool->stride = stride;
  pool->minimumPerChunk = minimumPerChunk;
  pool->maximumPerChunk = maximumPerChunk;
  if ((flags & 3) == PoolLocked) {
    if (InitRecursiveMutex(&pool->lock) != 0) {
      FreeBlock(pool);
      return nullptr;
    }
    pool->locked = 1;
  }
  return pool;
}

void DestroyPrivatePool(BlockPool* pool) {
  ClearPool(pool);
  if (pool->locked != 0) pthread_mutex_destroy(&pool->lock);
  FreeBlock(pool);
}

BlockPool* NewSharedPool(int64_t stride, int32_t minimumPerChunk, int32_t maximumPerChunk,
                         int flags) {
  RunOnce(&sharedPoolsOnce, InitSharedPools);
  MutexGuard guard(&sharedPoolsLock);
  for (SharedPoolEntry* entry = sharedPools; entry != nullptr; entry = entry->next) {
    if (entry->stride != stride || entry->flags != flags) continue;
    if (entry->references == INT32_MAX) return nullptr;
    ++entry->references;
    return entry->pool;
  }
  auto* entry = static_cast<SharedPoolEntry*>(AllocateBlock(sizeof(SharedPoolEntry)));
  if (entry == nullptr) return nullptr;
  BlockPool* pool = NewPrivatePool(stride, minimumPerChunk, maximumPerChunk, flags & ~PoolShared);
  if (pool == nullptr) {
    FreeBlock(entry);
    return nullptr;
  }
  pool->sharedEntry = entry;
  entry->pool = pool;
  entry->stride = stride;
  entry->flags = flags;
  entry->references = 1;
  PushFront(&sharedPools, entry);
  return pool;
}

}  // namespace

BlockPool* NewBlockPool(int32_t elementSize, int32_t minimumPerChunk, int32_t maximumPerChunk,
                        int flags) {
  if (elementSize < 0 || minimumPerChunk < 1 || maximumPerChunk < 1) return nullptr;
  const int64_t stride = (int64_t{elementSize} + HeaderWordSize + 7) & ~int64_t{7};
  // Even the single-block chunk of the allocation fallback must fit in a memory block.
  if (static_cast<int64_t>(sizeof(PoolChunk)) + stride > INT32_MAX) return nullptr;
  if ((flags & PoolShared) != 0) {
    return NewSharedPool(stride, minimumPerChunk, maximumPerChunk, flags);
  }
  return NewPrivatePool(stride, minimumPerChunk, maximumPerChunk, flags);
}

void* PoolAllocate(BlockPool* pool) {
  if (pool == nullptr) return nullptr;
  MutexGuard guard(LockOf(pool));
  PoolChunk* chunk = pool->openChunks;
  char* block;
  if (chunk == nullptr) {
    // When the heap cannot give a whole chunk, one block may still be had.
    chunk = NewChunk(pool, NewChunkCount(pool));
    if (chunk == nullptr) chunk = NewChunk(pool, 1);
    if (chunk == nullptr) return nullptr;
    pool->totalBlocks += chunk->count;
    chunk->nextFresh = 1;
    PushFront(chunk->count > 1 ? &pool->openChunks : &pool->fullChunks, chunk);
    block = BlockAt(pool, chunk, 0);
  } else {
    if (chunk->freeCount > 0) {
      // Last in, first out: the block freed most recently is still warm in cache.
      block = static_cast<char*>(chunk->freeList);
      chunk->freeList = HeaderWord(block);
      --chunk->freeCount;
    } else {
      block = BlockAt(pool, chunk, chunk->nextFresh++);
    }
    if (chunk->freeCount == 0 && chunk->nextFresh >= chunk->count) {
      Unlink(&pool->openChunks, chunk);
      PushFront(&pool->fullChunks, chunk);
    }
  }
  SetHeaderWord(block, chunk);
  return block + HeaderWordSize;
}

void PoolFree(BlockPool* pool, void* element) {
  if (pool == nullptr || element == nullptr) return;
  MutexGuard guard(LockOf(pool));
  char* block = static_cast<char*>(element) - HeaderWordSize;
  auto* chunk = static_cast<PoolChunk*>(HeaderWord(block));
  const bool wasFull = chunk->freeCount == 0 && chunk->nextFresh >= chunk->count;
  SetHeaderWord(block, chunk->freeList);
  chunk->freeList = block;
  ++chunk->freeCount;
  if (chunk->freeCount == chunk->nextFresh) {
    // Every block the chunk handed out is back.
    Unlink(wasFull ? &pool->fullChunks : &pool->openChunks, chunk);
    pool->totalBlocks -= chunk->count;
    FreeBlock(chunk);
  } else if (wasFull) {
    Unlink(&pool->fullChunks, chunk);
    PushFront(&pool->openChunks, chunk);
  }
}

void FreeBlockPool(BlockPool* pool) {
  if (pool == nullptr) return;
  if (pool->sharedEntry == nullptr) {
    DestroyPrivatePool(pool);
    return;
  }
  MutexGuard guard(&sharedPoolsLock);
  SharedPoolEntry* entry = pool->sharedEntry;
  if (--entry->references > 0) return;
  pool->sharedEntry = nullptr;
  DestroyPrivatePool(pool);
  Unlink(&sharedPools, entry);
  FreeBlock(entry);
}

}  // namespace zeb
