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

float FXWrapAge(float age, float duration) {
    // One subtraction per wrap, as a frame normally needs; after a long step of a short
    // loop the rest is taken in one go, where repeated subtraction could stall on
    // rounding.
    constexpr int kMaxWrapPasses = 64;
    for (int pass = 0; age >= duration; ++pass) {
        if (pass == kMaxWrapPasses)
            return std::min(std::fmod(age, duration), std::nextafter(duration, 0.0f));
        age -= duration;
    }
    return age;
}
