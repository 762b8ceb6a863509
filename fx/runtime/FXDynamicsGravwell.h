#pragma once

// Flight pulled toward a target instance (by default the instance's parent) with the
// strength the target reports as its gravity well, with damping. The instance keeps its
// orientation; only its translation follows the motion.

#include "runtime/FXDynamics.h"
#include "runtime/FXHandle.h"

class FXDynamicsGravwell : public FXDynamics {
public:
    FXDynamics* CloneInto(void* memory) const override;
    size_t Size() const override { return sizeof(FXDynamicsGravwell); }
    void SetPosition(const Vector3& position) override { m_position = position; }
    void SetVelocity(const Vector3& velocity) override { m_velocity = velocity; }
    void SetDamping(float damping) override { m_damping = damping; }
    // A lost target only ends the pull; never asks for a stop.
    bool Update(FXObject& instance, float dt) override;

    const FXHandle& GetTarget() const { return m_target; }
    const Vector3& GetPosition() const { return m_position; }
    const Vector3& GetVelocity() const { return m_velocity; }
    float GetDamping() const { return m_damping; }

private:
    FXHandle m_target; // null until the first update takes the instance's parent
    Vector3 m_position;
    Vector3 m_velocity;
    float m_damping = 1.0f; // keeps the velocity until someone (the spray) sets a drag
};
