#include "runtime/FXMouseController.h"

#include <gtest/gtest.h>

namespace {

constexpr float kFrame = 1.0f / 60.0f;

TEST(FXMouseController, TurnsOrZoomsByTheRatesAndUsesTheMotionUp) {
    FXMouseController controller;
    FXOrbitState orbit;
    orbit.yaw = 350.0f;
    orbit.pitch = 10.0f;
    orbit.distance = 10.0f;
    float accumulated = 1.0f;
    controller.SetMotion(0.25f, -0.1f);
    controller.Step(orbit, kFrame, false, true, accumulated);
    EXPECT_FLOAT_EQ(orbit.yaw, 20.0f); // 350 + 30, wrapped
    EXPECT_FLOAT_EQ(orbit.pitch, -2.0f);
    EXPECT_FLOAT_EQ(accumulated, 1.0f + 30.0f - 12.0f);
    controller.Step(orbit, kFrame, false, true, accumulated); // no new motion
    EXPECT_FLOAT_EQ(orbit.yaw, 20.0f);

    controller.SetMotion(0.3f, 0.1f); // zooming ignores horizontal motion
    controller.Step(orbit, kFrame, true, true, accumulated);
    EXPECT_FLOAT_EQ(orbit.distance, 6.0f);
    EXPECT_FLOAT_EQ(orbit.yaw, 20.0f);
    EXPECT_FLOAT_EQ(accumulated, 19.0f);

    controller.SetMotion(0.0f, 1.0f); // pitch held at its limit
    controller.Step(orbit, kFrame, false, true, accumulated);
    EXPECT_EQ(orbit.pitch, 89.9427f);
}

TEST(FXMouseController, InactiveStepsDropTheMotionButKeepTheLimits) {
    FXMouseController controller;
    FXOrbitState orbit;
    orbit.pitch = 120.0f;
    float accumulated = 0.0f;
    controller.SetMotion(1.0f, 1.0f);
    controller.Step(orbit, kFrame, false, false, accumulated);
    EXPECT_EQ(orbit.pitch, 89.9427f);
    EXPECT_EQ(orbit.yaw, 0.0f);
    controller.Step(orbit, kFrame, false, true, accumulated);
    EXPECT_EQ(orbit.yaw, 0.0f);
    EXPECT_EQ(accumulated, 0.0f);
}

TEST(FXMouseController, WrapsTheYawByWholeTurns) {
    const struct {
        float before, after;
    } rows[] = {{-30.0f, 330.0f}, {-400.0f, 320.0f}, {725.0f, 5.0f},  {360.0f, 360.0f},
                {0.0f, 0.0f},     {-360.0f, 360.0f}, {1080.0f, 0.0f}, {359.5f, 359.5f}};
    for (const auto& row : rows) {
        FXMouseController controller;
        FXOrbitState orbit;
        orbit.yaw = row.before;
        float accumulated = 0.0f;
        controller.Step(orbit, kFrame, false, true, accumulated);
        EXPECT_FLOAT_EQ(orbit.yaw, row.after) << "from " << row.before;
    }
}

} // namespace
