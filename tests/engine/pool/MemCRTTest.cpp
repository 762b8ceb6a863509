#include "pool/MemCRT.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(MemCRT, CountsLiveBlocksByTheirAllocationCategory) {
    const long before1 = MemCRTLiveBlocks(1);
    const long before11 = MemCRTLiveBlocks(11);
    const long total = MemCRTLiveBlocksTotal();
    void* a = MemCRTAlloc(10, 1);
    void* b = MemCRTAlloc(0, 1);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(a) % alignof(std::max_align_t), 0u);
    std::memset(a, 0xAB, 10);
    EXPECT_EQ(MemCRTLiveBlocks(1), before1 + 2);
    EXPECT_EQ(MemCRTLiveBlocksTotal(), total + 2);
    // Freed under the caller's "free" category, counted back on the allocation's.
    MemCRTFree(a, 11);
    MemCRTFree(b, 11);
    MemCRTFree(nullptr, 11);
    EXPECT_EQ(MemCRTLiveBlocks(1), before1);
    EXPECT_EQ(MemCRTLiveBlocks(11), before11);
    EXPECT_EQ(MemCRTLiveBlocks(-1), 0);
}

TEST(MemCRTDeathTest, AnInvalidCategoryIsFatal) {
    EXPECT_DEATH(MemCRTAlloc(4, kMemCategoryCount), "invalid category");
}

} // namespace
