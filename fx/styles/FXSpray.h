#pragma once

// The spray (style 0): the particle emitter. It draws nothing itself; every particle it
// emits is a whole instance of the type named by Particle_Fx, moved by a dynamics preset.

#include "definitions/FXType.h"
#include "runtime/FXObject.h"

#include <cstdint>
#include <string>
#include <vector>

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
    // An FXObjectSpray of this type.
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t argument) override;
    size_t InstanceSize() const override;

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

// A running emitter. Every frame it emits Emitter_Rate x dt particles (the fraction
// carried over), laid out along the path its emission point took since the last frame,
// each a child instance of Particle_Fx moved by the dynamics preset in slot
// Particle_Dynamics. The spray keeps no list of its particles: they are its children in
// the manager.
class FXObjectSpray : public FXObject {
public:
    FXObjectSpray(FXTypeSpray* type, const FXHandle& self, const FXHandle& parent);

    // Gravwell_Strength at the current emitter time, read by the gravity-well dynamics of
    // the particles.
    float GetGravwellStrength() const override { return m_gravwellStrength; }
    // True once the emitter has run Emitter_Duration seconds (never while looping), or
    // at once when stopped. With Force_First the first update emits one particle; a later
    // update of no time (the age still 0) emits no other.
    bool Update(float dt) override;
    // Draws nothing: the particles are instances of their own.
    void Render(float fade) override { (void)fade; }

    float GetAge() const { return m_age; }

private:
    const FXTypeSpray& Type() const { return *static_cast<const FXTypeSpray*>(m_type); }
    // Emitter time 0..1 of the current age.
    float NormalisedTime() const;
    // Creates this frame's particles; t is the emitter time 0..1.
    void Emit(float dt, float t, bool forceOne);

    float m_age = 0.0f;               // seconds since the start, wrapped while looping
    float m_emissionRemainder = 0.0f; // the fraction of a particle carried to the next frame
    float m_gravwellStrength = 0.0f;
    Vector3 m_lastEmissionPosition; // world emission point at the end of the last frame
    bool m_updated = false;         // the first update has run (its forced particle is made)
};
