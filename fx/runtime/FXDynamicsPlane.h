#pragma once

// An instance held still on a plane (flat effects on a floor or a wall): its position is
// projected onto the plane and its Y axis is the plane's normal.

#include "runtime/FXDynamics.h"

class FXDynamicsPlane : public FXDynamics {
public:
    FXDynamics* CloneInto(void* memory) const override;
    size_t Size() const override { return sizeof(FXDynamicsPlane); }
    // Stores the position projected onto the plane: p - (n . p + distance) x n.
    void SetPosition(const Vector3& position) override;
    // With plane motion, stores the velocity without its normal component; otherwise
    // zero. The position does not follow it.
    void SetVelocity(const Vector3& velocity) override;
    // The plane kind has no damping.
    void SetDamping(float damping) override { (void)damping; }
    // Places the instance at the stored position, Y along the normal; never asks for a
    // stop.
    bool Update(FXObject& instance, float dt) override;

    void SetPlaneMotion(bool planeMotion) { m_planeMotion = planeMotion; }
    // normal should be a unit vector for the projection to land on the plane.
    void SetPlane(const Vector3& normal, float distance);

    bool GetPlaneMotion() const { return m_planeMotion; }
    const Vector3& GetPosition() const { return m_position; }
    const Vector3& GetVelocity() const { return m_velocity; }
    const Vector3& GetNormal() const { return m_normal; }
    float GetDistance() const { return m_distance; }

private:
    bool m_planeMotion = false;
    Vector3 m_position;
    Vector3 m_velocity;
    Vector3 m_normal{0.0f, 1.0f, 0.0f};
    float m_distance = 0.0f; // n . p + distance = 0 on the plane
};
