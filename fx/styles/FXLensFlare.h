#pragma once

// The lens flare (style 8): one flare of the scene's flare manager placed at the
// instance for its life, with a time-keyed fade (the alpha of Colour) and scale.

#include "definitions/FXType.h"

#include <string>

class FXObjectLensFlare;

class FXTypeLensFlare : public FXType {
public:
    // Registers the flare's parameters with their defaults.
    explicit FXTypeLensFlare(const char* name);

    int GetStyle() const override;
    float GetDuration() const override;

private:
    friend class FXObjectLensFlare;

    // Time-keyed arrays are keyed at normalised life time 0.0 to 1.0.
    FXVariable m_radius;     // flare scale, times the instance scale
    FXVariable m_colour;     // only the alpha reaches the flare, as its fade
    std::string m_lensFlare; // lens-flare definition file
    float m_duration;        // seconds; the style never loops
    bool m_infinite;         // on the background: keeps the direction of its first placement
};
