#pragma once

// Fixed-size blocks for live FX instances, reached through FXHandles.
//
// Every block carries a check word (kFXCheckLive while in use, kFXCheckFree while free)
// and a serial that grows by one, modulo 65536, each time the block is handed out. A
// handle is the block's 1-based index in the table of blocks plus the serial and check
// word it was made with, so a handle whose instance has died (the block was freed, and
// perhaps handed out again) no longer validates. A handle that cannot have come from
// here (a foreign check word, a null block with a serial, an index past the table) is a
// programmer error and stops the program.

#include "pool/MemoryPoolObj.h"
#include "runtime/FXHandle.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Bytes of a block's payload: room for the runtime's instance header (32 bytes) and the
// largest instance object (the ring's, 208 bytes on 64-bit machines). Code that places
// objects in a payload static_asserts against this size and kFXBlockPayloadAlignment, so
// a style that outgrows it fails to compile rather than to run.
inline constexpr size_t kFXBlockPayloadSize = 256;
inline constexpr size_t kFXBlockPayloadAlignment = alignof(std::max_align_t);

class FXMemory {
public:
    // An empty table; blocks come from a MemoryPoolObj named "FXObject", taken from the
    // heap in chunks so that a block costs no more than its own bytes.
    FXMemory();
    // Gives every free block back to the pool, then destroys the pool. Blocks still in
    // use belong to instances nobody destroyed; the pool reports them.
    ~FXMemory();

    FXMemory(const FXMemory&) = delete;
    FXMemory& operator=(const FXMemory&) = delete;

    // Hands out a block: the most recently freed one, or a new one from the pool. Its
    // serial goes up by one (a new block's first serial is 1). The payload's contents
    // are undefined. The null handle when the heap is exhausted.
    FXHandle Allocate();

    // True exactly when the handle refers to a block in use that was handed out with the
    // handle's serial. The null handle, a handle with check word 222 and block 0, and
    // stale handles give false silently; any other handle is fatal ("FX -- Memory
    // corruption in handle").
    bool Validate(FXHandle handle) const;

    // The block's payload (kFXBlockPayloadSize bytes, aligned to
    // kFXBlockPayloadAlignment) when the handle validates, else null. Stays valid until
    // the block is freed.
    void* Resolve(FXHandle handle) const;

    // Makes the block free again; every handle to it stops validating. A handle that
    // does not validate (null, stale, already freed) is fatal ("FX -- Memory corruption
    // in freeing").
    void Free(FXHandle handle);

    // Blocks ever taken from the pool: also the largest index a handle may carry.
    uint32_t BlocksTaken() const { return static_cast<uint32_t>(m_blocks.size()); }
    uint32_t BlocksInUse() const { return m_blocksInUse; }

private:
    struct Block {
        uint16_t check;
        uint16_t serial;
        // While the block is free, its first four bytes hold the index of the next free
        // block (0 ends the list).
        alignas(kFXBlockPayloadAlignment) std::byte payload[kFXBlockPayloadSize];
    };

    [[noreturn]] static void CorruptHandle();

    MemoryPoolObj m_pool;
    std::vector<Block*> m_blocks; // index - 1 -> block
    uint32_t m_freeHead = 0;      // index of the most recently freed block, 0 = none
    uint32_t m_blocksInUse = 0;
};

inline bool FXMemory::Validate(FXHandle handle) const {
    if ((handle.stamp & 0xFFFFu) == kFXCheckLive) {
        if (handle.block == 0)
            return false;
        if (handle.block > m_blocks.size())
            CorruptHandle();
        const Block* block = m_blocks[handle.block - 1];
        return block->check == kFXCheckLive && block->serial == handle.Serial();
    }
    if (handle.block == 0 && handle.stamp == 0)
        return false;
    CorruptHandle();
}

inline void* FXMemory::Resolve(FXHandle handle) const {
    return Validate(handle) ? m_blocks[handle.block - 1]->payload : nullptr;
}
