#include "diag/Diag.h"
#include "pool/MemCRT.h"
#include "pool/MemoryPoolObj.h"
#include "runtime/FXCamera.h"
#include "runtime/FXFrustum.h"
#include "support/TestFx.h"

#include <gtest/gtest.h>
#include <numeric>

namespace {

class FXInstancesTest : public testing::Test {
protected:
    void SetUp() override {
        FXManager::Startup();
        m_previousSink =
            dbSetTraceSink([this](const std::string& line) { m_traces.push_back(line); });
    }
    void TearDown() override {
        FXManager::Shutdown();
        dbSetTraceSink(std::move(m_previousSink));
    }

    FXManager& Manager() { return *FXManager::Instance(); }

    // A camera at the origin looking down -Z.
    void RenderView() {
        FXCamera camera;
        camera.SetAspectRatio(1.0f);
        camera.UpdateMatrices();
        FXFrustum frustum;
        camera.BuildFrustum(frustum);
        Manager().Render(frustum, camera);
    }

    FXHandle CreateAt(const char* name, const Vector3& position) {
        const FXHandle handle = Manager().Create(name, nullptr);
        Matrix4 transform;
        transform.SetTranslation(position);
        Manager().SetTransform(handle, transform);
        return handle;
    }

    std::vector<std::string> m_traces;
    DiagTraceSink m_previousSink;
};

TEST_F(FXInstancesTest, UpdatesAreCutIntoStepsOfATenthAtMost) {
    TestFxType& type = AddTestFx("steady", -1.0f);
    Manager().Create("steady", nullptr);
    Manager().Update(2.5f); // cut to the maximum step of 1.0 first
    ASSERT_EQ(type.log.updates.size(), 10u);
    for (const float dt : type.log.updates)
        EXPECT_NEAR(dt, 0.1f, 1e-6f);
    type.log.updates.clear();
    Manager().Update(0.25f);
    ASSERT_EQ(type.log.updates.size(), 3u);
    EXPECT_NEAR(type.log.updates[2], 0.05f, 1e-6f);
    type.log.updates.clear();
    Manager().Update(-1.0f);
    EXPECT_TRUE(type.log.updates.empty());
    Manager().SetMaxUpdateStep(3.4028235e38f);
    Manager().Update(2.5f);
    EXPECT_EQ(type.log.updates.size(), 25u);
}

TEST_F(FXInstancesTest, OffScreenInstancesWaitForASecondOfTime) {
    TestFxType& type = AddTestFx("hidden", -1.0f);
    CreateAt("hidden", {0, 0, 50}); // behind the camera
    RenderView();
    Manager().Update(0.05f); // the first step always updates a new instance
    ASSERT_EQ(type.log.updates.size(), 1u);
    for (int i = 0; i < 5; ++i)
        Manager().Update(0.1f);
    EXPECT_EQ(type.log.updates.size(), 1u);
    for (int i = 0; i < 5; ++i)
        Manager().Update(0.1f);
    ASSERT_EQ(type.log.updates.size(), 2u);
    EXPECT_NEAR(type.log.updates[1], 1.0f, 1e-5f);
}

TEST_F(FXInstancesTest, OffScreenUpdatesAreSpreadOverSteps) {
    TestFxType& type = AddTestFx("crowd", -1.0f);
    for (int i = 0; i < 80; ++i)
        CreateAt("crowd", {0, 0, 50});
    RenderView();
    Manager().Update(0.1f);
    type.log.updates.clear();
    for (int i = 0; i < 9; ++i)
        Manager().Update(0.1f);
    // After a second all are due, but a step takes at most live / 8 + 1 of them.
    Manager().Update(0.1f);
    EXPECT_EQ(type.log.updates.size(), 11u);
    FXStats stats;
    Manager().GetStats(stats);
    EXPECT_EQ(stats[FX_STAT_UPDATED], 11u);
}

TEST_F(FXInstancesTest, DestroyTakesChildrenFirstAndUnlinksFromTheParent) {
    TestFxType& leaf = AddTestFx("leaf", -1.0f);
    TestFxType& parent = AddTestFx("parent", -1.0f);
    parent.children = {"leaf", "leaf"};
    const FXHandle top = Manager().Create("parent", nullptr);
    const std::vector<FXHandle> children = Manager().Children(top);
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(Manager().LiveCount(), 3u);
    Manager().Destroy(children[0]);
    EXPECT_FALSE(Manager().IsAlive(children[0]));
    EXPECT_EQ(Manager().Children(top), std::vector<FXHandle>{children[1]});
    Manager().Destroy(top);
    EXPECT_FALSE(Manager().IsAlive(children[1]));
    EXPECT_EQ(Manager().LiveCount(), 0u);
    EXPECT_EQ(leaf.log.destroyed, 2);
    Manager().Destroy(top); // stale: nothing happens
    Manager().Destroy(kNullFXHandle);
}

TEST_F(FXInstancesTest, AFinishedParentWaitsForItsChildren) {
    AddTestFx("long", 1.0f);
    TestFxType& parent = AddTestFx("short", 0.2f);
    parent.children = {"long"};
    const FXHandle top = Manager().Create("short", nullptr);
    for (int i = 0; i < 5; ++i)
        Manager().Update(0.1f);
    EXPECT_TRUE(Manager().IsAlive(top));
    EXPECT_EQ(parent.log.updates.size(), 2u); // finished: never updated again
    for (int i = 0; i < 6; ++i)
        Manager().Update(0.1f);
    EXPECT_FALSE(Manager().IsAlive(top));
    EXPECT_EQ(Manager().LiveCount(), 0u);
}

TEST_F(FXInstancesTest, StopReachesChildrenAndVisibilityToo) {
    TestFxType& parent = AddTestFx("emitter", -1.0f);
    AddTestFx("child", -1.0f);
    parent.children = {"child"};
    const FXHandle top = Manager().Create("emitter", nullptr);
    const FXHandle child = Manager().Children(top)[0];
    Manager().SetVisible(top, false);
    EXPECT_FALSE(Manager().Resolve(child)->IsVisible());
    Manager().Stop(top);
    EXPECT_TRUE(Manager().Resolve(child)->IsStopped());
    Manager().Update(0.1f); // both finish; the parent waits for its child's destruction
    EXPECT_EQ(Manager().LiveCount(), 1u);
    Manager().Update(0.1f);
    EXPECT_EQ(Manager().LiveCount(), 0u);
}

TEST_F(FXInstancesTest, ChildrenCreatedDuringAStepAreAdvancedInIt) {
    TestFxType& child = AddTestFx("late", -1.0f);
    // A parent that creates a child from its update, with a delay.
    class Spawner : public TestFxType {
    public:
        using TestFxType::TestFxType;
        FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                                 uintptr_t) override {
            struct Object : TestFxObject {
                using TestFxObject::TestFxObject;
                bool Update(float dt) override {
                    FXManager::Instance()->CreateAttached("late", nullptr, m_self, 0.3f);
                    return TestFxObject::Update(dt);
                }
            };
            return FXConstructInstance<Object>(memory, this, self, parent);
        }
    };
    Manager().TypeAdd(std::make_shared<Spawner>("spawner", -1.0f));
    Manager().Create("spawner", nullptr);
    Manager().Update(0.1f);
    ASSERT_EQ(child.log.updates.size(), 1u);
    EXPECT_FLOAT_EQ(child.log.updates[0], 0.3f);
}

