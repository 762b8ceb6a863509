#pragma once

// The ring (style 1): one textured quad (a billboard or oriented by the instance) or a
// mesh, following time-keyed radius, colour, offset and spin over its life. It can spawn
// one type when it is born and another when it dies.

#include "definitions/FXType.h"

#include <cstdint>
#include <string>
#include <vector>

class FXObjectRing;

class FXTypeRing : public FXType {
public:
    // Registers the ring's parameters with their defaults.
    explicit FXTypeRing(const char* name);

    int GetStyle() const override;
    // Rings drawn as points far away (PointDistance >= 0) fade by distance, not by size.
    bool NoSizeFade() const override;
    // The largest float while Loop is set. Otherwise Duration, lengthened by the
    // duration of Spawn_Fx (spawned when the ring dies); a BirthSpawn_Fx type (spawned at
    // birth) then decides alone: the larger of its duration and Duration.
    float GetDuration() const override;
    // Prepares the spawned types.
    bool Prepare() override;
    // Spawn_Fx, then BirthSpawn_Fx, even when empty.
    void GetChildTypes(std::vector<std::string>& list) const override;

private:
    friend class FXObjectRing;

    // Time-keyed arrays are keyed at normalised life time 0.0 to 1.0. SortOrder is no
    // field of its own: it is the base class's sort order.
    FXVariable m_radius;
    FXVariable m_offset; // position relative to the instance, times its length
    FXVariable m_spinX;  // degrees; the runtime turns ten times this per second
    FXVariable m_spinY;
    FXVariable m_spinZ;
    FXVariable m_colour;
    float m_radiusEpsilon; // random modifiers: factors from 1.0 to 1.0 + epsilon
    float m_rateEpsilon;
    float m_spinEpsilonX;
    float m_spinEpsilonY;
    float m_spinEpsilonZ;
    bool m_spinRandom; // each spin axis turns either way at random
    float m_duration;  // seconds
    bool m_useMesh;
    bool m_useDepthTest;
    bool m_useDepthSort; // draw the farthest ring first
    bool m_loop;
    bool m_alternateFov; // draw with the alternate projection
    bool m_billboard;
    bool m_selfIlluminated;     // carried and saved; drawing does not read it
    int32_t m_blending;         // 0 none, 1 alpha, 2 additive, 3 multiply, 4 additive alpha
    std::string m_texture;      // a texture, or an animation (".anim")
    std::string m_mesh;         // a mesh, or a mesh list (".akmo")
    std::string m_spawnFx;      // type spawned when a ring dies
    std::string m_birthSpawnFx; // type spawned, attached, when a ring is created
    bool m_randomBitmap;        // one random frame of the animation per ring
    float m_depthOffset;        // billboards: moved along the viewing direction
    float m_pointDistance;      // camera depth beyond which a ring is a point; -1 never
};
