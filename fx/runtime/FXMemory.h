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
#include <memory>
#include <vector>

// Bytes of the largest block's payload: room for the runtime's instance header and the
// largest instance object. Code that places objects in a payload static_asserts against
// this size and kFXBlockPayloadAlignment, so a style that outgrows it fails to compile
// rather than to run.
inline constexpr size_t kFXBlockPayloadSize = 256;
inline constexpr size_t kFXBlockPayloadAlignment = alignof(std::max_align_t);

class FXMemory {
public:
    // An empty table; blocks come from MemoryPoolObjs named "FXObject", one per size class
    // (payloads of 16, 32, ... 256 bytes), taken from the heap in chunks so that a block
    // costs no more than its own bytes.
    FXMemory();
    // Gives every free block back to its pool, then destroys the pools. Blocks still in use
    // belong to instances nobody destroyed; the pools report them.
    ~FXMemory();

    FXMemory(const FXMemory&) = delete;
    FXMemory& operator=(const FXMemory&) = delete;

    // Hands out a block with a payload of at least bytes (1 to kFXBlockPayloadSize; the
    // default is the largest): the most recently freed block of its size class, or a new
    // one from the pool. Its serial goes up by one (a new block's first serial is 1). The
    // payload's contents are undefined. The null handle when the heap is exhausted.
    FXHandle Allocate(size_t bytes = kFXBlockPayloadSize);

    // True exactly when the handle refers to a block in use that was handed out with the
    // handle's serial. The null handle, a handle with check word 222 and block 0, and
    // stale handles give false silently; any other handle is fatal ("FX -- Memory
    // corruption in handle").
    bool Validate(FXHandle handle) const;

    // The block's payload (aligned to kFXBlockPayloadAlignment) when the handle
    // validates, else null. Stays valid until the block is freed.
    void* Resolve(FXHandle handle) const;

    // For owners walking blocks they know to be in use (the block index of a live
    // handle): the payload and the live handle of the block, without a check.
    void* PayloadOf(uint32_t block) const { return m_payloads[block - 1]; }
    FXHandle HandleOf(uint32_t block) const { return {block, m_stamps[block - 1]}; }

    // Makes the block free again; every handle to it stops validating. A handle that
    // does not validate (null, stale, already freed) is fatal ("FX -- Memory corruption
    // in freeing").
    void Free(FXHandle handle);

    // Blocks ever taken from the pools: also the largest index a handle may carry.
    uint32_t BlocksTaken() const { return static_cast<uint32_t>(m_payloads.size()); }
    uint32_t BlocksInUse() const { return m_blocksInUse; }

private:
    static constexpr size_t kClassBytes = kFXBlockPayloadAlignment;
    static constexpr size_t kClassCount = kFXBlockPayloadSize / kClassBytes;

    // The blocks of one payload size. While a block is free, the first four bytes of its
    // payload hold the index of the next free block of its class (0 ends the list).
    struct SizeClass {
        std::unique_ptr<MemoryPoolObj> pool; // made on first use
        uint32_t freeHead = 0;               // most recently freed block, 0 = none
    };

    [[noreturn]] static void CorruptHandle();

    // By block index - 1: the payload, the stamp (serial << 16 | check word) and the size
    // class. Kept apart from the blocks so that a check reads only the dense stamps.
    std::vector<void*> m_payloads;
    std::vector<uint32_t> m_stamps;
    std::vector<uint8_t> m_classes;
    SizeClass m_sizeClasses[kClassCount];
    uint32_t m_blocksInUse = 0;
};

inline bool FXMemory::Validate(FXHandle handle) const {
    if ((handle.stamp & 0xFFFFu) == kFXCheckLive) {
        if (handle.block == 0)
            return false;
        if (handle.block > m_stamps.size())
            CorruptHandle();
        // The stored stamp carries the check word: equal stamps mean in use, same serial.
        return m_stamps[handle.block - 1] == handle.stamp;
    }
    if (handle.block == 0 && handle.stamp == 0)
        return false;
    CorruptHandle();
}

inline void* FXMemory::Resolve(FXHandle handle) const {
    return Validate(handle) ? m_payloads[handle.block - 1] : nullptr;
}
