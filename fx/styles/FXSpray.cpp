#include "FXSpray.h"

#include "FXChildTypes.h"
#include "definitions/FXStyle.h"
#include "runtime/FXDynamics.h"
#include "runtime/FXLookAlong.h"
#include "runtime/FXManager.h"
#include "runtime/FXRandom.h"

#include <algorithm>
#include <cmath>
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

size_t FXTypeSpray::InstanceSize() const {
    return sizeof(FXObjectSpray);
}

FXObject* FXTypeSpray::CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                                      uintptr_t argument) {
    (void)argument;
    return FXConstructInstance<FXObjectSpray>(memory, this, self, parent);
}

namespace {

// Added to the age at each wrap of a looping emitter.
constexpr float kWrapOffset = 0.00001f;
// Wraps taken one at a time before the rest is done in one go (a short duration after a
// long step).
constexpr int kMaxWrapPasses = 64;
constexpr float kTwoPi = 6.2831855f;

// The age of a looping emitter brought back below its duration: each wrap takes off the
// duration and adds kWrapOffset.
float WrapAge(float age, float duration) {
    if (duration <= kWrapOffset) {
        // A wrap cannot bring the age back below so short a duration (0 is allowed): the
        // age rests at the wrap offset, where the normalised time is already at its end
        // (1.0), and the emitter runs on without finishing.
        return age >= duration ? kWrapOffset : age;
    }
    for (int pass = 0; age >= duration; ++pass) {
        if (pass == kMaxWrapPasses) {
            // What the remaining wraps would give: the age lands in [offset, duration).
            const float period = duration - kWrapOffset;
            return std::min(kWrapOffset + std::fmod(age - kWrapOffset, period),
                            std::nextafter(duration, 0.0f));
        }
        age = age - duration + kWrapOffset;
    }
    return age;
}

// A random direction within deviation / 2 radians of direction, times speed. Draws two
// random numbers: the angle from the axis first, then the angle around it.
Vector3 ConeDirection(const Vector3& direction, float deviation, float speed) {
    const Vector3 u = direction.Normalised({0.0f, 1.0f, 0.0f});
    Vector3 x;
    Vector3 z;
    if (u.y >= -0.9f && u.y <= 0.9f) {
        x = u.Cross({0.0f, 1.0f, 0.0f}).Normalised();
        z = x.Cross(u).Normalised();
    } else {
        z = Vector3{1.0f, 0.0f, 0.0f}.Cross(u).Normalised();
        x = u.Cross(z).Normalised();
    }
    const float theta = RandomUnit() * deviation * 0.5f;
    const float phi = RandomUnit() * kTwoPi;
    const float sinTheta = std::sin(theta);
    const Vector3 v =
        u * std::cos(theta) + z * (sinTheta * std::sin(phi)) + x * (sinTheta * std::cos(phi));
    return v.Normalised({0.0f, 0.0f, 1.0f}) * speed;
}

// A random coordinate across a volume's extent centred on 0; no draw for a flat extent.
float RandomAcross(float extent) {
    return extent == 0.0f ? 0.0f : RandomUnit() * extent - extent * 0.5f;
}

} // namespace

FXObjectSpray::FXObjectSpray(FXTypeSpray* type, const FXHandle& self, const FXHandle& parent)
    : FXObject(type, self, parent) {}

float FXObjectSpray::NormalisedTime() const {
    const float duration = Type().m_emitterDuration;
    // A zero-length emitter is at its end from the first update on, even when that
    // update has a dt of 0.
    if (!(duration > 0.0f))
        return 1.0f;
    return std::min(m_age / duration, 1.0f);
}

bool FXObjectSpray::Update(float dt) {
    if (m_stopped)
        return true;
    const FXTypeSpray& type = Type();
    bool forceOne = false;
    if (m_age == 0.0f) {
        // Steps of no time (the editor's paused frames) leave the age at 0: the emission
        // point follows the emitter until it runs, but only the first update forces a
        // particle.
        m_lastEmissionPosition = m_transform.Translation();
        forceOne = type.m_forceFirst && !m_updated;
    }
    m_updated = true;
    m_age += dt;
    if (type.m_emitterLoop)
        m_age = WrapAge(m_age, type.m_emitterDuration);
    const float t = NormalisedTime();

    const float rotationRate = EvaluateTimeFloat(type.m_emitterRotRate.TimeFloats(), t);
    if (rotationRate != 0.0f) {
        // The rate is taken as radians per second. With the rotation on the right, the
        // emitter turns about the world's Y axis: one away from the origin circles it.
        SetTransform(m_transform.ToMatrix4() * Matrix4::RotationY(rotationRate * dt));
    }
    m_gravwellStrength = EvaluateTimeFloat(type.m_gravwellStrength.TimeFloats(), t);
    Emit(dt, t, forceOne);
    return !type.m_emitterLoop && m_age >= type.m_emitterDuration;
}

