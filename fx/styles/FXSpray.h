#pragma once

// The spray (style 0): the particle emitter. It draws nothing itself; every particle it
// emits is a whole instance of the type named by Particle_Fx, moved by a dynamics preset.

#include "definitions/FXType.h"

#include <cstdint>
#include <string>
#include <vector>

class FXObjectSpray;

class FXTypeSpray : public FXType {
public:
    // Registers the spray's parameters with their defaults.
    explicit FXTypeSpray(const char* name);

    int GetStyle() const override;
    bool IsRenderable() const override { return false; }
    // The largest float while Emitter_Loop is set (the emitter never ends), otherwise
    // Emitter_Duration.
    float GetDuration() const override;
    // Prepares the particle type.
    bool Prepare() override;
    // Particle_Fx, even when empty.
    void GetChildTypes(std::vector<std::string>& list) const override;

private:
    friend class FXObjectSpray;

    // Time-keyed arrays are keyed at normalised emitter time: 0.0 at the start of the
    // emitter, 1.0 at the end of Emitter_Duration.
    float m_emitterDuration;        // seconds
    bool m_emitterLoop;             // the age wraps at Emitter_Duration
    bool m_emitterScaleSpeed;       // particle speed times the instance scale
    int32_t m_emitterDirection;     // 0 local Z, 1 world up, 2 world down
    float m_emitterInheritVelocity; // fraction of the emitter's velocity, 0 to 1
    float m_emitterDrag;            // damping handed to the dynamics
    FXVariable m_emitterRate;       // particles per second
    FXVariable m_emitterRateLod;    // carried and saved; the simulation does not read it
    FXVariable m_emitterDeviation;  // full opening angle of the cone, degrees
    FXVariable m_emitterVolume;     // box around the emission point, local units
    FXVariable m_emitterOffset;     // emission point relative to the emitter
    FXVariable m_particleSpeed;     // units per second
    FXVariable m_emitterRotRate;    // about world Y, applied per second
    std::string m_particleFx;       // type name of the particles
    int32_t m_particleDynamics;     // dynamics preset slot
    FXVariable m_gravwellStrength;  // read by the gravity-well dynamics
    FXVariable m_particleScale;     // multiplies the scale of spawned particles
    bool m_forceFirst;              // one particle on the first update whatever the rate
};
