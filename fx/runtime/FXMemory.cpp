#include "runtime/FXMemory.h"

#include "diag/Diag.h"
#include "pool/TableGrowth.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Room for as many blocks as the runtime's active table reserves instances, so the tables
// are not reallocated in ordinary use.
constexpr size_t kReservedBlocks = 1024;

// Chunks start on a cache line, so that a block of a class of 64 bytes or a multiple
// sits on whole lines.
constexpr std::align_val_t kChunkAlignment{64};

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
    m_chunks.reserve(kReservedBlocks / kChunkBlocks);
    m_stamps.reserve(kReservedBlocks);
}

FXMemory::~FXMemory() {
    if (m_blocksInUse != 0)
        dbTracefAux("FXMemory destroyed with %u block(s) in use", m_blocksInUse);
    for (const Chunk& chunk : m_chunks)
        ::operator delete(chunk.base, kChunkAlignment);
}

void FXMemory::CorruptHandle() {
    DB_FATAL("FXMemory", kHandleCorruptionLine, "FX -- Memory corruption in handle");
}

bool FXMemory::AddChunk(SizeClass& sizeClass, size_t classIndex) {
    const auto stride = static_cast<uint32_t>((classIndex + 1) * kClassBytes);
    auto* base = static_cast<std::byte*>(
        ::operator new (size_t{stride} * kChunkBlocks, kChunkAlignment, std::nothrow));
    if (!base)
        return false;
    const auto first = static_cast<uint32_t>(m_stamps.size() + 1);
    // The tables grow by an eighth, not by doubling: they hold an entry for every block
    // ever taken, and doubling would leave up to half of them unused.
    ReserveWithEighth(m_chunks, m_chunks.size() + 1);
    ReserveWithEighth(m_stamps, m_stamps.size() + kChunkBlocks);
    m_chunks.push_back({base, stride, static_cast<uint32_t>(classIndex)});
    m_stamps.resize(m_stamps.size() + kChunkBlocks, 0);
    sizeClass.fresh = first;
    sizeClass.freshEnd = first + kChunkBlocks;
    return true;
}

FXHandle FXMemory::Allocate(size_t bytes) {
    const size_t classIndex = (std::clamp<size_t>(bytes, 1, kFXBlockPayloadSize) - 1) / kClassBytes;
    SizeClass& sizeClass = m_sizeClasses[classIndex];
    uint32_t index = sizeClass.freeHead;
    if (index != 0) {
        sizeClass.freeHead = NextFree(PayloadOf(index));
    } else {
        if (sizeClass.fresh == sizeClass.freshEnd && !AddChunk(sizeClass, classIndex))
            return kNullFXHandle;
        index = sizeClass.fresh++;
        ++m_blocksTaken;
    }
    // A block never handed out has serial 0: this hand-out makes it 1.
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
    SizeClass& sizeClass = m_sizeClasses[m_chunks[(index - 1) / kChunkBlocks].sizeClass];
    std::memcpy(PayloadOf(index), &sizeClass.freeHead, sizeof sizeClass.freeHead);
    sizeClass.freeHead = index;
    --m_blocksInUse;
}