TEST_F(FXInstancesTest, RenderCullsFadesSortsAndBatches) {
    TestFxType& near = AddTestFx("near", -1.0f);
    TestFxType& late = AddTestFx("late", -1.0f);
    TestFxType& early = AddTestFx("early", -1.0f);
    TestFxType& zero = AddTestFx("zero", -1.0f);
    TestFxType& tiny = AddTestFx("tiny", -1.0f);
    early.SetSortOrder(-5);
    late.SetSortOrder(3);
    zero.radius = 0.0f;
    tiny.radius = 0.001f;
    tiny.m_noSizeFade = false;
    for (const char* name : {"near", "late", "early", "zero", "near"})
        CreateAt(name, {0, 0, -10});
    CreateAt("near", {0, 0, 10}); // behind the camera
    CreateAt("tiny", {0, 0, -500});
    Manager().Update(0.01f);
    RenderView();
    EXPECT_EQ(near.log.fades, (std::vector<float>{1.0f, 1.0f}));
    EXPECT_EQ(early.log.fades.size(), 1u);
    EXPECT_EQ(late.log.fades.size(), 1u);
    EXPECT_TRUE(zero.log.fades.empty());
    EXPECT_TRUE(tiny.log.fades.empty());
    // One batch per run of a type.
    EXPECT_EQ(near.log.batchesBegun, 1);
    EXPECT_EQ(near.log.batchesEnded, 1);
    FXStats stats;
    Manager().GetStats(stats);
    EXPECT_EQ(stats[FX_STAT_RENDERED], 4u);
    EXPECT_EQ(stats[FX_STAT_CULLED_BY_SIZE], 2u);
}

