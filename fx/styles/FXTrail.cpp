#include "FXTrail.h"

#include "definitions/FXStyle.h"

#include <limits>

FXTypeTrail::FXTypeTrail(const char* name) : FXType(name) {
    constexpr Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};
    AddFloat("Length", "Length, in seconds", &m_length, 1.0f, 0.1f, 5.0f);
    AddFloat("Width", "", &m_width, 1.0f, 0.01f, 1000.0f);
    AddInt("Blending", "0: None, 1: Alpha, 2: Additive, 3: Multiply, 4: AdditiveAlpha", &m_blending,
           1, 0, 4);
    AddString("Texture", "", &m_texture, "Data:art/fx/point.tga");
    AddColour("ColourHead", "", &m_colourHead, kWhite);
    AddColour("ColourTail", "", &m_colourTail, kWhite);
    AddBool("Billboard", "", &m_billboard, true);
    AddFloat("DeathRate", "", &m_deathRate, 1.0f, 1.0f, 15.0f);
    AddFloat("FadeOutTime", "Time, in seconds", &m_fadeOutTime, 1.0f, 0.0f, 1.0f);
    AddFloat("Duration", "Duration, in seconds", &m_duration, 100.0f, 0.1f, 100.0f);
    AddFloat("LengthEpsilon", "Length random modifier (0.0-1.0)", &m_lengthEpsilon, 0.0f, 0.0f,
             1.0f);
    AddFloat("DurationEpsilon", "Duration random modifier (0.0-1.0)", &m_durationEpsilon, 0.0f,
             0.0f, 1.0f);
    AddFloat("WidthEpsilon", "Width random modifier (0.0-1.0)", &m_widthEpsilon, 0.0f, 0.0f, 1.0f);
    AddFloat("LineDistance",
             "The distance from the camera at which the beam renders as a line (set to -1 for "
             "no lines)",
             &m_lineDistance, -1.0f, -1.0f, std::numeric_limits<float>::max());
}

int FXTypeTrail::GetStyle() const {
    return STYLE_TRAIL;
}

float FXTypeTrail::GetDuration() const {
    return 0.5f;
}
