#pragma once

// Small helpers shared by the drawing styles (beam, trail, hyperspace).

#include "math/Math.h"

// The squared distance from point to the segment from a to b (a point when a == b).
float FXSquaredDistanceToSegment(const Vector3& point, const Vector3& a, const Vector3& b);
