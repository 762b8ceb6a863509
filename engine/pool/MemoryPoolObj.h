#pragma once

#include <cstddef>
#include <cstdint>

// A named pool of fixed-size blocks taken from the C heap.
//
// The first MemPoolAlloc fixes the pool's block size (rounded up to a multiple of the
// maximum scalar alignment); every later request must fit in it. Blocks given back with
// MemPoolFree are kept on the pool's free list and handed out again, most recent first;
// the pool's memory goes back to the heap only when the pool is destroyed. Every block is
// aligned for any scalar type.
//
// Not thread-safe: one pool is used by one thread at a time.

// Flags of MemoryPoolObj.
inline constexpr uint32_t kMemPoolFlagNone = 0;
// Take blocks from the heap in chunks of kMemPoolChunkBlocks instead of one at a time.
inline constexpr uint32_t kMemPoolFlagChunked = 1;

inline constexpr size_t kMemPoolChunkBlocks = 64;

class MemoryPoolObj {
public:
    // name is kept by pointer and must outlive the pool (a string literal in practice).
    MemoryPoolObj(const char* name, uint32_t flags);
    // Releases all the pool's memory. Blocks still in use are a programmer error: they
    // are reported with dbTracefAux and their memory is released with the rest.
    ~MemoryPoolObj();

    MemoryPoolObj(const MemoryPoolObj&) = delete;
    MemoryPoolObj& operator=(const MemoryPoolObj&) = delete;

    // A block of at least size bytes; null when the heap is exhausted. A size of 0 is
    // treated as 1. Asking for more than the block size fixed by the first call is fatal.
    void* MemPoolAlloc(size_t size);
    // Gives back a block from this pool's MemPoolAlloc; null is ignored. The block must
    // not be used afterwards; freeing it twice corrupts the pool (freeing while no block
    // is in use is caught and fatal).
    void MemPoolFree(void* block);

    // Gives every chunk back to the heap when no block is in use; does nothing otherwise.
    // For pools that outlive their users (function-local statics), so that memory they no
    // longer need is not held until the program ends.
    void Trim();

    const char* Name() const { return m_name; }
    uint32_t Flags() const { return m_flags; }
    // The size of every block; 0 before the first MemPoolAlloc.
    size_t BlockSize() const { return m_blockSize; }
    // Blocks handed out and not yet given back.
    size_t LiveBlocks() const { return m_liveBlocks; }
    // Blocks the pool has taken from the heap so far (in use, free or not yet handed out).
    size_t ReservedBlocks() const { return m_reservedBlocks; }

private:
    struct Chunk;
    struct FreeBlock {
        FreeBlock* next;
    };

    bool AddChunk();

    const char* m_name;
    uint32_t m_flags;
    size_t m_blockSize = 0;
    Chunk* m_chunks = nullptr;       // every chunk taken, newest first
    FreeBlock* m_freeList = nullptr; // blocks given back, most recent first
    std::byte* m_unused = nullptr;   // the newest chunk's blocks never handed out
    size_t m_unusedBlocks = 0;
    size_t m_liveBlocks = 0;
    size_t m_reservedBlocks = 0;
};

// Blocks handed out and not yet given back, over every MemoryPoolObj and MemPoolSmall in
// the program (a pool destroyed with blocks in use stops counting them). Tests use it to
// prove that nothing leaks from pools that outlive a test.
long MemPoolLiveBlocksTotal();
