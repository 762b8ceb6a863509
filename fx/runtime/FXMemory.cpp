#include "runtime/FXMemory.h"

#include "diag/Diag.h"

#include <cstring>
#include <new>

namespace {

// Room for as many blocks as the runtime's active table reserves instances, so the table
// of blocks is not reallocated in ordinary use.
constexpr size_t kReservedBlocks = 1024;

// The source lines the engine's diagnostics report for the two corruption faults.
constexpr int kHandleCorruptionLine = 123;
constexpr int kFreeCorruptionLine = 93;

} // namespace

FXMemory::FXMemory() : m_pool("FXObject", kMemPoolFlagChunked) {
    m_blocks.reserve(kReservedBlocks);
}

FXMemory::~FXMemory() {
    while (m_freeHead != 0) {
        Block* block = m_blocks[m_freeHead - 1];
        std::memcpy(&m_freeHead, block->payload, sizeof m_freeHead);
        m_pool.MemPoolFree(block);
    }
}

void FXMemory::CorruptHandle() {
    DB_FATAL("FXMemory", kHandleCorruptionLine, "FX -- Memory corruption in handle");
}

FXHandle FXMemory::Allocate() {
    Block* block = nullptr;
    uint32_t index = m_freeHead;
    if (index != 0) {
        block = m_blocks[index - 1];
        std::memcpy(&m_freeHead, block->payload, sizeof m_freeHead);
    } else {
        void* memory = m_pool.MemPoolAlloc(sizeof(Block));
        if (!memory)
            return kNullFXHandle;
        block = new (memory) Block;
        block->serial = 0;
        m_blocks.push_back(block);
        index = static_cast<uint32_t>(m_blocks.size());
    }
    block->serial = static_cast<uint16_t>(block->serial + 1);
    block->check = kFXCheckLive;
    ++m_blocksInUse;
    return {index, static_cast<uint32_t>(block->serial) << 16 | kFXCheckLive};
}

void FXMemory::Free(FXHandle handle) {
    if (!Validate(handle))
        DB_FATAL("FXMemory", kFreeCorruptionLine, "FX -- Memory corruption in freeing");
    Block* block = m_blocks[handle.block - 1];
    block->check = kFXCheckFree;
    // The serial stays: the next hand-out raises it, so handles made before stay stale.
    std::memcpy(block->payload, &m_freeHead, sizeof m_freeHead);
    m_freeHead = handle.block;
    --m_blocksInUse;
}
