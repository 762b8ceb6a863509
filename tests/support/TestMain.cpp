// Test entry point shared by every test program: runs the tests under a listener that
// fails any test after which a MemCRTAlloc category, or the pools, hold more live blocks
// than before.
#include "pool/MemCRT.h"
#include "pool/MemoryPoolObj.h"

#include <array>
#include <clocale>
#include <gtest/gtest.h>

namespace {

class LeakCheckListener : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override {
        for (int category = 0; category < kMemCategoryCount; ++category)
            m_before[static_cast<size_t>(category)] = MemCRTLiveBlocks(category);
        m_poolBlocksBefore = MemPoolLiveBlocksTotal();
    }
    void OnTestEnd(const testing::TestInfo& info) override {
        for (int category = 0; category < kMemCategoryCount; ++category) {
            const long before = m_before[static_cast<size_t>(category)];
            const long after = MemCRTLiveBlocks(category);
            if (after > before)
                ADD_FAILURE() << info.test_suite_name() << "." << info.name() << " leaked "
                              << (after - before) << " block(s) of MemCRTAlloc category "
                              << category;
        }
        const long poolBlocks = MemPoolLiveBlocksTotal();
        if (poolBlocks > m_poolBlocksBefore)
            ADD_FAILURE() << info.test_suite_name() << "." << info.name() << " leaked "
                          << (poolBlocks - m_poolBlocksBefore) << " pool block(s)";
    }

private:
    std::array<long, kMemCategoryCount> m_before{};
    long m_poolBlocksBefore = 0;
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new LeakCheckListener);
    return RUN_ALL_TESTS();
}
