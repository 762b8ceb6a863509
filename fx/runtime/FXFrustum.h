#pragma once

// The view volume a camera builds each frame (FXCamera::BuildFrustum) and the render
// pass culls against: four side planes and a plane through the eye, with no near or far
// cap.

#include "math/Math.h"

// The plane of the points p with normal · p = distance.
struct FXPlane {
    Vector3 normal; // unit length, facing out of the volume
    float distance = 0.0f;
};

// Positions of the planes in FXFrustum::planes.
enum FXFrustumPlane : int {
    FX_FRUSTUM_TOP = 0,
    FX_FRUSTUM_LEFT = 1,
    FX_FRUSTUM_BOTTOM = 2,
    FX_FRUSTUM_RIGHT = 3,
    FX_FRUSTUM_EYE = 4, // through the eye, facing backwards
    FX_FRUSTUM_PLANE_COUNT = 5,
};

struct FXFrustum {
    Vector3 eyePosition;
    FXPlane planes[FX_FRUSTUM_PLANE_COUNT];

    // True when the sphere reaches into the volume: for every plane,
    // normal · centre − distance ≤ radius.
    bool ContainsSphere(const Vector3& centre, float radius) const {
        for (const FXPlane& plane : planes)
            if (plane.normal.Dot(centre) - plane.distance > radius)
                return false;
        return true;
    }
};
