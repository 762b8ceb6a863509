#include "FXHyperspace.h"

#include "definitions/FXStyle.h"

FXTypeHyperspace::FXTypeHyperspace(const char* name) : FXType(name) {
    AddTimeFloat("Width", "", &m_width, {{0.0f, 1.0f}, {1.0f, 1.0f}}, 0.0f, 10000.0f);
    AddTimeFloat("Height", "", &m_height, {{0.0f, 1.0f}, {1.0f, 1.0f}}, 0.0f, 10000.0f);
    AddTimeVector3("Offset", "", &m_offset, {{0.0f, {}}, {1.0f, {}}});
    AddTimeFloat("LineWidth", "The width of the vector lines", &m_lineWidth,
                 {{0.0f, 1.0f}, {1.0f, 1.0f}}, 0.0f, 10.0f);
    AddTimeFloat("EdgeTexture_U_Offset", "", &m_edgeTextureUOffset, {{0.0f, 0.0f}, {1.0f, 0.0f}},
                 -10.0f, 10.0f);
    AddTimeFloat("EdgeTexture_U_Repeat", "", &m_edgeTextureURepeat, {{0.0f, 1.0f}, {1.0f, 1.0f}},
                 0.0f, 100.0f);
    AddTimeFloat("EdgeTexture2_U_Offset", "", &m_edgeTexture2UOffset, {{0.0f, 0.0f}, {1.0f, 0.0f}},
                 -10.0f, 10.0f);
    AddTimeFloat("EdgeTexture2_U_Repeat", "", &m_edgeTexture2URepeat, {{0.0f, 1.0f}, {1.0f, 1.0f}},
                 0.0f, 100.0f);
    AddTimeColour("Colour", "", &m_colour,
                  {{0.0f, {1.0f, 0.0f, 0.0f, 1.0f}}, {1.0f, {0.0f, 1.0f, 0.0f, 1.0f}}});
    AddTimeColour("EdgeColour", "The colour of the vector edge", &m_edgeColour,
                  {{0.0f, {1.0f, 1.0f, 1.0f, 1.0f}}, {1.0f, {1.0f, 1.0f, 1.0f, 1.0f}}});
    AddFloat("Duration", "", &m_duration, 5.0f, 0.1f, 30.0f);
    AddInt("Blending", "0: None, 1: Alpha, 2: Additive, 3: Multiply, 4: AdditiveAlpha", &m_blending,
           1, 0, 4);
    AddString("Texture", "Name of texture", &m_texture, "Data:art/fx/point.tga");
    AddString("EdgeTexture", "Name of edge texture", &m_edgeTexture, "Data:art/fx/point.tga");
    AddString("EdgeTexture2", "Name of edge texture", &m_edgeTexture2, "Data:art/fx/point.tga");
}

int FXTypeHyperspace::GetStyle() const {
    return STYLE_HYPERSPACE;
}

float FXTypeHyperspace::GetDuration() const {
    return m_duration;
}
