#pragma once

// The beam (style 2): a textured ribbon from the instance's position along its local Z
// axis, as long as the instance's length times the time-keyed Length, optionally cut
// into jittering, bowed segments, and drawn as a line far from the camera.

#include "definitions/FXType.h"
#include "runtime/FXObject.h"

#include <cstdint>
#include <memory>
#include <string>

class BeamBatch;
class FXObjectBeam;

// What a beam type's batch has drawn since its counters were last reset.
struct FXBeamStats {
    uint32_t beams = 0;    // strips drawn, one per beam
    uint32_t vertices = 0; // vertices submitted
    constexpr bool operator==(const FXBeamStats&) const = default;
};

class FXTypeBeam : public FXType {
public:
    // Registers the beam's parameters with their defaults.
    explicit FXTypeBeam(const char* name);
    ~FXTypeBeam() override;

    int GetStyle() const override;
    // Duration, looping or not.
    float GetDuration() const override;
    // An FXObjectBeam.
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t argument) override;
    size_t InstanceSize() const override;
    // Makes the batch, loading Texture (a texture or an animation), unless there is one.
    // Always true: a texture that cannot be loaded leaves the beams untextured.
    bool Prepare() override;
    // Ends the batch, giving its texture back, while no instance lives.
    void Release() override;
    // Takes the camera of the drawing pass in progress and empties the queue.
    void BeginBatch() override;
    // Draws every beam queued since BeginBatch, one strip each, and empties the queue.
    void EndBatch() override;
    void ResetBatchStats() override;

    // Zero while there is no batch.
    FXBeamStats GetBatchStats() const;
    bool HasBatch() const { return m_batch != nullptr; }
    // Instances alive.
    int GetLiveCount() const { return m_liveCount; }

private:
    friend class FXObjectBeam;

    // Time-keyed arrays are keyed at normalised life time 0.0 to 1.0.
    float m_duration; // seconds
    bool m_loop;
    int32_t m_blending;     // 0 none, 1 alpha, 2 additive, 3 multiply, 4 additive alpha
    std::string m_texture;  // a texture, or an animation (".anim")
    bool m_selfIlluminated; // carried and saved; drawing does not read it
    FXVariable m_offset;    // start point relative to the instance
    FXVariable m_length;    // fraction of the instance's length
    FXVariable m_noise;     // jitter of the inner points, fraction of the length
    FXVariable m_segments;  // number of segments, truncated
    FXVariable m_textureUOffset;
    FXVariable m_textureURepeat;
    FXVariable m_width;
    FXVariable m_colour;
    FXVariable m_arc;      // sideways bow of the middle of the beam
    float m_lengthEpsilon; // random modifiers: factors from 1 - e to 1 + e
    float m_widthEpsilon;
    float m_lineDistance; // camera distance beyond which the beam is a line; -1 never

    int m_liveCount = 0;
    std::unique_ptr<BeamBatch> m_batch; // from the first Prepare to a Release with no instance
};

// A live beam. Its length and width factors are drawn once, at construction; every update
// evaluates the time-keyed parameters at its normalised age, and every render queues one
// strip of vertices with its type's batch.
class FXObjectBeam : public FXObject {
public:
    // Counts itself with the type and prepares it (which makes the batch on first use).
    FXObjectBeam(FXTypeBeam* type, const FXHandle& self, const FXHandle& parent);
    ~FXObjectBeam() override;

    // The end fade e: points beyond e of the way along fade linearly to transparent at
    // the far end; 1.0 (the initial value) fades nothing. Always true.
    bool SetParamFade(float fade) override;
    // True once Duration has run out (never while looping), or at once when a looping
    // beam is stopped.
    bool Update(float dt) override;
    // Queues the beam's strip with the type's batch; the fade is not used.
    void Render(float fade) override;

    float GetAge() const { return m_age; }
    // Length(t) and Width(t) times this beam's factors.
    float GetBeamLength() const { return m_beamLength; }
    float GetBeamWidth() const { return m_beamWidth; }

private:
    const FXTypeBeam& Type() const { return *static_cast<const FXTypeBeam*>(m_type); }

    float m_age = 0.0f;        // seconds, wrapped while looping
    float m_lengthOffset;      // the length factor minus 1: -LengthEpsilon to +LengthEpsilon
    float m_widthOffset;       // the width factor minus 1
    float m_beamLength = 0.0f; // fraction of the instance's length
    float m_noise = 0.0f;
    float m_segments = 1.0f;
    float m_uOffset = 0.0f;
    float m_uRepeat = 1.0f;
    float m_beamWidth = 0.0f;
    Colour m_colour;
    Vector3 m_arc;
    Vector3 m_offset;
    float m_endFade = 1.0f;
};
