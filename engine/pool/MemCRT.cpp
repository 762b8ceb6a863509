#include "pool/MemCRT.h"

#include "diag/Diag.h"
#include "pool/MemCallback.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> g_liveBlocks[kMemCategoryCount];

// Placed in front of every block; its size keeps the payload maximally aligned.
struct alignas(std::max_align_t) BlockHeader {
    int category;
};

} // namespace

void* MemCRTAlloc(size_t size, int category) {
    if (category < 0 || category >= kMemCategoryCount)
        DB_FATAL("PoolLib", __LINE__, "MemCRTAlloc: invalid category %d", category);
    void* raw = std::malloc(sizeof(BlockHeader) + size);
    if (!raw)
        return nullptr;
    auto* header = new (raw) BlockHeader{category};
    g_liveBlocks[category].fetch_add(1, std::memory_order_relaxed);
    MemCBNotify("CRT", header + 1, size, static_cast<uint32_t>(category));
    return header + 1;
}

void MemCRTFree(void* block, int /*category*/) {
    if (!block)
        return;
    BlockHeader* header = static_cast<BlockHeader*>(block) - 1;
    g_liveBlocks[header->category].fetch_sub(1, std::memory_order_relaxed);
    std::free(header);
}

long MemCRTLiveBlocks(int category) {
    if (category < 0 || category >= kMemCategoryCount)
        return 0;
    return g_liveBlocks[category].load(std::memory_order_relaxed);
}

long MemCRTLiveBlocksTotal() {
    long total = 0;
    for (const auto& count : g_liveBlocks)
        total += count.load(std::memory_order_relaxed);
    return total;
}
