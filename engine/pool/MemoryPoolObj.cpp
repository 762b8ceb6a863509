#include "pool/MemoryPoolObj.h"

#include "diag/Diag.h"
#include "pool/MemCallback.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> g_poolLiveBlocks{0};

constexpr size_t kAlignment = alignof(std::max_align_t);

size_t RoundUpToAlignment(size_t size) {
    return (size + kAlignment - 1) / kAlignment * kAlignment;
}

} // namespace

// Placed in front of the blocks of every chunk; its size keeps the blocks maximally
// aligned.
struct alignas(std::max_align_t) MemoryPoolObj::Chunk {
    Chunk* next;
};

MemoryPoolObj::MemoryPoolObj(const char* name, uint32_t flags)
    : m_name(name ? name : ""), m_flags(flags) {}

MemoryPoolObj::~MemoryPoolObj() {
    if (m_liveBlocks != 0) {
        dbTracefAux("MemoryPoolObj '%s' destroyed with %zu block(s) in use", m_name, m_liveBlocks);
        g_poolLiveBlocks.fetch_sub(static_cast<long>(m_liveBlocks), std::memory_order_relaxed);
    }
    while (m_chunks) {
        Chunk* next = m_chunks->next;
        std::free(m_chunks);
        m_chunks = next;
    }
}

void MemoryPoolObj::Trim() {
    if (m_liveBlocks != 0)
        return;
    while (m_chunks) {
        Chunk* next = m_chunks->next;
        std::free(m_chunks);
        m_chunks = next;
    }
    m_freeList = nullptr;
    m_unused = nullptr;
    m_unusedBlocks = 0;
    m_reservedBlocks = 0;
}

bool MemoryPoolObj::AddChunk() {
    const size_t blocks = (m_flags & kMemPoolFlagChunked) ? kMemPoolChunkBlocks : 1;
    void* raw = std::malloc(sizeof(Chunk) + blocks * m_blockSize);
    if (!raw)
        return false;
    m_chunks = new (raw) Chunk{m_chunks};
    m_unused = reinterpret_cast<std::byte*>(m_chunks + 1);
    m_unusedBlocks = blocks;
    m_reservedBlocks += blocks;
    return true;
}

void* MemoryPoolObj::MemPoolAlloc(size_t size) {
    if (m_blockSize == 0)
        m_blockSize = RoundUpToAlignment(size == 0 ? 1 : size);
    else if (size > m_blockSize)
        DB_FATAL("PoolLib", __LINE__,
                 "MemPoolAlloc: %zu bytes asked of pool '%s' of %zu-byte blocks", size, m_name,
                 m_blockSize);

    void* block = nullptr;
    if (m_freeList) {
        block = m_freeList;
        m_freeList = m_freeList->next;
    } else {
        if (m_unusedBlocks == 0 && !AddChunk())
            return nullptr;
        block = m_unused;
        m_unused += m_blockSize;
        --m_unusedBlocks;
    }
    ++m_liveBlocks;
    g_poolLiveBlocks.fetch_add(1, std::memory_order_relaxed);
    MemCBNotify(m_name, block, size, 0xFFFFFFFFu);
    return block;
}

void MemoryPoolObj::MemPoolFree(void* block) {
    if (!block)
        return;
    if (m_liveBlocks == 0)
        DB_FATAL("PoolLib", __LINE__, "MemPoolFree: pool '%s' has no block in use", m_name);
    m_freeList = new (block) FreeBlock{m_freeList};
    --m_liveBlocks;
    g_poolLiveBlocks.fetch_sub(1, std::memory_order_relaxed);
}

long MemPoolLiveBlocksTotal() {
    return g_poolLiveBlocks.load(std::memory_order_relaxed);
}
