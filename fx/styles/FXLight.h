#pragma once

// The light (style 6): a dynamic point light of the scene that follows the instance with
// a time-keyed colour, radius and offset. It draws nothing through the renderer.

#include "definitions/FXType.h"

#include <cstdint>

class FXObjectLight;

class FXTypeLight : public FXType {
public:
    // Registers the light's parameters with their defaults.
    explicit FXTypeLight(const char* name);

    int GetStyle() const override;
    // Duration, looping or not.
    float GetDuration() const override;

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
