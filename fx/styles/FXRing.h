#pragma once

// The ring (style 1): one textured quad (a billboard or oriented by the instance) or a
// mesh, following time-keyed radius, colour, offset and spin over its life. It can spawn
// one type when it is born and another when it dies.

#include "definitions/FXType.h"
#include "runtime/FXObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FXObjectRing;
class MeshInstance;
class RingBatch;

class FXTypeRing : public FXType {
public:
    // Registers the ring's parameters with their defaults.
    explicit FXTypeRing(const char* name);
    // Destroys the batch (and gives its texture back) whatever instances remain; the
    // manager destroys every instance before any type.
    ~FXTypeRing() override;

    int GetStyle() const override;
    // Rings drawn as points far away (PointDistance >= 0) fade by distance, not by size.
    bool NoSizeFade() const override;
    // The largest float while Loop is set. Otherwise Duration, lengthened by the
    // duration of Spawn_Fx (spawned when the ring dies); a BirthSpawn_Fx type (spawned at
    // birth) then decides alone: the larger of its duration and Duration.
    float GetDuration() const override;
    // An FXObjectRing of this type.
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t argument) override;
    size_t InstanceSize() const override;
    // Creates the batch on first use (loading the texture or animation, or the meshes, as
    // the type says then), then prepares the spawned types.
    bool Prepare() override;
    // Destroys the batch and everything it loaded, unless an instance still lives.
    void Release() override;
    // Takes the camera's orientation from the current model-view matrix and empties the
    // batch; instances then queue themselves through Render.
    void BeginBatch() override;
    // Draws what was queued since BeginBatch and empties the batch.
    void EndBatch() override;
    // Spawn_Fx, then BirthSpawn_Fx, even when empty.
    void GetChildTypes(std::vector<std::string>& list) const override;

    // Instances alive now.
    int GetLiveCount() const { return m_liveCount; }
    bool HasBatch() const { return m_batch != nullptr; }
    // The batch, or null before the first Prepare and after a Release.
    const RingBatch* Batch() const { return m_batch.get(); }

private:
    friend class FXObjectRing;
    friend class RingBatch;

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

    std::unique_ptr<RingBatch> m_batch;
    int m_liveCount = 0;
};

// A live ring. Its random modifiers and start angles are drawn once at construction; each
// update moves it along its life (rate factor times dt) and recomputes its colour, offset,
// radius, spin and bounds; Render queues it, as a transform and a colour, with its type's
// batch.
class FXObjectRing : public FXObject {
public:
    FXObjectRing(FXTypeRing* type, const FXHandle& self, const FXHandle& parent);
    ~FXObjectRing() override;

    // True once the life is over (Duration scaled by the rate factor; never while looping
    // unless stopped); a death spawn is created then.
    bool Update(float dt) override;
    // Queues the ring with its type's batch, faded: the alpha with Alpha blending, the red,
    // green and blue with Additive. Invisible rings queue nothing.
    void Render(float fade) override;

    float GetAge() const { return m_age; } // seconds of life, rate included
    float GetRadiusFactor() const { return m_radiusFactor; }
    float GetRateFactor() const { return m_rateFactor; }
    // Per axis X, Y, Z: the factor of the spin rate (negative: the other way round).
    const Vector3& GetSpinFactors() const { return m_spinFactors; }
    const Vector3& GetSpinAngles() const { return m_spinAngles; } // radians
    // The animation frame this ring always shows, or -1 to follow the animation by age.
    int32_t GetFrameIndex() const { return m_frameIndex; }
    const MeshInstance* GetMeshInstance() const { return m_meshInstance; }
    // The colour at the ring's age (the colour curve is read where it is drawn, not kept).
    Colour GetColour() const;
    float GetRingRadius() const { return m_ringRadius; }

private:
    FXTypeRing& Type() const { return *static_cast<FXTypeRing*>(m_type); }
    void BirthSpawn();
    void DeathSpawn(float dt);
    // The placement every spawn takes from its ring.
    void HandOnPlacement(const FXHandle& spawn) const;
    // The life fraction of the ring's age, the point at which its curves are read.
    float LifeFraction() const;
    // offset: the Offset curve's value at the ring's age (oriented rings reach out to it).
    void UpdateBounds(const Vector3& offset);

    float m_age = 0.0f;
    float m_radiusFactor = 1.0f;
    float m_rateFactor = 1.0f;
    Vector3 m_spinFactors{1.0f, 1.0f, 1.0f};
    Vector3 m_spinAngles; // radians about X, Y, Z
    int32_t m_frameIndex = -1;
    MeshInstance* m_meshInstance = nullptr; // owned
    // Radius at the current life times the radius factor. The colour and offset at the
    // current life are read from their curves when drawn, so a ring does not carry them.
    float m_ringRadius = 0.0f;
};
