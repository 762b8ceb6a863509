#pragma once

// The trail (style 3): a ribbon left behind a moving instance through the points it
// passed in the last Length seconds, coloured from ColourHead to ColourTail.

#include "definitions/FXType.h"
#include "runtime/FXObject.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class FXObjectTrail;
class TrailBatch;

// What a trail type's batch has drawn since its counters were last reset.
struct FXTrailStats {
    uint32_t trails = 0;   // strips drawn, one per trail
    uint32_t vertices = 0; // vertices submitted
    constexpr bool operator==(const FXTrailStats&) const = default;
};

// One recorded position of a trail.
struct FXTrailPoint {
    float time = 0.0f; // the trail's age when recorded, seconds
    Vector3 position;
    Vector3 side;      // the instance's local X axis then, for trails that do not billboard
    Vector3 direction; // opposite to the motion then
    float halfWidth = 0.0f;
    float fade = 0.0f; // 0 opaque to 1 gone
};

class FXTypeTrail : public FXType {
public:
    // Registers the trail's parameters with their defaults; both colours default to
    // opaque white.
    explicit FXTypeTrail(const char* name);
    ~FXTypeTrail() override;

    int GetStyle() const override;
    // Always 0.5 seconds, whatever Duration says.
    float GetDuration() const override;
    // An FXObjectTrail.
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t argument) override;
    size_t InstanceSize() const override;
    // Makes the batch, loading Texture (never an animation), unless there is one. Always
    // true: a texture that cannot be loaded leaves the trails untextured.
    bool Prepare() override;
    // Ends the batch, giving its texture back, while no instance lives.
    void Release() override;
    // Takes the camera of the drawing pass in progress and empties the queue.
    void BeginBatch() override;
    // Draws every trail queued since BeginBatch, one strip each, and empties the queue.
    void EndBatch() override;
    void ResetBatchStats() override;

    // Zero while there is no batch.
    FXTrailStats GetBatchStats() const;
    bool HasBatch() const { return m_batch != nullptr; }
    // Instances alive.
    int GetLiveCount() const { return m_liveCount; }

private:
    friend class FXObjectTrail;
    // Draws one queued trail: points oldest first, cut at length seconds.
    void DrawTrail(std::span<const FXTrailPoint> points, float length);

    float m_length; // seconds of path kept
    float m_width;
    int32_t m_blending;    // 0 none, 1 alpha, 2 additive, 3 multiply, 4 additive alpha
    std::string m_texture; // a plain texture, never an animation
    Colour m_colourHead;   // at the newest point
    Colour m_colourTail;   // at the oldest point
    bool m_billboard;      // the ribbon faces the camera
    float m_deathRate;     // carried and saved; nothing reads it
    float m_fadeOutTime;   // fraction of the instance's duration, despite its text
    float m_duration;      // seconds
    float m_lengthEpsilon; // random modifiers: factors from 1 - e to 1 + e
    float m_durationEpsilon;
    float m_widthEpsilon;
    float m_lineDistance; // camera distance beyond which the trail is a line; -1 never

    int m_liveCount = 0;
    std::unique_ptr<TrailBatch> m_batch; // from the first Prepare to a Release with no instance
};

// A live trail: records the instance's position every update, lays a new point every
// 0.1 seconds (the newest point follows the instance), keeps the points of the last
// length seconds plus one older point, and fades out over the end of its life. Its
// length, width and duration are drawn once, at construction.
class FXObjectTrail : public FXObject {
public:
    // Counts itself with the type and prepares it (which makes the batch on first use).
    FXObjectTrail(FXTypeTrail* type, const FXHandle& self, const FXHandle& parent);
    ~FXObjectTrail() override;

    // True once the duration has run out, or once stopped with fewer than two points.
    bool Update(float dt) override;
    // Queues the points with the type's batch when there are two or more; the fade is not
    // used.
    void Render(float fade) override;

    float GetAge() const { return m_age; }
    float GetTrailLength() const { return m_trailLength; } // seconds
    float GetTrailWidth() const { return m_trailWidth; }
    float GetTrailDuration() const { return m_trailDuration; } // seconds
    // Oldest first.
    std::span<const FXTrailPoint> GetPoints() const { return m_points; }

private:
    const FXTypeTrail& Type() const { return *static_cast<const FXTypeTrail*>(m_type); }

    float m_age = 0.0f;
    float m_trailLength;
    float m_trailWidth;
    float m_trailDuration;
    Vector3 m_lastPosition;
    Vector3 m_motion{0.0f, 0.0f, 1.0f}; // unit direction of the last move
    std::vector<FXTrailPoint> m_points; // oldest first
};
