#include "scene/LightManager.h"

#include "scene/Light.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class LightManagerTest : public testing::Test {
protected:
    void SetUp() override { LightManager::Startup(); }
    void TearDown() override { LightManager::Shutdown(); }

    static LightManager& Lights() { return *LightManager::i(); }
};

TEST_F(LightManagerTest, HandlesReachTheirOwnRecordsUntilTheLightIsRemoved) {
    const LightHandle a = Lights().createPointLight("a");
    const LightHandle b = Lights().createPointLight("b");
    EXPECT_NE(a, LightManager::InvalidHandle);
    EXPECT_EQ(Lights().getLights(), (std::vector<LightHandle>{a, b}));
    EXPECT_EQ(Lights().getLightName(b), "b");
    Light* light = a.getLightPtrForModification();
    ASSERT_NE(light, nullptr);
    light->position = {1.0f, 2.0f, 3.0f};
    light->setAttenConst(-1.0f);
    EXPECT_EQ(light->getAttenConst(), 0.0f);
    EXPECT_EQ(b.getLightPtrForModification()->position, (Vector3{}));

    // A removed light's handle reaches nothing, even once its slot is reused; removing
    // it again, or an invalid handle, changes nothing.
    Lights().removeLight(a);
    const LightHandle reused = Lights().createPointLight("c");
    EXPECT_EQ(reused.slot(), a.slot());
    EXPECT_EQ(a.getLightPtrForModification(), nullptr);
    EXPECT_EQ(reused.getLightPtrForModification()->position, (Vector3{}));
    for (const LightHandle& handle : {a, LightManager::InvalidHandle, LightHandle(99, 1)})
        Lights().removeLight(handle);
    EXPECT_EQ(Lights().getLightCount(), 2u);
    EXPECT_EQ(LightManager::InvalidHandle.getLightPtrForModification(), nullptr);
}

TEST_F(LightManagerTest, ARecordStaysInPlaceUntilShutdown) {
    const LightHandle first = Lights().createPointLight("first");
    const Light* record = first.getLightPtrForModification();
    for (int i = 0; i < 200; ++i)
        Lights().createPointLight("more");
    EXPECT_EQ(first.getLightPtrForModification(), record);

    LightManager::Startup(); // a second start keeps the running manager
    EXPECT_EQ(Lights().getLightCount(), 201u);
    LightManager::Shutdown();
    EXPECT_EQ(first.getLightPtrForModification(), nullptr);
    LightManager::Startup();
    EXPECT_EQ(Lights().getLightCount(), 0u);
    EXPECT_EQ(first.getLightPtrForModification(), nullptr);
}

} // namespace
