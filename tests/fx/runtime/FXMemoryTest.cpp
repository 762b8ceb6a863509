#include "runtime/FXMemory.h"

#include "diag/Diag.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr uint32_t Stamp(uint32_t serial, uint32_t check) {
    return serial << 16 | check;
}

TEST(FXMemory, HandsOutStampedBlocksAndReusesFreedOnesMostRecentFirst) {
    std::vector<std::string> notices;
    DiagTraceSink previous =
        dbSetTraceSink([&notices](const std::string& line) { notices.push_back(line); });
    {
        FXMemory memory;
        const FXHandle a = memory.Allocate();
        const FXHandle b = memory.Allocate();
        const FXHandle c = memory.Allocate();
        EXPECT_EQ(a, (FXHandle{1, Stamp(1, 222)}));
        EXPECT_EQ(c, (FXHandle{3, Stamp(1, 222)}));
        void* payload = memory.Resolve(a);
        ASSERT_NE(payload, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(payload) % kFXBlockPayloadAlignment, 0u);
        std::memset(payload, 0xCD, kFXBlockPayloadSize); // must not disturb block b
        EXPECT_TRUE(memory.Validate(b));

        memory.Free(a);
        memory.Free(c);
        EXPECT_EQ(memory.BlocksInUse(), 1u);
        const FXHandle reused[] = {memory.Allocate(), memory.Allocate(), memory.Allocate()};
        EXPECT_EQ(reused[0].block, c.block);
        EXPECT_EQ(reused[1].block, a.block);
        EXPECT_EQ(reused[2].block, 4u);
        EXPECT_EQ(memory.BlocksTaken(), 4u);
        for (const FXHandle handle : {b, reused[0], reused[1], reused[2]})
            memory.Free(handle);
    }
    dbSetTraceSink(std::move(previous));
    EXPECT_EQ(notices, std::vector<std::string>{}); // every free block went back to the pool
}

TEST(FXMemory, BlocksOfEachSizeClassAreReusedOnlyForThatClass) {
    FXMemory memory;
    const FXHandle small = memory.Allocate(37); // a 40-byte block
    const FXHandle large = memory.Allocate();
    std::memset(memory.Resolve(small), 0xAB, 40);
    std::memset(memory.Resolve(large), 0xCD, kFXBlockPayloadSize);
    EXPECT_TRUE(memory.Validate(small));
    EXPECT_TRUE(memory.Validate(large));
    memory.Free(small);
    const FXHandle big = memory.Allocate(200); // does not fit the freed block
    EXPECT_NE(big.block, small.block);
    const FXHandle again = memory.Allocate(33); // the same class: the freed block
    EXPECT_EQ(again.block, small.block);
    EXPECT_EQ(again.Serial(), 2);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(memory.Resolve(again)) % kFXBlockPayloadAlignment, 0u);
    for (const FXHandle handle : {large, big, again})
        memory.Free(handle);
}

TEST(FXMemory, AReusedBlockGetsTheNextSerialAndOldHandlesGoStale) {
    FXMemory memory;
    const FXHandle first = memory.Allocate();
    memory.Free(first);
    EXPECT_FALSE(memory.Validate(first));
    EXPECT_EQ(memory.Resolve(first), nullptr);
    const FXHandle again = memory.Allocate();
    EXPECT_EQ(again, (FXHandle{first.block, Stamp(2, 222)}));
    EXPECT_FALSE(memory.Validate(first));
    EXPECT_TRUE(memory.Validate(again));
    memory.Free(again);
}

TEST(FXMemory, TheSerialWrapsToZeroOnThe65536thHandOut) {
    FXMemory memory;
    for (int handOut = 1; handOut < 65536; ++handOut)
        memory.Free(memory.Allocate());
    const FXHandle wrapped = memory.Allocate();
    EXPECT_EQ(wrapped, (FXHandle{1, Stamp(0, 222)}));
    EXPECT_TRUE(memory.Validate(wrapped));
    memory.Free(wrapped);
    EXPECT_EQ(memory.Allocate().Serial(), 1);
    EXPECT_EQ(memory.BlocksTaken(), 1u);
}

TEST(FXMemory, NullAndBlocklessHandlesAreSilentlyInvalid) {
    FXMemory memory;
    const FXHandle live = memory.Allocate();
    EXPECT_FALSE(memory.Validate(kNullFXHandle));
    EXPECT_EQ(memory.Resolve(kNullFXHandle), nullptr);
    EXPECT_FALSE(memory.Validate(FXHandle{0, Stamp(1, 222)}));
    EXPECT_FALSE(memory.Validate(FXHandle{0, Stamp(0, 222)}));
    memory.Free(live);
}

TEST(FXMemoryDeathTest, HandlesThatCannotHaveComeFromHereAreFatal) {
    FXMemory memory;
    const FXHandle live = memory.Allocate();
    const char* corrupt = "FXMemory\\(123\\): FX -- Memory corruption in handle";
    EXPECT_DEATH(memory.Validate(FXHandle{live.block, Stamp(1, 221)}), corrupt);
    EXPECT_DEATH(memory.Validate(FXHandle{live.block, Stamp(1, 220)}), corrupt);
    EXPECT_DEATH(memory.Validate(FXHandle{live.block, 0}), corrupt);
    EXPECT_DEATH(memory.Validate(FXHandle{0, Stamp(3, 0)}), corrupt); // null block, serial 3
    // Forged indices past the blocks ever taken.
    EXPECT_DEATH(memory.Validate(FXHandle{2, Stamp(1, 222)}), corrupt);
    EXPECT_DEATH(memory.Resolve(FXHandle{0xFFFFFFFFu, Stamp(1, 222)}), corrupt);
    memory.Free(live);
}

TEST(FXMemoryDeathTest, FreeingAHandleThatIsNotLiveIsFatal) {
    FXMemory memory;
    const FXHandle handle = memory.Allocate();
    memory.Free(handle);
    const char* freeing = "FXMemory\\(93\\): FX -- Memory corruption in freeing";
    EXPECT_DEATH(memory.Free(handle), freeing);
    EXPECT_DEATH(memory.Free(kNullFXHandle), freeing);
    EXPECT_DEATH(memory.Free(FXHandle{1, Stamp(1, 7)}), "corruption in handle");
}

} // namespace
