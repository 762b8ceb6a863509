#include "runtime/FXLookAlong.h"

Matrix4 LookAlong(const Vector3& velocity, const Vector3& position) {
    const Vector3 z = velocity.Normalised({0.0f, 0.0f, 1.0f});
    Vector3 x;
    Vector3 y;
    // Near the world's Z axis the cross product with it degenerates; build the frame
    // from world X instead.
    if (z.z >= -0.9f && z.z <= 0.9f) {
        x = Vector3{0.0f, 0.0f, 1.0f}.Cross(z).Normalised();
        y = z.Cross(x).Normalised();
    } else {
        y = z.Cross({1.0f, 0.0f, 0.0f}).Normalised();
        x = y.Cross(z).Normalised();
    }
    Matrix4 transform;
    transform.SetRow(0, x);
    transform.SetRow(1, y);
    transform.SetRow(2, z);
    transform.SetTranslation(position);
    return transform;
}
