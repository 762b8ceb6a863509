#include "runtime/FXDynamicsPlane.h"

#include "runtime/FXDynamicsCommon.h"
#include "runtime/FXObject.h"

FXDynamics* FXDynamicsPlane::CloneInto(void* memory) const {
    return FXCopyDynamicsInto(memory, *this);
}

void FXDynamicsPlane::SetPosition(const Vector3& position) {
    m_position = position - m_normal * (m_normal.Dot(position) + m_distance);
}

void FXDynamicsPlane::SetVelocity(const Vector3& velocity) {
    m_velocity = m_planeMotion ? velocity - m_normal * velocity.Dot(m_normal) : Vector3{};
}

void FXDynamicsPlane::SetPlane(const Vector3& normal, float distance) {
    m_normal = normal;
    m_distance = distance;
}

bool FXDynamicsPlane::Update(FXObject& instance, float dt) {
    (void)dt;
    const Vector3 y = m_normal.Normalised({0.0f, 1.0f, 0.0f});
    Vector3 x;
    Vector3 z;
    // Near the world's Y axis the cross product with it degenerates; use world X there.
    if (y.y >= -0.9f && y.y <= 0.9f) {
        x = y.Cross({0.0f, 1.0f, 0.0f}).Normalised();
        z = x.Cross(y).Normalised();
    } else {
        z = Vector3{1.0f, 0.0f, 0.0f}.Cross(y).Normalised();
        x = y.Cross(z).Normalised();
    }
    Matrix4 transform;
    transform.SetRow(0, x);
    transform.SetRow(1, y);
    transform.SetRow(2, z);
    transform.SetTranslation(m_position);
    instance.SetTransform(transform);
    return false;
}
