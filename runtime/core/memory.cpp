#include "runtime/core/memory.h"

#include <cstdlib>
#include <cstring>

namespace zeb {

namespace {

struct BlockHeader {
  int64_t size;
};

BlockHeader* HeaderOf(const void* block) {
  return static_cast<BlockHeader*>(const_cast<void*>(block)) - 1;
}

void* DataOf(BlockHeader* header) { return header + 1; }

BlockHeader* NewHeader(int32_t size) {
  if (size < 0) return nullptr;
  // A 32-bit size plus the header always fits in size_t.
  auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + static_cast<size_t>(size)));
  if (header != nullptr) header->size = size;
  return header;
}

}  // namespace

void* AllocateBlock(int32_t size) {
  BlockHeader* header = NewHeader(size);
  if (header == nullptr) return nullptr;
  std::memset(DataOf(header), 0, static_cast<size_t>(size));
  return DataOf(header);
}

void* AllocateBlockNoClear(int32_t size) {
  BlockHeader* header = NewHeader(size);
  return header == nullptr ? nullptr : DataOf(header);
}

void* ReAllocateBlock(void* block, int64_t size) {
  // A block never outgrows what its 32-bit allocation size can express, so a
  // block's size always fits the size argument of the other block operations.
  if (block == nullptr || size < 0 || size > INT32_MAX) return nullptr;
  BlockHeader* old = HeaderOf(block);
  const int64_t oldSize = old->size;
  auto* header = static_cast<BlockHeader*>(
      std::realloc(old, sizeof(BlockHeader) + static_cast<size_t>(size)));
  if (header == nullptr) return nullptr;
  if (size > oldSize) {
    std::memset(static_cast<char*>(DataOf(header)) + oldSize, 0,
                static_cast<size_t>(size - oldSize));
  }
  header->size = size;
  return DataOf(header);
}

void FreeBlock(void* block) {
  if (block != nullptr) std::free(HeaderOf(block));
}

int64_t BlockSize(const void* block) { return block == nullptr ? 0 : HeaderOf(block)->size; }

void* AllocateMemory(int64_t size, int flags) {
  if (size < 1 || size > INT32_MAX) return nullptr;
  const auto blockSize = static_cast<int32_t>(size);
  return (flags & MemoryNoClear) != 0 ? AllocateBlockNoClear(blockSize) : AllocateBlock(blockSize);
}

void* AllocateMemory(int64_t size) { return AllocateMemory(size, 0); }

void FreeMemory(void* block) { FreeBlock(block); }

void* AddListNode(ListNode** head, int32_t nodeSize) {
  if (head == nullptr || nodeSize < static_cast<int32_t>(sizeof(ListNode))) return nullptr;
  auto* node = static_cast<ListNode*>(AllocateBlock(nodeSize));
  if (node == nullptr) return nullptr;
  node->next = *head;
  if (*head != nullptr) (*head)->previous = node;
  *head = node;
  return NodeRecord(node);
}

void RemoveListNode(ListNode** head, void* record) {
  if (head == nullptr || record == nullptr) return;
  ListNode* node = RecordNode(record);
  if (node->previous != nullptr) {
    node->previous->next = node->next;
  } else {
    *head = node->next;
  }
  if (node->next != nullptr) node->next->previous = node->previous;
  FreeBlock(node);
}

void* FindListNode(ListNode* first, const void* record) {
  // Compared as integers: the record may be any number a caller was handed, and
  // must not be turned back into a node address before it is known to be one.
  const auto wanted = reinterpret_cast<uintptr_t>(record);
  for (ListNode* node = first; node != nullptr; node = node->next) {
    if (reinterpret_cast<uintptr_t>(NodeRecord(node)) == wanted) return NodeRecord(node);
  }
  return nullptr;
}

}  // namespace zeb
