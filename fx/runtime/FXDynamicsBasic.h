#pragma once

// Free flight under the global gravity and wind, each scaled, with damping. The particle
// faces along its velocity.

#include "runtime/FXDynamics.h"

#include <cstdint>

class FXDynamicsBasic : public FXDynamics {
public:
    // What a particle of a gravity preset does when it meets a surface. The runtime has no
    // surfaces: the response is carried with the preset, never acted on by Update.
    enum SurfaceResponse : int32_t {
        SURFACE_IGNORE = 0,
        SURFACE_BOUNCE = 1,
        SURFACE_STICK = 2,
        SURFACE_DIE = 3,
    };

    FXDynamics* CloneInto(void* memory) const override;
    size_t Size() const override { return sizeof(FXDynamicsBasic); }
    void SetPosition(const Vector3& position) override { m_position = position; }
    void SetVelocity(const Vector3& velocity) override { m_velocity = velocity; }
    // Stores any value unchecked (the spray hands its drag over here).
    void SetDamping(float damping) override { m_damping = damping; }
    bool Update(FXObject& instance, float dt) override;

    // The direct setters ignore values outside their ranges.
    void SetGravityScale(float scale);         // 0..1
    void SetWindScale(float scale);            // 0..1
    void SetDampingChecked(float damping);     // >= 0
    void SetSurfaceResponse(int32_t response); // a SurfaceResponse, 0..3

    float GetGravityScale() const { return m_gravityScale; }
    float GetWindScale() const { return m_windScale; }
    float GetDamping() const { return m_damping; }
    // The fraction of the speed a bounce keeps: the same for every preset.
    float GetBounce() const { return kBounce; }
    int32_t GetSurfaceResponse() const { return m_surfaceResponse; }
    const Vector3& GetPosition() const { return m_position; }
    const Vector3& GetVelocity() const { return m_velocity; }

private:
    static constexpr float kBounce = 0.2f;

    // Every particle of a spray carries a clone: the fields are packed to keep it small.
    float m_gravityScale = 1.0f;
    float m_windScale = 1.0f;
    float m_damping = 0.0f;
    Vector3 m_position;
    Vector3 m_velocity;
    int8_t m_surfaceResponse = SURFACE_IGNORE; // a SurfaceResponse
    // Whether Update has placed the instance, and the instance's count of placements just
    // after it did: equal counts mean the axes it set are still there.
    bool m_placed = false;
    uint16_t m_placedChanges = 0;
};
