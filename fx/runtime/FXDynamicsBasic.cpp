#include "runtime/FXDynamicsBasic.h"

#include "runtime/FXDynamicsCommon.h"
#include "runtime/FXLookAlong.h"
#include "runtime/FXManager.h"
#include "runtime/FXObject.h"

FXDynamics* FXDynamicsBasic::Clone() const {
    return FXDynamicsNew<FXDynamicsBasic>(*this);
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
    m_velocity += *FXGetGravity() * m_gravityScale * dt;
    m_velocity += *FXGetWind() * m_windScale * dt;
    m_velocity *= FXDampingFactor(dt, m_damping);
    m_position += m_velocity * dt;
    instance.SetTransform(LookAlong(m_velocity, m_position));
    return false;
}
