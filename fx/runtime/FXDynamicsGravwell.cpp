#include "runtime/FXDynamicsGravwell.h"

#include "runtime/FXDynamicsCommon.h"
#include "runtime/FXManager.h"
#include "runtime/FXObject.h"

#include <cmath>

FXDynamics* FXDynamicsGravwell::CloneInto(void* memory) const {
    return FXCopyDynamicsInto(memory, *this);
}

bool FXDynamicsGravwell::Update(FXObject& instance, float dt) {
    if (m_target.IsNull())
        m_target = instance.GetParentHandle();
    const FXManager* manager = FXManager::Instance();
    Matrix4 target;
    if (manager && manager->GetTransform(m_target, target)) {
        Vector3 toTarget = target.Translation() - m_position;
        const float distanceSquared = toTarget.Dot(toTarget);
        if (distanceSquared > 0.0f) {
            toTarget = toTarget / std::sqrt(distanceSquared);
            m_velocity += toTarget * manager->GetGravwellStrength(m_target) * dt;
        }
    }
    m_velocity *= FXDampingFactor(dt, m_damping);
    m_position += m_velocity * dt;
    Matrix4 transform = instance.GetTransform();
    transform.SetTranslation(m_position);
    instance.SetTransform(transform);
    return false;
}
