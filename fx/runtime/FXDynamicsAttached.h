#pragma once

// Motion in the frame of a target instance (the instance's parent): a child keeps its
// offset from the target's attachment point, in the target's axes, while the target moves
// and turns, and drifts from there with its own damped velocity.

#include "runtime/FXDynamics.h"
#include "runtime/FXHandle.h"

class FXDynamicsAttached : public FXDynamics {
public:
    FXDynamics* CloneInto(void* memory) const override;
    size_t Size() const override { return sizeof(FXDynamicsAttached); }
    // World values before the first update, the target's local values after it.
    void SetPosition(const Vector3& position) override { m_position = position; }
    void SetVelocity(const Vector3& velocity) override { m_velocity = velocity; }
    void SetDamping(float damping) override { m_damping = damping; }
    // True (stop the instance) when there is no target to ride on: the instance has no
    // live parent at the first update, or the target has died since.
    bool Update(FXObject& instance, float dt) override;

    const FXHandle& GetTarget() const { return m_target; }
    const Vector3& GetPosition() const { return m_position; }
    const Vector3& GetVelocity() const { return m_velocity; }
    float GetDamping() const { return m_damping; }

private:
    FXHandle m_target; // null until attached
    Vector3 m_position;
    Vector3 m_velocity;
    float m_damping = 1.0f; // keeps the velocity until someone (the spray) sets a drag
};
