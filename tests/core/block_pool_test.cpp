#include "runtime/core/block_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <thread>
#include <utility>
#include <vector>

namespace zeb {
namespace {

TEST(BlockPool, StrideAndArguments) {
  for (auto [size, stride] : {std::pair{56, 64}, {16, 24}, {1, 16}, {0, 8}, {9, 24}}) {
    BlockPool* pool = NewBlockPool(size, 16, 256, 0);
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(pool->stride, stride) << size;
    auto* first = static_cast<char*>(PoolAllocate(pool));
    EXPECT_EQ(static_cast<char*>(PoolAllocate(pool)) - first, stride);
    FreeBlockPool(pool);
  }
  EXPECT_EQ(NewBlockPool(-1, 16, 256, 0), nullptr);
  EXPECT_EQ(NewBlockPool(8, 0, 256, 0), nullptr);
  EXPECT_EQ(NewBlockPool(8, 16, 0, PoolShared), nullptr);
  EXPECT_EQ(NewBlockPool(INT32_MAX, 1, 1, 0), nullptr);
  EXPECT_EQ(PoolAllocate(nullptr), nullptr);
}

TEST(BlockPool, ChunksGrowWithThePool) {
  BlockPool* pool = NewBlockPool(8, 16, 256, 0);
  std::map<int64_t, int64_t> added;  // blocks added by the chunk made at each total
  while (pool->totalBlocks < 6000) {
    const int64_t before = pool->totalBlocks;
    PoolAllocate(pool);
    if (pool->totalBlocks != before) added[before] = pool->totalBlocks - before;
  }
  for (auto [before, count] : added) {
    if (before < 512 || before >= 4096) {
      EXPECT_EQ(count, before < 512 ? 16 : 256) << before;
    }
  }
  // The first chunks made once the pool holds 512 and 1024 blocks.
  EXPECT_EQ(added.lower_bound(512)->second, 32);
  EXPECT_EQ(added.lower_bound(1024)->second, 64);
  FreeBlockPool(pool);
}

TEST(BlockPool, FallsBackToSingleBlockChunks) {
  // 128 blocks of 32 MiB cannot form one memory block; a single block can.
  BlockPool* pool = NewBlockPool(32 << 20, 128, 128, 0);
  void* a = PoolAllocate(pool);
  void* b = PoolAllocate(pool);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(pool->totalBlocks, 2);
  EXPECT_EQ(pool->openChunks, nullptr);  // a chunk of one block is full at once
  PoolFree(pool, a);
  PoolFree(pool, b);
  EXPECT_EQ(pool->fullChunks, nullptr);
  FreeBlockPool(pool);
}

TEST(BlockPool, SharedPoolsMatchStrideAndAllFlags) {
  // Sizes that no other component asks for, so only these references count.
  BlockPool* pool = NewBlockPool(1020, 16, 256, PoolShared);
  ASSERT_NE(pool, nullptr);
  EXPECT_EQ(NewBlockPool(1024, 2, 4, PoolShared), pool);  // the same stride, 1032
  EXPECT_EQ(pool->minimumPerChunk, 16);
  BlockPool* others[] = {NewBlockPool(1020, 16, 256, PoolShared | 2),
                         NewBlockPool(1020, 16, 256, PoolShared | PoolLocked),
                         NewBlockPool(1025, 16, 256, PoolShared)};
  for (BlockPool* other : others) EXPECT_NE(other, pool);
  // Only low bits equal to PoolLocked give a lock.
  EXPECT_EQ(others[0]->locked, 0);
  EXPECT_EQ(others[1]->locked, 1);
  FreeBlockPool(pool);
  PoolFree(pool, PoolAllocate(pool));
  FreeBlockPool(pool);
  BlockPool* fresh = NewBlockPool(1020, 4, 8, PoolShared);
  EXPECT_EQ(fresh->minimumPerChunk, 4);
  EXPECT_EQ(fresh->sharedEntry->references, 1);
  FreeBlockPool(fresh);
  for (BlockPool* other : others) FreeBlockPool(other);
}

TEST(BlockPool, LockedPoolIsReentrantAndServesManyThreads) {
  BlockPool* pool = NewBlockPool(sizeof(uint64_t) * 2, 16, 64, PoolLocked);
  ASSERT_EQ(pool->locked, 1);
  ASSERT_EQ(pthread_mutex_lock(&pool->lock), 0);
  const bool reentered = pthread_mutex_trylock(&pool->lock) == 0;
  EXPECT_TRUE(reentered);
  if (reentered) {  // the owner of the lock may still use the pool
    PoolFree(pool, PoolAllocate(pool));
    pthread_mutex_unlock(&pool->lock);
  }
  pthread_mutex_unlock(&pool->lock);

  // Each thread keeps up to 20 blocks a while, so chunks fill, reopen and empty in
  // between the other threads' calls; a block must keep what its thread wrote.
  std::atomic<bool> go{false};
  std::atomic<int> corrupt{0};
  std::vector<std::thread> threads;
  for (uint64_t t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      while (!go) std::this_thread::yield();
      std::deque<std::pair<uint64_t*, uint64_t>> held;
      for (uint64_t round = 1; round <= 6000; ++round) {
        auto* element = static_cast<uint64_t*>(PoolAllocate(pool));
        *element = t << 32 | round;
        held.emplace_back(element, *element);
        while (held.size() > (round < 6000 ? 20u : 0u)) {
          corrupt += *held.front().first != held.front().second;
          PoolFree(pool, held.front().first);
          held.pop_front();
        }
      }
    });
  }
  go = true;
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(corrupt, 0);
  EXPECT_EQ(pool->totalBlocks, 0);
  FreeBlockPool(pool);
}

}  // namespace
}  // namespace zeb
