#include "runtime/FXMemory.h"

#include "diag/Diag.h"
#include "pool/TableGrowth.h"

#include <algorithm>
#include <cstring>

namespace {

// Room for as many blocks as the runtime's active table reserves instances, so the table
// of blocks is not reallocated in ordinary use.
constexpr size_t kReservedBlocks = 1024;

// The source lines the engine's diagnostics report for the two corruption faults.
constexpr int kHandleCorruptionLine = 123;
constexpr int kFreeCorruptionLine = 93;

uint32_t NextFree(const void* payload) {
    uint32_t next = 0;
    std::memcpy(&next, payload, sizeof next);
    return next;
}

} // namespace

FXMemory::FXMemory() {
    m_payloads.reserve(kReservedBlocks);
    m_stamps.reserve(kReservedBlocks);
    m_classes.reserve(kReservedBlocks);
}

FXMemory::~FXMemory() {
    for (SizeClass& sizeClass : m_sizeClasses) {
        while (sizeClass.freeHead != 0) {
            void* payload = m_payloads[sizeClass.freeHead - 1];
            sizeClass.freeHead = NextFree(payload);
            sizeClass.pool->MemPoolFree(payload);
        }
    }
}

void FXMemory::CorruptHandle() {
    DB_FATAL("FXMemory", kHandleCorruptionLine, "FX -- Memory corruption in handle");
}

FXHandle FXMemory::Allocate(size_t bytes) {
    const size_t classIndex = (std::clamp<size_t>(bytes, 1, kFXBlockPayloadSize) - 1) / kClassBytes;
    SizeClass& sizeClass = m_sizeClasses[classIndex];
    uint32_t index = sizeClass.freeHead;
    if (index != 0) {
        sizeClass.freeHead = NextFree(m_payloads[index - 1]);
    } else {
        if (!sizeClass.pool)
            sizeClass.pool = std::make_unique<MemoryPoolObj>("FXObject", kMemPoolFlagChunked);
        void* payload = sizeClass.pool->MemPoolAlloc((classIndex + 1) * kClassBytes);
        if (!payload)
            return kNullFXHandle;
        // The three tables grow together, by an eighth: they hold an entry for every
        // block ever taken, so doubling would leave up to half of them unused.
        const size_t blocks = m_payloads.size() + 1;
        ReserveWithEighth(m_payloads, blocks);
        ReserveWithEighth(m_stamps, blocks);
        ReserveWithEighth(m_classes, blocks);
        m_payloads.push_back(payload);
        m_stamps.push_back(kFXCheckFree); // serial 0: the hand-out below makes it 1
        m_classes.push_back(static_cast<uint8_t>(classIndex));
        index = static_cast<uint32_t>(m_payloads.size());
    }
    const auto serial = static_cast<uint16_t>((m_stamps[index - 1] >> 16) + 1);
    m_stamps[index - 1] = static_cast<uint32_t>(serial) << 16 | kFXCheckLive;
    ++m_blocksInUse;
    return {index, m_stamps[index - 1]};
}

void FXMemory::Free(FXHandle handle) {
    if (!Validate(handle))
        DB_FATAL("FXMemory", kFreeCorruptionLine, "FX -- Memory corruption in freeing");
    const uint32_t index = handle.block;
    // The serial stays: the next hand-out raises it, so handles made before stay stale.
    m_stamps[index - 1] = (handle.stamp & 0xFFFF0000u) | kFXCheckFree;
    SizeClass& sizeClass = m_sizeClasses[m_classes[index - 1]];
    std::memcpy(m_payloads[index - 1], &sizeClass.freeHead, sizeof sizeClass.freeHead);
    sizeClass.freeHead = index;
    --m_blocksInUse;
}
