// The two styles that place objects of the scene instead of drawing: the light drives a
// scene point light, the lens flare an object of the flare manager.
#include "definitions/FXStyle.h"
#include "definitions/FXTypeFactory.h"
#include "runtime/FXManager.h"
#include "scene/LensFlareManager.h"
#include "scene/Light.h"
#include "scene/LightManager.h"
#include "styles/FXLensFlare.h"
#include "styles/FXLight.h"
#include "support/MathExpect.h"
#include "support/TempWorkDir.h"
#include "support/TestFx.h"
#include "support/TestProperties.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr float kTolerance = 1e-4f;

class FXSceneStyleTest : public testing::Test {
protected:
    void SetUp() override {
        FXManager::Startup();
        LightManager::Startup();
        LensFlareManager::Startup();
        Manager().SetLightLevel(0);
    }
    void TearDown() override {
        FXManager::Shutdown();
        LensFlareManager::Shutdown();
        LightManager::Shutdown();
    }

    static FXManager& Manager() { return *FXManager::Instance(); }
    static LightManager& Lights() { return *LightManager::i(); }
    static LensFlareManager& Flares() { return *LensFlareManager::Instance(); }

    static bool Alive(const FXHandle& handle) { return Manager().IsAlive(handle); }

    static const Light* OnlyLight() {
        const auto lights = Lights().getLights();
        EXPECT_EQ(lights.size(), 1u);
        return lights.empty() ? nullptr : Lights().getLight(lights[0]);
    }

    // The flare object of a live lens-flare instance.
    static const LensFlareManager::Object& Flare(const FXHandle& handle) {
        const auto& object = dynamic_cast<const FXObjectLensFlare&>(*Manager().Resolve(handle));
        return *Flares().ObjectFind(object.GetFlareNumber());
    }

    TempWorkDir m_dir;
};

TEST_F(FXSceneStyleTest, ALightOfLowerPriorityThanTheLightLevelRunsWithoutASceneLight) {
    FXType& dim = AddStyleType(STYLE_LIGHT, "dim");
    SetProperty(dim, "Priority", int32_t{1});
    SetProperty(dim, "Duration", 2.0f);
    const FXHandle handle = Manager().Create("dim", nullptr);
    ASSERT_TRUE(Alive(handle));
    EXPECT_EQ(Lights().getLightCount(), 0u);
    EXPECT_FALSE(dynamic_cast<FXObjectLight&>(*Manager().Resolve(handle)).HasSceneLight());
    RunFrames(1.9f);
    EXPECT_TRUE(Alive(handle));
    RunFrames(0.3f);
    EXPECT_FALSE(Alive(handle));

    // Priority 0 at level 0 gets a light and gives it back when it dies.
    AddStyleType(STYLE_LIGHT, "bright");
    const FXHandle bright = Manager().Create("bright", nullptr);
    ASSERT_EQ(Lights().getLightCount(), 1u);
    EXPECT_EQ(Lights().getLightName(Lights().getLights()[0]), "FXLight");
    Manager().Destroy(bright);
    EXPECT_EQ(Lights().getLightCount(), 0u);
}

TEST_F(FXSceneStyleTest, TheSceneLightFollowsTheInstanceWithTheTypesCurves) {
    FXType& lamp = AddStyleType(STYLE_LIGHT, "lamp");
    SetProperty(lamp, "Duration", 4.0f);
    SetProperty(lamp, "Radius", std::vector<TimeFloat>{{0.0f, 2.0f}, {1.0f, 6.0f}});
    SetProperty(lamp, "Colour",
                std::vector<TimeColour>{{0.0f, {1.0f, 0.0f, 0.0f, 1.0f}},
                                        {1.0f, {0.0f, 0.0f, 1.0f, 0.5f}}});
    SetProperty(lamp, "Offset",
                std::vector<TimeVector3>{{0.0f, {1.0f, 0.0f, 0.0f}}, {1.0f, {1.0f, 2.0f, 0.0f}}});
    const FXHandle handle = Manager().Create("lamp", nullptr);
    // Turned a quarter about Z and moved: the offset is a point in the instance's frame.
    Matrix4 placement = At({10.0f, 0.0f, 0.0f});
    placement.SetRow(0, {0.0f, 1.0f, 0.0f});
    placement.SetRow(1, {-1.0f, 0.0f, 0.0f});
    Manager().SetTransform(handle, placement);
    Manager().SetScale(handle, 0.5f);

    RunFrames(1.0f); // t = 0.25
    const Light* light = OnlyLight();
    ASSERT_NE(light, nullptr);
    ExpectNear(light->position, {9.5f, 1.0f, 0.0f}, kTolerance); // offset (1, 0.5, 0)
    EXPECT_NEAR(light->colour.r, 0.75f, kTolerance);
    EXPECT_NEAR(light->colour.b, 0.25f, kTolerance);
    EXPECT_NEAR(light->colour.a, 0.875f, kTolerance);
    EXPECT_NEAR(light->getAttenConst(), 3.0f * 0.5f, kTolerance);
    // The bounds apply the scale to the scaled radius once more.
    EXPECT_NEAR(Manager().Resolve(handle)->GetRadius(), 3.0f * 0.5f * 0.5f, kTolerance);
    EXPECT_NEAR(Manager().Resolve(handle)->GetSecondSize(), 3.0f * 0.5f * 0.5f, kTolerance);

    Manager().SetScale(handle, 2.0f);
    RunFrames(1.0f); // t = 0.5
    EXPECT_NEAR(light->getAttenConst(), 4.0f * 2.0f, kTolerance);
}

