#include "runtime/FXDynamicsAttached.h"

#include "runtime/FXDynamicsCommon.h"
#include "runtime/FXLookAlong.h"
#include "runtime/FXManager.h"
#include "runtime/FXObject.h"

namespace {

// The frame a child rides in: the target's transform with its translation moved to the
// target's attachment point (its parameter vector, already scaled by its length, taken
// as a point in the target's own space). False when the target is not alive.
bool AttachmentFrame(const FXManager& manager, const FXHandle& target, Matrix4& frame) {
    if (!manager.GetTransform(target, frame))
        return false;
    Vector3 point;
    if (manager.GetParamVector(target, point))
        frame.SetTranslation(frame.TransformPoint(point));
    return true;
}

} // namespace

FXDynamics* FXDynamicsAttached::CloneInto(void* memory) const {
    return FXCopyDynamicsInto(memory, *this);
}

// The composition: with F the attachment frame (rotation and scale of the target, origin
// at the attachment point), the first update turns the world position and velocity into
// F's local space (p x F^-1, v x F^-1 without translation). Every update then places the
// instance at LookAlong(local velocity, local position) x F, so its offset and heading
// are fixed in the target's axes: when the target turns, the child swings round with it.
bool FXDynamicsAttached::Update(FXObject& instance, float dt) {
    const FXManager* manager = FXManager::Instance();
    if (!manager)
        return true;
    Matrix4 frame;
    if (m_target.IsNull()) {
        if (!AttachmentFrame(*manager, instance.GetParentHandle(), frame))
            return true;
        m_target = instance.GetParentHandle();
        const Matrix4 toLocal = frame.Inverse();
        m_position = toLocal.TransformPoint(m_position);
        m_velocity = toLocal.TransformVector(m_velocity);
    } else if (!AttachmentFrame(*manager, m_target, frame)) {
        return true;
    }
    m_velocity *= FXDampingFactor(dt, m_damping);
    m_position += m_velocity * dt;
    instance.SetTransform(LookAlong(m_velocity, m_position) * frame);
    return false;
}
