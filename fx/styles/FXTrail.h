#pragma once

// The trail (style 3): a ribbon left behind a moving instance through the points it
// passed in the last Length seconds, coloured from ColourHead to ColourTail.

#include "definitions/FXType.h"

#include <cstdint>
#include <string>

class FXObjectTrail;

class FXTypeTrail : public FXType {
public:
    // Registers the trail's parameters with their defaults; both colours default to
    // opaque white.
    explicit FXTypeTrail(const char* name);

    int GetStyle() const override;
    // Always 0.5 seconds, whatever Duration says.
    float GetDuration() const override;

private:
    friend class FXObjectTrail;

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
};
