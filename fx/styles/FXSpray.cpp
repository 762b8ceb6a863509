#include "FXSpray.h"

#include "FXChildTypes.h"
#include "definitions/FXStyle.h"

#include <limits>

FXTypeSpray::FXTypeSpray(const char* name) : FXType(name) {
    AddFloat("Emitter_Duration", "Emitter duration, in seconds", &m_emitterDuration, 5.0f, 0.0f,
             30.0f);
    AddBool("Emitter_Loop", "", &m_emitterLoop, false);
    AddBool("Emitter_ScaleSpeed", "Scale the speed of particles by the fx_scale parameter",
            &m_emitterScaleSpeed, false);
    AddInt("Emitter_Direction", "0: Normal, 1: World Up, 2: World Down", &m_emitterDirection, 0, 0,
           2);
    AddFloat("Emitter_InheritVelocity",
             "Percentage of parents velocity that is inherited by particles.  0.0 to 1.0",
             &m_emitterInheritVelocity, 0.0f, 0.0f, 1.0f);
    AddFloat("Emitter_Drag", "Speed at which the velocity of a particle decays.  0.0 to 1.0",
             &m_emitterDrag, 1.0f, 0.0f, 1.0f);
    AddTimeFloat("Emitter_Rate", "Number of particles emitted in a second", &m_emitterRate,
                 {{0.0f, 50.0f}, {1.0f, 0.0f}}, 0.0f, 10000.0f);
    AddTimeFloat("Emitter_Rate_LOD%", "Percentage of the rate that we can reduce emission to.",
                 &m_emitterRateLod, {{0.0f, 0.0f}, {1.0f, 0.0f}}, 0.0f, 100.0f);
    AddTimeFloat("Emitter_Deviation", "Cone of emission, in degrees", &m_emitterDeviation,
                 {{0.0f, 0.0f}, {1.0f, 180.0f}}, 0.0f, 360.0f);
    AddTimeVector3("Emitter_Volume", "", &m_emitterVolume, {{0.0f, {}}, {1.0f, {}}}, true);
    AddTimeVector3("Emitter_Offset", "", &m_emitterOffset, {{0.0f, {}}, {1.0f, {}}});
    AddTimeFloat("Particle_Speed", "", &m_particleSpeed, {{0.0f, 10.0f}, {1.0f, 10.0f}}, 0.0f,
                 1000000.0f);
    AddTimeFloat("Emitter_RotRate", "Emitter rotation rate, in degrees / second", &m_emitterRotRate,
                 {{0.0f, 0.0f}, {1.0f, 0.0f}}, -720.0f, 720.0f);
    AddString("Particle_Fx", "Name of fx to be used as a particle", &m_particleFx, "dot");
    AddInt("Particle_Dynamics",
           "0:Forw, 1:Grav(Die), 2:Grav(Bounce) 3:Grav(Stick), 4:Wind, 5:Water, 6:Local, "
           "7:Land, 8:Grav(Ignore), 9:Surface, 10:Gravwell",
           &m_particleDynamics, 0, 0, 10);
    AddTimeFloat("Gravwell_Strength", "The strength at which a Gravwell dynamic is applied",
                 &m_gravwellStrength, {{0.0f, 9.81f}, {1.0f, 9.81f}}, -10000.0f, 10000.0f);
    AddTimeFloat("Particle_Scale",
                 "Multiplies the scale of spawned fx depending on the age of the emitter",
                 &m_particleScale, {{0.0f, 1.0f}, {1.0f, 1.0f}}, 0.0f, 10000.0f);
    AddBool("Force_First", "Force a spawn of one particle the first frame", &m_forceFirst, false);
}

int FXTypeSpray::GetStyle() const {
    return STYLE_SPRAY;
}

float FXTypeSpray::GetDuration() const {
    return m_emitterLoop ? std::numeric_limits<float>::max() : m_emitterDuration;
}

bool FXTypeSpray::Prepare() {
    FXPrepareChildType(m_particleFx);
    return true;
}

void FXTypeSpray::GetChildTypes(std::vector<std::string>& list) const {
    list.clear();
    list.push_back(m_particleFx);
}
