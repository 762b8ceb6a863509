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

#include <cmath>
#include <gtest/gtest.h>
#include <type_traits>
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

    // Registers a type of the style named after it, for changing with Set.
    static FXType& Add(int style, const char* name) {
        auto type = FXNewType(style, name);
        FXType& added = *type;
        Manager().TypeAdd(std::move(type));
        return added;
    }

    template <typename T>
    static void Set(FXType& type, const char* name, const T& value) {
        FXVariable variable;
        if constexpr (std::is_same_v<T, float>)
            variable.SetFloat(value);
        else if constexpr (std::is_same_v<T, bool>)
            variable.SetBool(value);
        else if constexpr (std::is_same_v<T, int32_t>)
            variable.SetInt(value);
        else if constexpr (std::is_same_v<T, std::vector<TimeFloat>>)
            variable.SetArrayTimeFloat(value);
        else if constexpr (std::is_same_v<T, std::vector<TimeColour>>)
            variable.SetArrayTimeColour(value);
        else if constexpr (std::is_same_v<T, std::vector<TimeVector3>>)
            variable.SetArrayTimeVector3(value);
        else
            variable.SetString(value);
        EXPECT_TRUE(type.SetProperty(name, variable)) << name;
    }

    // Advances the runtime by seconds in frames of 0.1 s.
    static void Run(float seconds) {
        for (long frame = std::lround(seconds / 0.1f); frame > 0; --frame)
            Manager().Update(0.1f);
    }

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

    static Matrix4 At(const Vector3& translation) {
        Matrix4 placement;
        placement.SetTranslation(translation);
        return placement;
    }

    TempWorkDir m_dir;
};

TEST_F(FXSceneStyleTest, ALightOfLowerPriorityThanTheLightLevelRunsWithoutASceneLight) {
    FXType& dim = Add(STYLE_LIGHT, "dim");
    Set(dim, "Priority", int32_t{1});
    Set(dim, "Duration", 2.0f);
    const FXHandle handle = Manager().Create("dim", nullptr);
    ASSERT_TRUE(Alive(handle));
    EXPECT_EQ(Lights().getLightCount(), 0u);
    EXPECT_FALSE(dynamic_cast<FXObjectLight&>(*Manager().Resolve(handle)).HasSceneLight());
    Run(1.9f);
    EXPECT_TRUE(Alive(handle));
    Run(0.3f);
    EXPECT_FALSE(Alive(handle));

    // Priority 0 at level 0 gets a light and gives it back when it dies.
    Add(STYLE_LIGHT, "bright");
    const FXHandle bright = Manager().Create("bright", nullptr);
    ASSERT_EQ(Lights().getLightCount(), 1u);
    EXPECT_EQ(Lights().getLightName(Lights().getLights()[0]), "FXLight");
    Manager().Destroy(bright);
    EXPECT_EQ(Lights().getLightCount(), 0u);
}

TEST_F(FXSceneStyleTest, TheSceneLightFollowsTheInstanceWithTheTypesCurves) {
    FXType& lamp = Add(STYLE_LIGHT, "lamp");
    Set(lamp, "Duration", 4.0f);
    Set(lamp, "Radius", std::vector<TimeFloat>{{0.0f, 2.0f}, {1.0f, 6.0f}});
    Set(lamp, "Colour",
        std::vector<TimeColour>{{0.0f, {1.0f, 0.0f, 0.0f, 1.0f}},
                                {1.0f, {0.0f, 0.0f, 1.0f, 0.5f}}});
    Set(lamp, "Offset",
        std::vector<TimeVector3>{{0.0f, {1.0f, 0.0f, 0.0f}}, {1.0f, {1.0f, 2.0f, 0.0f}}});
    const FXHandle handle = Manager().Create("lamp", nullptr);
    // Turned a quarter about Z and moved: the offset is a point in the instance's frame.
    Matrix4 placement = At({10.0f, 0.0f, 0.0f});
    placement.SetRow(0, {0.0f, 1.0f, 0.0f});
    placement.SetRow(1, {-1.0f, 0.0f, 0.0f});
    Manager().SetTransform(handle, placement);
    Manager().SetScale(handle, 0.5f);

    Run(1.0f); // t = 0.25
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
    Run(1.0f); // t = 0.5
    EXPECT_NEAR(light->getAttenConst(), 4.0f * 2.0f, kTolerance);
}

