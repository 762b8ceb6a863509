#include "runtime/FXLookAlong.h"

#if defined(__SSE__)
#include <immintrin.h>
#endif

namespace {

// Vector3::Normalised, with the three divisions made as one: the same correctly rounded
// quotients, one latency instead of three in a chain of three normalisations.
Vector3 Normalise(const Vector3& v, const Vector3& fallback = {0.0f, 0.0f, 0.0f}) {
    const float length = v.Length();
    if (!(length > 0.0f))
        return fallback;
#if defined(__SSE__)
    alignas(16) float quotients[4];
    _mm_store_ps(quotients, _mm_div_ps(_mm_setr_ps(v.x, v.y, v.z, 1.0f), _mm_set1_ps(length)));
    return {quotients[0], quotients[1], quotients[2]};
#else
    return v / length;
#endif
}

} // namespace

Matrix4 LookAlong(const Vector3& velocity, const Vector3& position) {
    return LookAlongFrame(Normalise(velocity, {0.0f, 0.0f, 1.0f}), position);
}

Matrix4 LookAlongFrame(const Vector3& z, const Vector3& position) {
    Vector3 x;
    Vector3 y;
    // Near the world's Z axis the cross product with it degenerates; build the frame
    // from world X instead.
    if (z.z >= -0.9f && z.z <= 0.9f) {
        x = Normalise(Vector3{0.0f, 0.0f, 1.0f}.Cross(z));
        y = Normalise(z.Cross(x));
    } else {
        y = Normalise(z.Cross({1.0f, 0.0f, 0.0f}));
        x = Normalise(y.Cross(z));
    }
    Matrix4 transform;
    transform.SetRow(0, x);
    transform.SetRow(1, y);
    transform.SetRow(2, z);
    transform.SetTranslation(position);
    return transform;
}
