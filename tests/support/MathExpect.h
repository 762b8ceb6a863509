#pragma once

// Expectations and small builders for vectors and transforms.

#include "math/Math.h"

#include <gtest/gtest.h>

inline void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

inline void ExpectNear(const Colour& actual, const Colour& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.r, expected.r, tolerance);
    EXPECT_NEAR(actual.g, expected.g, tolerance);
    EXPECT_NEAR(actual.b, expected.b, tolerance);
    EXPECT_NEAR(actual.a, expected.a, tolerance);
}

// A transform that only places: identity axes, translation position.
inline Matrix4 At(const Vector3& position) {
    Matrix4 transform;
    transform.SetTranslation(position);
    return transform;
}

// A quarter turn about Y at a position: local X becomes world Z, local Z becomes world -X.
inline Matrix4 QuarterTurnAt(const Vector3& position) {
    Matrix4 transform;
    transform.SetRow(0, {0.0f, 0.0f, 1.0f});
    transform.SetRow(1, {0.0f, 1.0f, 0.0f});
    transform.SetRow(2, {-1.0f, 0.0f, 0.0f});
    transform.SetTranslation(position);
    return transform;
}
