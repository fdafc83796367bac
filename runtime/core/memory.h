// Memory blocks and node lists, the allocation layer under most runtime records.
//
// A memory block is one C-heap allocation: an 8-byte header that holds the block's
// size as a signed 64-bit value, then the data. Callers see only the data address.
// A node list is a doubly linked list of memory blocks whose data starts with the
// next and previous node pointers, followed by the record the caller uses.
#pragma once

#include <cstdint>

namespace zeb {

// Bit 0 of the AllocateMemory flags: leave the block's contents undefined.
inline constexpr int MemoryNoClear = 1;

// A zero-filled block of `size` bytes (0 allowed), or null when size is negative
// or the heap fails. No block holds more than INT32_MAX bytes.
void* AllocateBlock(int32_t size);

// As AllocateBlock, without clearing the data.
void* AllocateBlockNoClear(int32_t size);

// Resizes a block to `size` bytes; when it grows, the bytes beyond the old size
// are zero-filled. Returns the (possibly moved) block, or null when the block is
// null, size is negative or above INT32_MAX, or the heap fails; on failure the old
// block stays valid.
void* ReAllocateBlock(void* block, int64_t size);

// Frees a block; null is allowed.
void FreeBlock(void* block);

// The size stored in a block's header; 0 for null.
int64_t BlockSize(const void* block);

// A block of `size` bytes, zero-filled unless flags has MemoryNoClear. Sizes below
// 1, and sizes beyond what a block's 32-bit size argument can hold, give null.
void* AllocateMemory(int64_t size, int flags);
void* AllocateMemory(int64_t size);
void FreeMemory(void* block);

// The two links that stand immediately before every record of a node list.
struct ListNode {
  ListNode* next;
  ListNode* previous;
};

inline void* NodeRecord(ListNode* node) { return node + 1; }
inline ListNode* RecordNode(void* record) { return static_cast<ListNode*>(record) - 1; }

// Links a new zero-filled node of `nodeSize` bytes (the two links included) at the
// head of the list and returns its record; null when nodeSize cannot hold the links
// or the heap fails.
void* AddListNode(ListNode** head, int32_t nodeSize);

// Unlinks the node of `record` from the list and frees it. The record must belong
// to the list (FindListNode tells); null does nothing.
void RemoveListNode(ListNode** head, void* record);

// The record when a node of the list starting at `first` holds it, else null. The
// record is compared by address only, so any value may be asked about.
void* FindListNode(ListNode* first, const void* record);

}  // namespace zeb
