#include "runtime/FXCamera.h"

#include "runtime/FXOrbitCamera.h"

#include <cmath>
#include <gtest/gtest.h>
#include <ostream>

namespace {

constexpr float kTolerance = 1e-4f;

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = kTolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// A point through view and projection, divided by w: OpenGL's normalised device
// coordinates, -1 to 1 across the picture and from the near to the far distance.
Vector3 ToDevice(const FXCamera& camera, const Vector3& world) {
    const Vector3 eye = camera.GetViewMatrix().TransformPoint(world);
    const auto& p = camera.GetProjectionMatrix().m;
    float clip[4];
    for (int j = 0; j < 4; ++j)
        clip[j] = eye.x * p[0][j] + eye.y * p[1][j] + eye.z * p[2][j] + p[3][j];
    return Vector3{clip[0], clip[1], clip[2]} / clip[3];
}

// The world point the camera shows at device position (x, y), depth units ahead.
Vector3 PointInPicture(const FXCamera& camera, float x, float y, float depth) {
    const float tanHalf = std::tan(camera.GetFieldOfView() * kDegreesToRadians * 0.5f);
    const Vector3 local{x * depth * tanHalf * camera.GetAspectRatio(), y * depth * tanHalf, -depth};
    return camera.GetViewMatrix().Inverse().TransformPoint(local);
}

TEST(FXCamera, ANewCameraHasTheDefaultLens) {
    FXCamera camera;
    EXPECT_EQ(camera.GetFieldOfView(), 70.0f);
    EXPECT_EQ(camera.GetNearDistance(), 3.0f);
    EXPECT_EQ(camera.GetFarDistance(), 900000.0f);
    EXPECT_EQ(camera.GetAspectRatio(), 1.0f);
    EXPECT_EQ(camera.GetViewport(), (FXViewport{0.0f, 1.0f, 0.0f, 1.0f}));
    camera.SetAspectRatio(1.5f);
    EXPECT_EQ(camera.GetHorizontalFieldOfView(), 105.0f);
}

TEST(FXCamera, ProjectionMapsThePictureOntoTheDeviceSquare) {
    FXCamera camera;
    camera.SetFieldOfView(90.0f);
    camera.SetAspectRatio(2.0f);
    camera.SetNearDistance(1.0f);
    camera.SetFarDistance(100.0f);
    camera.UpdateMatrices();
    ExpectNear(ToDevice(camera, {0, 0, -1}), {0, 0, -1});
    ExpectNear(ToDevice(camera, {0, 0, -100}), {0, 0, 1}, 1e-3f);
    // The corners at depth 5: half-height 5 × tan 45°, half-width twice that.
    const float depth5 = ToDevice(camera, {0, 0, -5}).z;
    ExpectNear(ToDevice(camera, {10, 5, -5}), {1, 1, depth5});
    ExpectNear(ToDevice(camera, {-10, -5, -5}), {-1, -1, depth5});

    camera.SetViewport(0.5f, 1.0f, 0.0f, 1.0f); // the right half: its left edge is the centre
    camera.UpdateMatrices();
    EXPECT_NEAR(ToDevice(camera, {0, 0, -5}).x, -1.0f, kTolerance);
    EXPECT_NEAR(ToDevice(camera, {10, 5, -5}).x, 1.0f, kTolerance);
    EXPECT_NEAR(ToDevice(camera, {10, 5, -5}).y, 1.0f, kTolerance);
    camera.SetViewport(0.5f, 0.5f, 0.0f, 1.0f); // empty: the whole picture
    camera.UpdateMatrices();
    EXPECT_NEAR(ToDevice(camera, {0, 0, -5}).x, 0.0f, kTolerance);
}

struct FrustumCase {
    float aspect, yaw, pitch, roll;
};

void PrintTo(const FrustumCase& c, std::ostream* out) {
    *out << "aspect " << c.aspect << " yaw " << c.yaw << " pitch " << c.pitch << " roll " << c.roll;
}

class FXCameraFrustum : public testing::TestWithParam<FrustumCase> {};

TEST_P(FXCameraFrustum, ContainsWhatTheCameraSeesAndNothingBehindIt) {
    const FrustumCase& c = GetParam();
    FXOrbitCamera camera;
    camera.SetAspectRatio(c.aspect);
    camera.SetTarget({5, -2, 7});
    camera.SetDistance(20.0f);
    camera.SetYaw(c.yaw);
    camera.SetPitch(c.pitch);
    camera.SetRoll(c.roll);
    camera.UpdateMatrices();
    FXFrustum frustum;
    camera.BuildFrustum(frustum);

    ExpectNear(frustum.eyePosition, camera.GetEyePosition());
    for (const FXPlane& plane : frustum.planes) {
        EXPECT_NEAR(plane.normal.Length(), 1.0f, kTolerance);
        EXPECT_NEAR(plane.normal.Dot(frustum.eyePosition), plane.distance, 1e-3f); // apex
    }
    ExpectNear(frustum.planes[FX_FRUSTUM_EYE].normal, -camera.GetForwardAxis());

    // No near or far cap: from closer than the near distance to far away.
    for (float depth : {0.5f, 20.0f, 5000.0f})
        for (float x : {-0.98f, 0.0f, 0.98f})
            for (float y : {-0.98f, 0.0f, 0.98f})
                EXPECT_TRUE(frustum.ContainsSphere(PointInPicture(camera, x, y, depth), 0.0f))
                    << "x " << x << " y " << y << " depth " << depth;
    const Vector3 behind = camera.GetEyePosition() - camera.GetForwardAxis();
    EXPECT_FALSE(frustum.ContainsSphere(behind, 0.9f));
    EXPECT_TRUE(frustum.ContainsSphere(behind, 1.1f)); // reaches past the eye
    EXPECT_FALSE(frustum.ContainsSphere(PointInPicture(camera, 0.0f, 1.05f, 20.0f), 0.0f));
    EXPECT_FALSE(frustum.ContainsSphere(PointInPicture(camera, 0.0f, -1.05f, 20.0f), 0.0f));
    // The side planes leave the eye at aspect × half the field of view, wider than the
    // picture unless it is square.
    const float side = c.aspect == 1.0f ? 1.05f : 1.25f;
    EXPECT_EQ(frustum.ContainsSphere(PointInPicture(camera, side, 0.0f, 20.0f), 0.0f),
              c.aspect != 1.0f);
    EXPECT_FALSE(frustum.ContainsSphere(PointInPicture(camera, -1.6f, 0.0f, 20.0f), 0.0f));
}

INSTANTIATE_TEST_SUITE_P(Orientations, FXCameraFrustum,
                         testing::Values(FrustumCase{1.0f, 0.0f, 0.0f, 0.0f},
                                         FrustumCase{1.0f, 37.0f, -45.0f, 0.0f},
                                         FrustumCase{1.0f, 200.0f, 60.0f, 30.0f},
                                         FrustumCase{1.6f, 300.0f, -80.0f, 0.0f}));

} // namespace
