#include "FXBeam.h"

#include "definitions/FXStyle.h"

#include <limits>

FXTypeBeam::FXTypeBeam(const char* name) : FXType(name) {
    AddFloat("Duration", "", &m_duration, 5.0f, 0.001f, 30.0f);
    AddBool("Loop", "", &m_loop, false);
    AddInt("Blending", "0: None, 1: Alpha, 2: Additive, 3: Multiply, 4: AdditiveAlpha", &m_blending,
           1, 0, 4);
    AddString("Texture", "", &m_texture, "Data:art/fx/point.tga");
    AddBool("SelfIlluminated", "", &m_selfIlluminated, false);
    AddTimeVector3("Offset", "", &m_offset, {{0.0f, {}}, {1.0f, {}}});
    AddTimeFloat("Length", "Scaled length of beam (0.0-1.0)", &m_length,
                 {{0.0f, 0.0f}, {1.0f, 1.0f}}, 0.0f, 10000.0f);
    AddTimeFloat("Noise", "", &m_noise, {{0.0f, 0.0f}, {1.0f, 0.5f}}, 0.0f, 1.0f);
    AddTimeFloat("Segments", "Number of segments in beam (to be used with noise)", &m_segments,
                 {{0.0f, 1.0f}, {1.0f, 1.0f}}, 1.0f, 10.0f);
    AddTimeFloat("Texture_U_Offset", "", &m_textureUOffset, {{0.0f, 0.0f}, {1.0f, 5.0f}}, -10.0f,
                 10.0f);
    AddTimeFloat("Texture_U_Repeat", "", &m_textureURepeat, {{0.0f, 1.0f}, {1.0f, 5.0f}}, 0.0f,
                 100.0f);
    AddTimeFloat("Width", "", &m_width, {{0.0f, 1.0f}, {1.0f, 1.0f}}, 0.0f, 10000.0f);
    AddTimeColour("Colour", "", &m_colour,
                  {{0.0f, {1.0f, 0.0f, 0.0f, 1.0f}}, {1.0f, {0.0f, 1.0f, 0.0f, 1.0f}}});
    AddTimeVector3("Arc", "", &m_arc, {{0.0f, {}}, {1.0f, {}}});
    AddFloat("LengthEpsilon", "Length random modifier (0.0-1.0)", &m_lengthEpsilon, 0.0f, 0.0f,
             1.0f);
    AddFloat("WidthEpsilon", "Width random modifier (0.0-1.0)", &m_widthEpsilon, 0.0f, 0.0f, 1.0f);
    AddFloat("LineDistance",
             "The distance from the camera at which the beam renders as a line (set to -1 for "
             "no lines)",
             &m_lineDistance, -1.0f, -1.0f, std::numeric_limits<float>::max());
}

int FXTypeBeam::GetStyle() const {
    return STYLE_BEAM;
}

float FXTypeBeam::GetDuration() const {
    return m_duration;
}
