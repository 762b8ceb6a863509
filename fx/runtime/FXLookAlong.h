#pragma once

#include "math/Math.h"

// The transform of something moving with velocity at position: row 2 (local Z) is the
// velocity's direction, or (0, 0, 1) when the velocity is exactly zero; rows 0 and 1
// complete a right-handed orthonormal frame (X = Y x Z) that keeps X level when Z is not
// close to the world's Z axis; row 3 is position.
Matrix4 LookAlong(const Vector3& velocity, const Vector3& position);

// The two halves of LookAlong, for callers that keep a frame while its direction holds:
// row 2 of LookAlong(velocity, position), and the whole transform from that row (rows 0
// and 1 depend on it alone). LookAlongFrame(LookAlongDirection(v), p) == LookAlong(v, p),
// bit for bit: every division is correctly rounded, however it is made. The direction is
// inline, as the dynamics ask for it at every step.
inline Vector3 LookAlongDirection(const Vector3& velocity) {
    return velocity.Normalised({0.0f, 0.0f, 1.0f});
}
Matrix4 LookAlongFrame(const Vector3& direction, const Vector3& position);
