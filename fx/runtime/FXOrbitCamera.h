#pragma once

// The camera of the editor's preview: it looks at a target from a distance, turned by
// yaw, pitch and roll (FXOrbitState), and can instead follow an external view matrix.

#include "runtime/FXCamera.h"
#include "runtime/FXOrbitState.h"

#include <cstdint>
#include <limits>

class FXOrbitCamera : public FXCamera {
public:
    // Mode 0 builds the view from the orbit (or, with the external-view switch on, from
    // the external view matrix); any other mode leaves the view matrix to SetViewMatrix.
    void SetMode(int32_t mode) { m_mode = mode; }
    int32_t GetMode() const { return m_mode; }

    void SetTarget(const Vector3& target);
    // Direct setters: no clamping or wrapping until UpdateMatrices.
    void SetYaw(float degrees) { m_orbit.yaw = degrees; }
    void SetPitch(float degrees) { m_orbit.pitch = degrees; }
    void SetRoll(float degrees) { m_orbit.roll = degrees; }
    void AddYaw(float degrees) { m_orbit.yaw += degrees; }
    // The result is clamped to ±kFXPitchLimit.
    void AddPitch(float degrees) { m_orbit.pitch = FXClampPitch(m_orbit.pitch + degrees); }
    void AddRoll(float degrees) { m_orbit.roll += degrees; }
    // Both clamp the result to the distance limits.
    void SetDistance(float distance);
    void AddDistance(float amount) { SetDistance(m_orbit.distance + amount); }
    // Limits applied by SetDistance, AddDistance and UpdateMatrices; where the minimum
    // exceeds the maximum, the maximum wins.
    void SetMinDistance(float distance) { m_minDistance = distance; }
    void SetMaxDistance(float distance) { m_maxDistance = distance; }

    float GetYaw() const { return m_orbit.yaw; }
    float GetPitch() const { return m_orbit.pitch; }
    float GetRoll() const { return m_orbit.roll; }
    float GetDistance() const { return m_orbit.distance; }
    const Vector3& GetTarget() const { return m_orbit.target; }
    float GetMinDistance() const { return m_minDistance; }
    float GetMaxDistance() const { return m_maxDistance; }

    // The orbit block itself, for the mouse controller to work on.
    FXOrbitState& OrbitState() { return m_orbit; }
    const FXOrbitState& OrbitState() const { return m_orbit; }

    // matrix = matrix × R: a rotation about axis 'x', 'y' or 'z' by degrees, applied
    // after matrix. R(a) has the rows (1, 0, 0), (0, cos a, −sin a), (0, sin a, cos a)
    // about x; (cos a, 0, sin a), (0, 1, 0), (−sin a, 0, cos a) about y; (cos a, −sin a,
    // 0), (sin a, cos a, 0), (0, 0, 1) about z. Any other axis leaves matrix unchanged.
    static void RotateMatrix(Matrix4& matrix, char axis, float degrees);

    // Clamps the distance to its limits and the pitch to ±kFXPitchLimit, brings the yaw
    // back into 0 to 360 by one turn at most, builds the view matrix as the mode says,
    // then updates the projection and the eye position. In mode 0 the eye lies at the
    // orbit's distance from the target, above it for negative pitch, and looks at it.
    void UpdateMatrices() override;

private:
    int32_t m_mode = 0;
    FXOrbitState m_orbit;
    float m_minDistance = 0.0f;
    float m_maxDistance = std::numeric_limits<float>::max();
};