TEST_F(FXInstancesTest, LightsAreRefusedWhileTheLightLevelIsNegative) {
    AddTestFx("lamp", 1.0f, STYLE_LIGHT);
    EXPECT_TRUE(Manager().Create("lamp", nullptr).IsNull());
    EXPECT_TRUE(Manager().Create("nonexistent", nullptr).IsNull());
    EXPECT_TRUE(Manager().CreateAttached("lamp", nullptr, kNullFXHandle, 0.0f).IsNull());
}

TEST_F(FXInstancesTest, SelfSpawningEffectsStayUnderTheCeilingAndDepth) {
    TestFxType& loop = AddTestFx("hydra", 0.3f);
    loop.children = {"hydra", "hydra"}; // every instance makes two more of itself
    Manager().SetInstanceCeiling(2000);
    Manager().Create("hydra", nullptr);
    for (int step = 0; step < 1000; ++step) {
        Manager().Update(0.05f);
        ASSERT_LE(Manager().LiveCount(), 2000u);
    }
    EXPECT_FALSE(m_traces.empty());
    Manager().Reset();
    EXPECT_EQ(Manager().LiveCount(), 0u);
}

TEST_F(FXInstancesTest, StatisticsCountLiveAndPeaks) {
    AddTestFx("blip", 0.1f);
    for (int i = 0; i < 3; ++i)
        Manager().Create("blip", nullptr);
    FXStats stats;
    Manager().GetStats(stats);
    EXPECT_EQ(stats[FX_STAT_TYPES], 1u);
    EXPECT_EQ(stats[FX_STAT_LIVE], 3u);
    Manager().Update(0.1f);
    Manager().GetStats(stats);
    EXPECT_EQ(stats[FX_STAT_LIVE], 0u);
    EXPECT_EQ(stats[FX_STAT_LIVE_PEAK], 3u);
    EXPECT_EQ(stats[FX_STAT_UPDATED], 3u);
    Manager().ResetStats();
    Manager().GetStats(stats);
    EXPECT_EQ(stats[FX_STAT_LIVE_PEAK], 0u);
}

TEST(FXInstancesShutdown, EveryBlockAndPoolIsBalancedAfterShutdown) {
    const long heapBefore = MemCRTLiveBlocksTotal();
    const long poolsBefore = MemPoolLiveBlocksTotal();
    FXManager::Startup();
    TestFxType& parent = AddTestFx("tree", -1.0f);
    AddTestFx("branch", -1.0f);
    parent.children = {"branch", "branch", "branch"};
    for (int i = 0; i < 50; ++i)
        FXManager::Instance()->Create("tree", nullptr);
    FXManager::Instance()->Update(0.1f);
    FXManager::Shutdown();
    EXPECT_EQ(MemCRTLiveBlocksTotal(), heapBefore);
    EXPECT_EQ(MemPoolLiveBlocksTotal(), poolsBefore);
}

} // namespace
