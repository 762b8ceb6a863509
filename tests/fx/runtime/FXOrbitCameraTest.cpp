#include "runtime/FXOrbitCamera.h"

#include <cmath>
#include <gtest/gtest.h>
#include <ostream>

namespace {

constexpr float kTolerance = 1e-3f;

void ExpectNear(const Vector3& actual, const Vector3& expected) {
    EXPECT_NEAR(actual.x, expected.x, kTolerance);
    EXPECT_NEAR(actual.y, expected.y, kTolerance);
    EXPECT_NEAR(actual.z, expected.z, kTolerance);
}

TEST(FXOrbitCamera, UpdateClampsPitchAndDistanceAndWrapsYawByOneTurn) {
    FXOrbitCamera camera;
    camera.SetPitch(120.0f);
    camera.SetYaw(-30.0f);
    camera.UpdateMatrices();
    EXPECT_EQ(camera.GetPitch(), 89.9427f);
    EXPECT_EQ(camera.GetYaw(), 330.0f);
    camera.SetPitch(-120.0f);
    camera.SetYaw(725.0f); // one turn only: the mouse controller removes whole turns
    camera.UpdateMatrices();
    EXPECT_EQ(camera.GetPitch(), -89.9427f);
    EXPECT_EQ(camera.GetYaw(), 365.0f);
    camera.SetYaw(360.0f);
    camera.UpdateMatrices();
    EXPECT_EQ(camera.GetYaw(), 360.0f);

    // Limits hold for the setters and for an orbit block changed behind their back.
    camera.SetMinDistance(2.0f);
    camera.SetMaxDistance(50.0f);
    camera.SetDistance(100.0f);
    EXPECT_EQ(camera.GetDistance(), 50.0f);
    camera.AddDistance(-60.0f);
    EXPECT_EQ(camera.GetDistance(), 2.0f);
    camera.OrbitState().distance = -4.0f;
    camera.UpdateMatrices();
    EXPECT_EQ(camera.GetDistance(), 2.0f);
    camera.SetPitch(80.0f);
    camera.AddPitch(20.0f);
    EXPECT_EQ(camera.GetPitch(), 89.9427f);
}

struct OrbitCase {
    float yaw, pitch, roll, distance;
};

void PrintTo(const OrbitCase& c, std::ostream* out) {
    *out << "yaw " << c.yaw << " pitch " << c.pitch << " roll " << c.roll << " distance "
         << c.distance;
}

class FXOrbitCameraOrbit : public testing::TestWithParam<OrbitCase> {};

TEST_P(FXOrbitCameraOrbit, LooksAtTheTargetFromTheOrbitDistance) {
    const OrbitCase& c = GetParam();
    const Vector3 target{3, -1, 4};
    FXOrbitCamera camera;
    camera.SetTarget(target);
    camera.SetYaw(c.yaw);
    camera.SetPitch(c.pitch);
    camera.SetRoll(c.roll);
    camera.SetDistance(c.distance);
    camera.UpdateMatrices();

    const Vector3 eye = camera.GetEyePosition();
    EXPECT_NEAR((eye - target).Length(), c.distance, kTolerance);
    ExpectNear(camera.GetViewMatrix().TransformPoint(target), {0, 0, -c.distance});
    ExpectNear(camera.GetForwardAxis(), (target - eye).Normalised());
    // Negative pitch looks down from above; yaw turns the eye about the target's Y axis
    // (from +Z towards -X); roll never moves the eye.
    const float pitch = c.pitch * kDegreesToRadians;
    const float yaw = c.yaw * kDegreesToRadians;
    const float across = c.distance * std::cos(pitch);
    ExpectNear(eye - target,
               {-across * std::sin(yaw), -c.distance * std::sin(pitch), across * std::cos(yaw)});
}

INSTANTIATE_TEST_SUITE_P(Orbits, FXOrbitCameraOrbit,
                         testing::Values(OrbitCase{0, 0, 0, 1}, OrbitCase{0, -45, 0, 20},
                                         OrbitCase{90, 30, 0, 7}, OrbitCase{215, -80, 25, 3},
                                         OrbitCase{359, 89, -90, 1000}));

TEST(FXOrbitCamera, ModesChooseBetweenOrbitExternalViewAndAFixedView) {
    FXOrbitCamera camera;
    Matrix4 external;
    FXOrbitCamera::RotateMatrix(external, 'y', 30.0f);
    external.SetTranslation({7, 8, 9});
    camera.SetExternalViewMatrix(external);
    camera.SetExternalViewSwitch(1);
    camera.UpdateMatrices();
    Matrix4 expected = external;
    expected.SetTranslation({0, 0, 0});
    EXPECT_EQ(camera.GetViewMatrix(), expected);
    ExpectNear(camera.GetEyePosition(), {0, 0, 0});

    Matrix4 fixed;
    fixed.SetTranslation({1, 2, 3});
    camera.SetMode(1);
    camera.SetViewMatrix(fixed);
    camera.UpdateMatrices();
    EXPECT_EQ(camera.GetViewMatrix(), fixed);
    ExpectNear(camera.GetEyePosition(), {-1, -2, -3});
}

} // namespace
