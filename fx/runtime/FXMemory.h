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

#include "runtime/FXHandle.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Bytes of the largest block's payload: room for the runtime's instance header (16 bytes),
// the largest instance object (240) and the largest dynamics clone (64). Code that places
// objects in a payload static_asserts against its share of this size and against
// kFXBlockPayloadAlignment, so a style that outgrows it fails to compile rather than to
// run.
inline constexpr size_t kFXBlockPayloadSize = 320;
// Instances hold floats, integers and pointers: eight-byte alignment is all they need, and
// size classes eight bytes apart waste at most seven bytes a block.
inline constexpr size_t kFXBlockPayloadAlignment = 8;

class FXMemory {
public:
    // An empty table. Blocks come in chunks of kChunkBlocks blocks of one size class
    // (payloads of 8, 16, ... 320 bytes) taken from the heap, so that a block costs no
    // more than its own bytes, and a block's index names its chunk.
    FXMemory();
    // Gives every chunk back to the heap. Blocks still in use belong to instances nobody
    // destroyed: they are reported.
    ~FXMemory();

    FXMemory(const FXMemory&) = delete;
    FXMemory& operator=(const FXMemory&) = delete;

    // Hands out a block with a payload of at least bytes (1 to kFXBlockPayloadSize; the
    // default is the largest): the most recently freed block of its size class, or a new
    // one. Its serial goes up by one (a new block's first serial is 1). The payload's
    // contents are undefined. The null handle when the heap is exhausted.
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
    void* PayloadOf(uint32_t block) const {
        const uint32_t slot = block - 1;
        const Chunk& chunk = m_chunks[slot / kChunkBlocks];
        return chunk.base + static_cast<size_t>(slot % kChunkBlocks) * chunk.stride;
    }
    FXHandle HandleOf(uint32_t block) const { return {block, m_stamps[block - 1]}; }

    // Makes the block free again; every handle to it stops validating. A handle that
    // does not validate (null, stale, already freed) is fatal ("FX -- Memory corruption
    // in freeing").
    void Free(FXHandle handle);

    // Blocks ever handed out.
    uint32_t BlocksTaken() const { return m_blocksTaken; }
    uint32_t BlocksInUse() const { return m_blocksInUse; }

private:
    static constexpr size_t kClassBytes = kFXBlockPayloadAlignment;
    static constexpr size_t kClassCount = kFXBlockPayloadSize / kClassBytes;
    static constexpr uint32_t kChunkBlocks = 64;

    // kChunkBlocks blocks of one size class; block indices (chunk number * kChunkBlocks
    // + 1) onwards are its blocks, so the payload of an index is computed, not stored.
    struct Chunk {
        std::byte* base;
        uint32_t stride;    // payload bytes of the class
        uint32_t sizeClass; // index into m_sizeClasses
    };
    // The blocks of one payload size. While a block is free, the first four bytes of its
    // payload hold the index of the next free block of its class (0 ends the list).
    struct SizeClass {
        uint32_t freeHead = 0; // most recently freed block, 0 = none
        uint32_t fresh = 0;    // next block of the newest chunk never handed out
        uint32_t freshEnd = 0; // one past the newest chunk's last block
    };

    [[noreturn]] static void CorruptHandle();
    // Takes a chunk of the class from the heap; false when the heap is exhausted.
    bool AddChunk(SizeClass& sizeClass, size_t classIndex);

    std::vector<Chunk> m_chunks;
    // By block index - 1: serial << 16 | check word, or 0 for a block never handed out.
    // Kept apart from the blocks so that a check reads only the dense stamps.
    std::vector<uint32_t> m_stamps;
    SizeClass m_sizeClasses[kClassCount];
    uint32_t m_blocksInUse = 0;
    uint32_t m_blocksTaken = 0;
};

inline bool FXMemory::Validate(FXHandle handle) const {
    if ((handle.stamp & 0xFFFFu) == kFXCheckLive) {
        if (handle.block == 0)
            return false;
        if (handle.block > m_stamps.size())
            CorruptHandle();
        // The stored stamp carries the check word: equal stamps mean in use, same serial.
        const uint32_t stored = m_stamps[handle.block - 1];
        if (stored == handle.stamp)
            return true;
        if (stored == 0)
            CorruptHandle(); // a block of a chunk that was never handed out
        return false;
    }
    if (handle.block == 0 && handle.stamp == 0)
        return false;
    CorruptHandle();
}

inline void* FXMemory::Resolve(FXHandle handle) const {
    return Validate(handle) ? PayloadOf(handle.block) : nullptr;
}
