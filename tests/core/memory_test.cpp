#include "runtime/core/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

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
  void* empty = AllocateBlock(0);
  void* memory = AllocateMemory(16);
  ASSERT_TRUE(block && empty && memory);
  EXPECT_EQ(Bytes(block, 64), std::string(64, 0));
  EXPECT_EQ(Bytes(memory, 16), std::string(16, 0));
  EXPECT_EQ(BlockSize(block), 64);
  EXPECT_EQ(BlockSize(empty), 0);
  EXPECT_EQ(BlockSize(memory), 16);
  for (void* allocated : {block, empty, memory}) FreeMemory(allocated);

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

// The records from head to tail, checking every back link on the way.
std::vector<void*> Records(ListNode* head) {
  std::vector<void*> records;
  ListNode* previous = nullptr;
  for (ListNode* node = head; node != nullptr; previous = node, node = node->next) {
    EXPECT_EQ(node->previous, previous);
    records.push_back(NodeRecord(node));
  }
  return records;
}

TEST(NodeList, NewestFirstWithBothLinksKept) {
  constexpr int32_t NodeSize = sizeof(ListNode) + sizeof(int64_t);
  ListNode* head = nullptr;
  EXPECT_EQ(AddListNode(&head, sizeof(ListNode) - 1), nullptr);
  void* oldest = AddListNode(&head, NodeSize);
  void* middle = AddListNode(&head, NodeSize);
  void* newest = AddListNode(&head, NodeSize);
  ASSERT_TRUE(oldest && middle && newest);
  EXPECT_EQ(Records(head), (std::vector<void*>{newest, middle, oldest}));
  EXPECT_EQ(*static_cast<int64_t*>(newest), 0);

  int64_t outside = 0;
  EXPECT_EQ(FindListNode(head, middle), middle);
  EXPECT_EQ(FindListNode(head, &outside), nullptr);
  RemoveListNode(&head, middle);
  EXPECT_EQ(Records(head), (std::vector<void*>{newest, oldest}));
  EXPECT_EQ(FindListNode(head, middle), nullptr);
  RemoveListNode(&head, newest);
  RemoveListNode(&head, oldest);
  EXPECT_EQ(head, nullptr);
}

}  // namespace
}  // namespace zeb
