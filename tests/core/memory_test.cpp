// Memory blocks. (Node lists are checked through the object registry's dynamic
// objects, and through the program records in files_tests.)
#include "runtime/core/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace zeb {
namespace {

// The first `size` bytes of a block, for comparing with what they should hold.
std::string Bytes(const void* block, size_t size) { return std::string(static_cast<const char*>(block), size); }

TEST(MemoryBlock, AllocationRecordsSizeClearsAndRefusesBadSizes) {
  // Dirty the heap first so that a missing clear cannot pass by luck.
  void* dirty = AllocateBlockNoClear(64);
  ASSERT_NE(dirty, nullptr);
  std::memset(dirty, 0xAA, 64);
  FreeBlock(dirty);
  void* block = AllocateBlock(64);
  void* memory = AllocateMemory(16);
  ASSERT_TRUE(block && memory);
  EXPECT_EQ(Bytes(block, 64), std::string(64, 0));
  EXPECT_EQ(Bytes(memory, 16), std::string(16, 0));
  EXPECT_EQ(BlockSize(block), 64);
  EXPECT_EQ(BlockSize(memory), 16);
  for (void* allocated : {block, memory}) FreeMemory(allocated);

  EXPECT_EQ(AllocateBlock(-1), nullptr);
  EXPECT_EQ(AllocateBlockNoClear(INT32_MIN), nullptr);
  EXPECT_EQ(AllocateMemory(0), nullptr);
  // Both would pass a 32-bit truncation as 0 and 16 bytes.
  EXPECT_EQ(AllocateMemory(INT64_C(1) << 32), nullptr);
  EXPECT_EQ(AllocateMemory((INT64_C(1) << 32) + 16, MemoryNoClear), nullptr);
}

TEST(MemoryBlock, ReAllocateKeepsDataAndClearsGrowth) {
  EXPECT_EQ(ReAllocateBlock(nullptr, 16), nullptr);
  // Shrinking a dirty block leaves stale bytes past the new size in most heaps;
  // growing again must not expose them.
  auto* block = static_cast<unsigned char*>(AllocateBlockNoClear(64));
  ASSERT_NE(block, nullptr);
  std::memset(block, 0xAA, 64);
  block = static_cast<unsigned char*>(ReAllocateBlock(ReAllocateBlock(block, 4), 12));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(BlockSize(block), 12);
  EXPECT_EQ(Bytes(block, 12), std::string(4, '\xAA') + std::string(8, 0));
  // Refused sizes leave the block as it was.
  for (int64_t size : {int64_t{-1}, int64_t{INT32_MAX} + 1, INT64_MAX}) {
    EXPECT_EQ(ReAllocateBlock(block, size), nullptr) << size;
  }
  EXPECT_EQ(BlockSize(block), 12);
  EXPECT_EQ(Bytes(block, 4), std::string(4, '\xAA'));
  FreeBlock(block);
}

}  // namespace
}  // namespace zeb
