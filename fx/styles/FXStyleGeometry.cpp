#include "FXStyleGeometry.h"

#include <algorithm>
#include <cmath>

float FXSquaredDistanceToSegment(const Vector3& point, const Vector3& a, const Vector3& b) {
    const Vector3 along = b - a;
    const float lengthSquared = along.Dot(along);
    float t = 0.0f;
    if (lengthSquared > 0.0f)
        t = std::clamp((point - a).Dot(along) / lengthSquared, 0.0f, 1.0f);
    const Vector3 offset = point - (a + along * t);
    return offset.Dot(offset);
}
