#include "scene/LensFlareManager.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

class LensFlareManagerTest : public testing::Test {
protected:
    void SetUp() override { LensFlareManager::Startup(); }
    void TearDown() override { LensFlareManager::Shutdown(); }

    static LensFlareManager& Flares() { return *LensFlareManager::Instance(); }
};

TEST_F(LensFlareManagerTest, ObjectsKeepTheirPlacementAndValuesInRange) {
    const uint32_t sun = Flares().ObjectCreate("flares/sun", {0.0f, 0.0f, 1.0f}, true);
    const uint32_t lamp = Flares().ObjectCreate("", {}, false);
    EXPECT_NE(sun, 0u);
    EXPECT_NE(sun, lamp);
    const LensFlareManager::Object& object = *Flares().ObjectFind(sun);
    EXPECT_EQ(object.fileName, "flares/sun");
    EXPECT_TRUE(object.infinite);
    EXPECT_EQ(object.fade, 1.0f);
    EXPECT_TRUE(object.visible);

    Flares().ObjectSetPosition(sun, {4.0f, 5.0f, 6.0f});
    Flares().ObjectSetScale(sun, -1.0f);
    Flares().ObjectSetVisible(sun, false);
    EXPECT_EQ(object.position, (Vector3{4.0f, 5.0f, 6.0f}));
    EXPECT_EQ(object.scale, 0.0f);
    EXPECT_FALSE(object.visible);
    EXPECT_EQ(Flares().ObjectFind(lamp)->position, (Vector3{}));
    struct Row {
        float given, fade;
    };
    for (const Row row :
         {Row{0.25f, 0.25f}, Row{1.5f, 1.0f}, Row{-0.5f, 0.0f}, Row{std::nanf(""), 0.0f}}) {
        Flares().ObjectSetFade(sun, row.given);
        EXPECT_EQ(object.fade, row.fade) << row.given;
    }
}

TEST_F(LensFlareManagerTest, ADeletedObjectsNumberReachesNothingAndIsNotHandedOutAgain) {
    const uint32_t old = Flares().ObjectCreate("f", {}, false);
    Flares().ObjectDelete(old);
    const uint32_t fresh = Flares().ObjectCreate("f", {}, false);
    EXPECT_NE(fresh, old);
    for (const uint32_t number : {old, 0u}) {
        Flares().ObjectSetPosition(number, {1.0f, 1.0f, 1.0f});
        Flares().ObjectSetVisible(number, false);
        Flares().ObjectDelete(number);
    }
    const LensFlareManager::Object& object = *Flares().ObjectFind(fresh);
    EXPECT_EQ(object.position, (Vector3{}));
    EXPECT_TRUE(object.visible);
    EXPECT_EQ(Flares().ObjectCount(), 1u);

    LensFlareManager::Shutdown();
    LensFlareManager::Startup();
    EXPECT_EQ(Flares().ObjectCount(), 0u);
}

} // namespace
