#pragma once

#include "math/Math.h"

// The transform of something moving with velocity at position: row 2 (local Z) is the
// velocity's direction, or (0, 0, 1) when the velocity is exactly zero; rows 0 and 1
// complete a right-handed orthonormal frame (X = Y x Z) that keeps X level when Z is not
// close to the world's Z axis; row 3 is position.
Matrix4 LookAlong(const Vector3& velocity, const Vector3& position);