void FXObjectSpray::Emit(float dt, float t, bool forceOne) {
    const FXTypeSpray& type = Type();
    const Vector3 offset = EvaluateTimeVector3(type.m_emitterOffset.TimeVector3s(), t);
    const float rate = EvaluateTimeFloat(type.m_emitterRate.TimeFloats(), t);
    // Bounded only so that the conversion is defined; no frame comes near it.
    const float accumulated = std::min(rate * dt + m_emissionRemainder, 1.0e9f);
    int count = static_cast<int>(accumulated);
    m_emissionRemainder = accumulated - static_cast<float>(count);
    if (forceOne) {
        count = 1;
        m_emissionRemainder = 0.0f;
    }

    // The emission point: the offset, scaled, in the emitter's orientation.
    Matrix4 frame = m_transform.ToMatrix4();
    frame.SetTranslation(frame.Translation() + frame.TransformVector(offset * m_scale));
    if (count > 0) {
        const Vector3 volume =
            EvaluateTimeVector3(type.m_emitterVolume.TimeVector3s(), t) * m_scale;
        float speed = EvaluateTimeFloat(type.m_particleSpeed.TimeFloats(), t);
        if (type.m_emitterScaleSpeed)
            speed *= m_scale;
        const float deviation =
            EvaluateTimeFloat(type.m_emitterDeviation.TimeFloats(), t) * kDegreesToRadians;
        const float particleScale = EvaluateTimeFloat(type.m_particleScale.TimeFloats(), t);

        // The frame's particles are spread over the path from the last emission point to
        // this one, the first at the oldest point.
        const Vector3 emissionPoint = frame.Translation();
        const Vector3 step = (emissionPoint - m_lastEmissionPosition) / static_cast<float>(count);
        frame.SetTranslation(m_lastEmissionPosition);
        Vector3 direction = frame.Row(2);
        if (type.m_emitterDirection == 1)
            direction = {0.0f, 1.0f, 0.0f};
        else if (type.m_emitterDirection == 2)
            direction = {0.0f, -1.0f, 0.0f};

        FXManager* manager = FXManager::Instance();
        FXDynamics* preset = manager->DynamicsFind(type.m_particleDynamics);
        const float interval = rate > 0.0f ? 1.0f / rate : std::numeric_limits<float>::infinity();
        // Older particles of the frame are advanced further at their first update.
        float delay = dt;
        for (int i = 0; i < count; ++i) {
            // Past the manager's instance ceiling no particle can be made: stop trying,
            // so that an effect that multiplies without end cannot stall the frame.
            if (manager->AtInstanceCeiling()) {
                frame.SetTranslation(emissionPoint);
                break;
            }
            Vector3 velocity;
            Vector3 local;
            local.x = RandomAcross(volume.x);
            local.y = RandomAcross(volume.y);
            local.z = RandomAcross(volume.z);
            const Vector3 position = frame.TransformPoint(local);
            if (preset) {
                velocity = ConeDirection(direction, deviation, speed) +
                           m_velocity * type.m_emitterInheritVelocity;
                preset->SetVelocity(velocity);
                preset->SetPosition(position);
                preset->SetDamping(type.m_emitterDrag);
            }
            const FXHandle particle =
                manager->CreateAttached(type.m_particleFx.c_str(), preset, m_self, delay);
            if (!particle.IsNull()) {
                manager->SetLength(particle, m_length);
                manager->SetScale(particle, m_scale * particleScale);
                manager->SetVisible(particle, m_visible);
                manager->SetTransform(particle, LookAlong(velocity, position));
            }
            frame.SetTranslation(frame.Translation() + step);
            delay = std::max(delay - interval, 0.0f);
        }
    }
    m_lastEmissionPosition = frame.Translation();
}
