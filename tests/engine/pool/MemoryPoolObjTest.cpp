#include "pool/MemoryPoolObj.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

TEST(MemoryPoolObj, HandsOutDistinctAlignedBlocksAndReusesFreedOnesMostRecentFirst) {
    const long totalBefore = MemPoolLiveBlocksTotal();
    MemoryPoolObj pool("Test", kMemPoolFlagNone);
    std::vector<void*> blocks;
    for (int i = 0; i < 10; ++i) {
        blocks.push_back(pool.MemPoolAlloc(260));
        ASSERT_NE(blocks.back(), nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(blocks.back()) % alignof(std::max_align_t), 0u);
        std::memset(blocks.back(), i, 260);
    }
    EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), blocks.size());
    EXPECT_EQ(pool.LiveBlocks(), 10u);
    EXPECT_EQ(MemPoolLiveBlocksTotal(), totalBefore + 10);

    pool.MemPoolFree(blocks[3]);
    pool.MemPoolFree(blocks[7]);
    pool.MemPoolFree(nullptr);
    EXPECT_EQ(pool.MemPoolAlloc(260), blocks[7]);
    EXPECT_EQ(pool.MemPoolAlloc(8), blocks[3]); // smaller requests get a full block
    EXPECT_EQ(pool.ReservedBlocks(), 10u);
    for (void* block : blocks)
        pool.MemPoolFree(block);
    EXPECT_EQ(pool.LiveBlocks(), 0u);
    EXPECT_EQ(MemPoolLiveBlocksTotal(), totalBefore);
}

TEST(MemoryPoolObj, ChunkedPoolsTakeTheHeapInChunks) {
    MemoryPoolObj pool("Chunked", kMemPoolFlagChunked);
    std::vector<void*> blocks{pool.MemPoolAlloc(24)};
    EXPECT_EQ(pool.ReservedBlocks(), kMemPoolChunkBlocks);
    while (blocks.size() <= kMemPoolChunkBlocks)
        blocks.push_back(pool.MemPoolAlloc(24));
    EXPECT_EQ(pool.ReservedBlocks(), 2 * kMemPoolChunkBlocks);
    EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), blocks.size());
    for (void* block : blocks)
        pool.MemPoolFree(block);
}

TEST(MemoryPoolObjDeathTest, MisuseIsFatal) {
    MemoryPoolObj pool("Test", kMemPoolFlagNone);
    EXPECT_DEATH(pool.MemPoolFree(&pool), "pool 'Test' has no block in use");
    void* block = pool.MemPoolAlloc(40);
    EXPECT_DEATH(pool.MemPoolAlloc(pool.BlockSize() + 1), "bytes asked of pool 'Test'");
    pool.MemPoolFree(block);
}

} // namespace
