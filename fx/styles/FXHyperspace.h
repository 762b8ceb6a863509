#pragma once

// The hyperspace window (style 7): a textured, coloured rectangle of time-keyed width
// and height in the instance's local X-Y plane, framed by two textured edge lines.

#include "definitions/FXType.h"

#include <cstdint>
#include <string>

class FXObjectHyperspace;

class FXTypeHyperspace : public FXType {
public:
    // Registers the window's parameters with their defaults.
    explicit FXTypeHyperspace(const char* name);

    int GetStyle() const override;
    float GetDuration() const override;

private:
    friend class FXObjectHyperspace;

    // Time-keyed arrays are keyed at normalised life time 0.0 to 1.0.
    FXVariable m_width;     // half width, times the instance scale
    FXVariable m_height;    // half height, times the instance's height factor
    FXVariable m_offset;    // window centre relative to the instance, times its length
    FXVariable m_lineWidth; // edge line width
    FXVariable m_edgeTextureUOffset;
    FXVariable m_edgeTextureURepeat;
    FXVariable m_edgeTexture2UOffset;
    FXVariable m_edgeTexture2URepeat;
    FXVariable m_colour;
    FXVariable m_edgeColour;
    float m_duration;          // seconds
    int32_t m_blending;        // 0 none, 1 alpha, 2 additive, 3 multiply, 4 additive alpha
    std::string m_texture;     // a texture, or an animation (".anim")
    std::string m_edgeTexture; // plain textures only
    std::string m_edgeTexture2;
};