TEST_F(FXSceneStyleTest, ALoopingLightEndsAtItsFirstUpdateAfterAStopAndAPlainOnePlaysOn) {
    FXType& looping = AddStyleType(STYLE_LIGHT, "looping");
    SetProperty(looping, "Loop", true);
    SetProperty(looping, "Duration", 1.0f);
    FXType& plain = AddStyleType(STYLE_LIGHT, "plain");
    SetProperty(plain, "Duration", 2.0f);
    const FXHandle loop = Manager().Create("looping", nullptr);
    const FXHandle once = Manager().Create("plain", nullptr);
    RunFrames(0.5f);
    Manager().Stop(once);
    RunFrames(1.0f);
    EXPECT_TRUE(Alive(once));
    RunFrames(2.0f); // 3.5 s: past both durations
    EXPECT_FALSE(Alive(once));
    EXPECT_TRUE(Alive(loop));
    EXPECT_EQ(Lights().getLightCount(), 1u);

    Manager().Stop(loop);
    Manager().Update(0.01f);
    EXPECT_FALSE(Alive(loop));
    EXPECT_EQ(Lights().getLightCount(), 0u);
}

TEST_F(FXSceneStyleTest, AnInfiniteFlareKeepsTheDirectionOfItsFirstPlacement) {
    FXType& sun = AddStyleType(STYLE_LENSFLARE, "sun");
    SetProperty(sun, "Infinite", true);
    SetProperty(sun, "LensFlare", "flares/sun");
    AddStyleType(STYLE_LENSFLARE, "lamp");

    const FXHandle infinite = Manager().Create("sun", nullptr);
    EXPECT_EQ(Flare(infinite).fileName, "flares/sun");
    EXPECT_TRUE(Flare(infinite).infinite);
    Manager().SetTransform(infinite, At({0.0f, 0.0f, 10.0f}));
    EXPECT_EQ(Flare(infinite).position, (Vector3{0.0f, 0.0f, 1.0f}));
    Manager().SetTransform(infinite, At({0.0f, 5.0f, 0.0f}));
    RunFrames(0.5f);
    EXPECT_EQ(Flare(infinite).position, (Vector3{0.0f, 0.0f, 1.0f}));

    // A first placement at the origin gives no direction; the flare looks along +Z.
    const FXHandle atOrigin = Manager().Create("sun", nullptr);
    Manager().SetTransform(atOrigin, At({}));
    Manager().SetTransform(atOrigin, At({3.0f, 0.0f, 0.0f}));
    EXPECT_EQ(Flare(atOrigin).position, (Vector3{0.0f, 0.0f, 1.0f}));

    // A plain flare follows the instance at each update.
    const FXHandle plain = Manager().Create("lamp", nullptr);
    Manager().SetTransform(plain, At({0.0f, 5.0f, 0.0f}));
    RunFrames(0.1f);
    EXPECT_EQ(Flare(plain).position, (Vector3{0.0f, 5.0f, 0.0f}));
}

TEST_F(FXSceneStyleTest, AFlaresFadeAndScaleFollowColourAlphaAndRadius) {
    FXType& glint = AddStyleType(STYLE_LENSFLARE, "glint");
    SetProperty(glint, "Duration", 2.0f);
    SetProperty(glint, "Colour",
                std::vector<TimeColour>{{0.0f, {1.0f, 1.0f, 1.0f, 1.0f}},
                                        {1.0f, {1.0f, 1.0f, 1.0f, 0.0f}}});
    SetProperty(glint, "Radius", std::vector<TimeFloat>{{0.0f, 1.0f}, {1.0f, 3.0f}});
    const FXHandle handle = Manager().Create("glint", nullptr);
    Manager().SetScale(handle, 2.0f);
    RunFrames(1.0f);
    EXPECT_NEAR(Flare(handle).fade, 0.5f, kTolerance);
    EXPECT_NEAR(Flare(handle).scale, 2.0f * 2.0f, kTolerance);
    RunFrames(0.9f);
    EXPECT_NEAR(Flare(handle).fade, 0.05f, kTolerance);

    Manager().SetVisible(handle, false);
    EXPECT_FALSE(Flare(handle).visible);
}

TEST_F(FXSceneStyleTest, AFlareEndsAfterItsDurationAndTakesItsObjectAlong) {
    FXType& glint = AddStyleType(STYLE_LENSFLARE, "glint");
    SetProperty(glint, "Duration", 1.0f);
    const FXHandle handle = Manager().Create("glint", nullptr);
    EXPECT_EQ(Flares().ObjectCount(), 1u);
    RunFrames(0.2f);
    Manager().Stop(handle); // does not cut the flare short
    RunFrames(0.6f);
    EXPECT_TRUE(Alive(handle));
    RunFrames(0.3f);
    EXPECT_FALSE(Alive(handle));
    EXPECT_EQ(Flares().ObjectCount(), 0u);
}

} // namespace
