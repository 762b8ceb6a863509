#include "runtime/FXDynamicsBasic.h"

#include "runtime/FXDynamicsCommon.h"
#include "runtime/FXLookAlong.h"
#include "runtime/FXManager.h"
#include "runtime/FXObject.h"

#include <bit>

namespace {

bool SameBits(const Vector3& a, const Vector3& b) {
    return std::bit_cast<uint32_t>(a.x) == std::bit_cast<uint32_t>(b.x) &&
           std::bit_cast<uint32_t>(a.y) == std::bit_cast<uint32_t>(b.y) &&
           std::bit_cast<uint32_t>(a.z) == std::bit_cast<uint32_t>(b.z);
}

} // namespace

FXDynamics* FXDynamicsBasic::Clone() const {
    FXDynamicsBasic* clone = FXDynamicsNew<FXDynamicsBasic>(*this);
    if (clone)
        clone->m_placed = false; // it has placed no instance yet
    return clone;
}

void FXDynamicsBasic::SetGravityScale(float scale) {
    if (scale >= 0.0f && scale <= 1.0f)
        m_gravityScale = scale;
}

void FXDynamicsBasic::SetWindScale(float scale) {
    if (scale >= 0.0f && scale <= 1.0f)
        m_windScale = scale;
}

void FXDynamicsBasic::SetDampingChecked(float damping) {
    if (damping >= 0.0f)
        m_damping = damping;
}

void FXDynamicsBasic::SetSurfaceResponse(int32_t response) {
    if (response >= SURFACE_IGNORE && response <= SURFACE_DIE)
        m_surfaceResponse = response;
}

bool FXDynamicsBasic::Update(FXObject& instance, float dt) {
    const Vector3 before = m_velocity;
    m_velocity += *FXGetGravity() * m_gravityScale * dt;
    m_velocity += *FXGetWind() * m_windScale * dt;
    m_velocity *= FXDampingFactor(dt, m_damping);
    m_position += m_velocity * dt;
    // The axes depend on the velocity alone. While it keeps its very bits (a particle
    // without gravity, wind or drag) and nobody has placed the instance since this object
    // did, the instance's axes are already those LookAlong gives: only the position moves.
    if (SameBits(before, m_velocity) && m_placed &&
        instance.TransformChanges() == m_placedChanges) {
        Matrix4 transform = instance.GetTransform();
        transform.SetTranslation(m_position);
        instance.SetTransform(transform);
    } else {
        instance.SetTransform(LookAlong(m_velocity, m_position));
    }
    m_placed = true;
    m_placedChanges = instance.TransformChanges();
    return false;
}
