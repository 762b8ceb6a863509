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

// Places the instance at position with the axes it has.
void MoveTo(FXObject& instance, const Vector3& position) {
    Matrix4 transform = instance.GetTransform();
    transform.SetTranslation(position);
    instance.SetTransform(transform);
}

} // namespace

FXDynamics* FXDynamicsBasic::CloneInto(void* memory) const {
    FXDynamicsBasic* clone = FXCopyDynamicsInto(memory, *this);
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
        m_surfaceResponse = static_cast<int8_t>(response);
}

bool FXDynamicsBasic::Update(FXObject& instance, float dt) {
    const Vector3 before = m_velocity;
    m_velocity += *FXGetGravity() * m_gravityScale * dt;
    m_velocity += *FXGetWind() * m_windScale * dt;
    m_velocity *= FXDampingFactor(dt, m_damping);
    m_position += m_velocity * dt;
    // The axes depend on the velocity's direction alone. While nobody has placed the
    // instance since this object did, its axes are those LookAlong gave then: when the
    // velocity keeps its very bits (no gravity, wind or drag), or its direction comes out
    // the same (a fall straight down), only the position moves.
    const bool ownPlacement = m_placed && instance.TransformChanges() == m_placedChanges;
    if (ownPlacement && SameBits(before, m_velocity)) {
        MoveTo(instance, m_position);
    } else {
        const Vector3 direction = LookAlongDirection(m_velocity);
        if (ownPlacement && SameBits(direction, instance.GetTransform().Row(2)))
            MoveTo(instance, m_position);
        else
            instance.SetTransform(LookAlongFrame(direction, m_position));
    }
    m_placed = true;
    m_placedChanges = instance.TransformChanges();
    return false;
}
