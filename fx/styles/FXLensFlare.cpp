#include "FXLensFlare.h"

#include "definitions/FXStyle.h"

FXTypeLensFlare::FXTypeLensFlare(const char* name) : FXType(name) {
    AddTimeFloat("Radius", "", &m_radius, {{0.0f, 1.0f}, {1.0f, 1.0f}}, 0.0f, 10000.0f);
    AddTimeColour("Colour", "", &m_colour,
                  {{0.0f, {1.0f, 0.0f, 0.0f, 1.0f}}, {1.0f, {0.0f, 1.0f, 0.0f, 1.0f}}});
    AddString("LensFlare", "Name of LensFlare file", &m_lensFlare, "");
    AddFloat("Duration", "", &m_duration, 5.0f, 0.1f, 500.0f);
    AddBool("Infinite", "Does the lensflare appear on the background", &m_infinite, false);
}

int FXTypeLensFlare::GetStyle() const {
    return STYLE_LENSFLARE;
}

float FXTypeLensFlare::GetDuration() const {
    return m_duration;
}
