#pragma once

#include <cstddef>

// C-heap wrappers of the engine's memory library.
//
// Every block remembers the category it was allocated with; the live-block count of that
// category goes up on MemCRTAlloc and down when the block is freed, whatever category the
// caller passes to MemCRTFree (callers use a separate "free" category by convention).
// Tests use the counts to prove that nothing leaks.

inline constexpr int kMemCategoryCount = 32;

// Returns a block of at least size bytes (size 0 gives a valid, unique block), aligned for
// any scalar type. category must lie in 0..kMemCategoryCount-1.
void* MemCRTAlloc(size_t size, int category);

// Releases a block from MemCRTAlloc; null is ignored.
void MemCRTFree(void* block, int category);

// Blocks allocated with the category and not yet freed.
long MemCRTLiveBlocks(int category);

// Blocks not yet freed, over all categories.
long MemCRTLiveBlocksTotal();
