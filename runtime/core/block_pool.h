// The block pool: a fixed-size block allocator for records that come and go often
// (queued events, hash-map nodes). Blocks are carved from chunks; a chunk is one
// memory block of `count` blocks, and each block is a header word followed by the
// element the caller sees. A pool can be shared by every creator that asks for the
// same block size and flags, and can carry a lock of its own.
#pragma once

#include <pthread.h>

#include <cstdint>

namespace zeb {

// Flags of NewBlockPool. The low two bits equal to PoolLocked give the pool its own
// lock; PoolShared shares one pool among all creators of the same stride and flags.
inline constexpr int PoolLocked = 1;
inline constexpr int PoolShared = 4;

struct PoolChunk {
  PoolChunk* next;      // next chunk in the same list
  PoolChunk* previous;  // previous chunk in the same list
  void* freeList;       // returned blocks, linked through their header word
  int32_t count;        // blocks in the chunk
  int32_t nextFresh;    // index of the first block never handed out
  int32_t freeCount;    // blocks on the free list
};

struct BlockPool;

struct SharedPoolEntry {
  SharedPoolEntry* next;
  SharedPoolEntry* previous;
  BlockPool* pool;
  int64_t stride;
  int32_t flags;
  int32_t references;
};

struct BlockPool {
  PoolChunk* fullChunks;        // chunks with no block left to hand out
  PoolChunk* openChunks;        // allocation always serves from the first
  SharedPoolEntry* sharedEntry; // null for a private pool
  int64_t totalBlocks;          // blocks of all chunks
  int64_t stride;               // element size + header word, a multiple of 8
  int32_t minimumPerChunk;
  int32_t maximumPerChunk;
  int32_t locked;               // 1 when `lock` is in use
  pthread_mutex_t lock;         // recursive
};

// A pool for elements of `elementSize` bytes whose new chunks hold between
// `minimumPerChunk` and `maximumPerChunk` blocks. A shared request that finds a pool
// of the same stride and flags takes a reference to it and ignores its own minimum
// and maximum. Null when an allocation fails, or when the sizes are negative, a
// chunk bound is below 1, or one block would not fit in a memory block.
BlockPool* NewBlockPool(int32_t elementSize, int32_t minimumPerChunk, int32_t maximumPerChunk,
                        int flags);

// An element of the pool's size, or null when the heap fails. Its contents are
// zero the first time the block is handed out and undefined after reuse.
void* PoolAllocate(BlockPool* pool);

// Returns an element to the pool it came from; null does nothing.
void PoolFree(BlockPool* pool, void* element);

// Drops one reference to a shared pool, or destroys a private pool with all its
// chunks.
void FreeBlockPool(BlockPool* pool);

}  // namespace zeb
