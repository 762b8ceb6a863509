#include "pool/MemPoolSmall.h"

#include "diag/Diag.h"

MemPoolSmall::MemPoolSmall(const char* name, size_t objectSize)
    : m_objectSize(objectSize == 0 ? 1 : objectSize), m_pool(name, kMemPoolFlagChunked) {}

void* MemPoolSmall::Allocate(size_t size) {
    if (size > m_objectSize)
        DB_FATAL("PoolLib", __LINE__, "MemPoolSmall '%s': %zu bytes asked, objects hold %zu",
                 Name(), size, m_objectSize);
    // Always ask for the full object size, so the first request fixes the pool's blocks
    // at the largest size instead of at whatever object came first.
    return m_pool.MemPoolAlloc(m_objectSize);
}
