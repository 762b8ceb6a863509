#pragma once

// The beam (style 2): a textured ribbon from the instance's position along its local Z
// axis, as long as the instance's length times the time-keyed Length, optionally cut
// into jittering, bowed segments, and drawn as a line far from the camera.

#include "definitions/FXType.h"

#include <cstdint>
#include <string>

class FXObjectBeam;

class FXTypeBeam : public FXType {
public:
    // Registers the beam's parameters with their defaults.
    explicit FXTypeBeam(const char* name);

    int GetStyle() const override;
    // Duration, looping or not.
    float GetDuration() const override;

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
};
