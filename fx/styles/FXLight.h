#pragma once

// The light (style 6): a dynamic point light of the scene that follows the instance with
// a time-keyed colour, radius and offset. It draws nothing through the renderer.

#include "definitions/FXType.h"
#include "runtime/FXObject.h"
#include "scene/LightHandle.h"

#include <cstdint>

class FXObjectLight;

class FXTypeLight : public FXType {
public:
    // Registers the light's parameters with their defaults.
    explicit FXTypeLight(const char* name);

    int GetStyle() const override;
    // Duration, looping or not.
    float GetDuration() const override;
    // An FXObjectLight. The manager refuses light instances while its light level is
    // negative, so this is reached only where lights are wanted.
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t argument) override;
    size_t InstanceSize() const override;

private:
    friend class FXObjectLight;

    // Time-keyed arrays are keyed at normalised life time 0.0 to 1.0.
    FXVariable m_radius; // attenuation radius, times the instance scale
    FXVariable m_colour;
    FXVariable m_offset; // light position relative to the instance
    bool m_loop;
    float m_duration;   // seconds
    int32_t m_priority; // 0 high, 1 low; compared with the manager's light level
};

// A live light: a scene point light that follows the instance (plus Offset) with the
// type's colour and radius over its life. A type of lower priority than the manager's
// light level runs its life without a scene light.
class FXObjectLight : public FXObject {
public:
    FXObjectLight(FXTypeLight* type, const FXHandle& self, const FXHandle& parent);
    // Removes the scene light.
    ~FXObjectLight() override;

    // Ages the light and writes position, colour and attenuation radius into the scene
    // light. A looping light wraps its age; it finishes at its first update once stopped.
    bool Update(float dt) override;
    // The scene draws the light; nothing to draw here.
    void Render(float fade) override;

    float GetAge() const { return m_age; }
    bool HasSceneLight() const;

private:
    const FXTypeLight& Type() const { return *static_cast<const FXTypeLight*>(m_type); }

    float m_age = 0.0f; // seconds
    Colour m_colour;
    float m_lightRadius = 1.0f; // Radius(t) times the instance scale
    Vector3 m_offset;
    LightHandle m_light; // LightManager::InvalidHandle when it has none
};