TEST_F(FXSceneStyleTest, ALoopingLightEndsAtItsFirstUpdateAfterAStopAndAPlainOnePlaysOn) {
    FXType& looping = Add(STYLE_LIGHT, "looping");
    Set(looping, "Loop", true);
    Set(looping, "Duration", 1.0f);
    FXType& plain = Add(STYLE_LIGHT, "plain");
    Set(plain, "Duration", 2.0f);
    const FXHandle loop = Manager().Create("looping", nullptr);
    const FXHandle once = Manager().Create("plain", nullptr);
    Run(0.5f);
    Manager().Stop(once);
    Run(1.0f);
    EXPECT_TRUE(Alive(once));
    Run(2.0f); // 3.5 s: past both durations
    EXPECT_FALSE(Alive(once));
    EXPECT_TRUE(Alive(loop));
    EXPECT_EQ(Lights().getLightCount(), 1u);

    Manager().Stop(loop);
    Manager().Update(0.01f);
    EXPECT_FALSE(Alive(loop));
    EXPECT_EQ(Lights().getLightCount(), 0u);
}

TEST_F(FXSceneStyleTest, AnInfiniteFlareKeepsTheDirectionOfItsFirstPlacement) {
    FXType& sun = Add(STYLE_LENSFLARE, "sun");
    Set(sun, "Infinite", true);
    Set(sun, "LensFlare", "flares/sun");
    Add(STYLE_LENSFLARE, "lamp");

    const FXHandle infinite = Manager().Create("sun", nullptr);
    EXPECT_EQ(Flare(infinite).fileName, "flares/sun");
    EXPECT_TRUE(Flare(infinite).infinite);
    Manager().SetTransform(infinite, At({0.0f, 0.0f, 10.0f}));
    EXPECT_EQ(Flare(infinite).position, (Vector3{0.0f, 0.0f, 1.0f}));
    Manager().SetTransform(infinite, At({0.0f, 5.0f, 0.0f}));
    Run(0.5f);
    EXPECT_EQ(Flare(infinite).position, (Vector3{0.0f, 0.0f, 1.0f}));

    // A first placement at the origin gives no direction; the flare looks along +Z.
    const FXHandle atOrigin = Manager().Create("sun", nullptr);
    Manager().SetTransform(atOrigin, At({}));
    Manager().SetTransform(atOrigin, At({3.0f, 0.0f, 0.0f}));
    EXPECT_EQ(Flare(atOrigin).position, (Vector3{0.0f, 0.0f, 1.0f}));

    // A plain flare follows the instance at each update.
    const FXHandle plain = Manager().Create("lamp", nullptr);
    Manager().SetTransform(plain, At({0.0f, 5.0f, 0.0f}));
    Run(0.1f);
    EXPECT_EQ(Flare(plain).position, (Vector3{0.0f, 5.0f, 0.0f}));
}

TEST_F(FXSceneStyleTest, AFlaresFadeAndScaleFollowColourAlphaAndRadius) {
    FXType& glint = Add(STYLE_LENSFLARE, "glint");
    Set(glint, "Duration", 2.0f);
    Set(glint, "Colour",
        std::vector<TimeColour>{{0.0f, {1.0f, 1.0f, 1.0f, 1.0f}},
                                {1.0f, {1.0f, 1.0f, 1.0f, 0.0f}}});
    Set(glint, "Radius", std::vector<TimeFloat>{{0.0f, 1.0f}, {1.0f, 3.0f}});
    const FXHandle handle = Manager().Create("glint", nullptr);
    Manager().SetScale(handle, 2.0f);
    Run(1.0f);
    EXPECT_NEAR(Flare(handle).fade, 0.5f, kTolerance);
    EXPECT_NEAR(Flare(handle).scale, 2.0f * 2.0f, kTolerance);
    Run(0.9f);
    EXPECT_NEAR(Flare(handle).fade, 0.05f, kTolerance);

    Manager().SetVisible(handle, false);
    EXPECT_FALSE(Flare(handle).visible);
}

TEST_F(FXSceneStyleTest, AFlareEndsAfterItsDurationAndTakesItsObjectAlong) {
    FXType& glint = Add(STYLE_LENSFLARE, "glint");
    Set(glint, "Duration", 1.0f);
    const FXHandle handle = Manager().Create("glint", nullptr);
    EXPECT_EQ(Flares().ObjectCount(), 1u);
    Run(0.2f);
    Manager().Stop(handle); // does not cut the flare short
    Run(0.6f);
    EXPECT_TRUE(Alive(handle));
    Run(0.3f);
    EXPECT_FALSE(Alive(handle));
    EXPECT_EQ(Flares().ObjectCount(), 0u);
}

} // namespace
