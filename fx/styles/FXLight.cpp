#include "FXLight.h"

#include "definitions/FXStyle.h"

FXTypeLight::FXTypeLight(const char* name) : FXType(name) {
    AddTimeFloat("Radius", "", &m_radius, {{0.0f, 1.0f}, {1.0f, 1.0f}}, 0.0f, 10000.0f);
    AddTimeColour("Colour", "", &m_colour,
                  {{0.0f, {1.0f, 1.0f, 1.0f, 1.0f}}, {1.0f, {1.0f, 1.0f, 1.0f, 1.0f}}});
    AddTimeVector3("Offset", "", &m_offset, {{0.0f, {}}, {1.0f, {}}});
    AddBool("Loop", "", &m_loop, false);
    AddFloat("Duration", "", &m_duration, 5.0f, 0.1f, 500.0f);
    AddInt("Priority", "0 is high priority, 1 is low priority", &m_priority, 0, 0, 1);
}

int FXTypeLight::GetStyle() const {
    return STYLE_LIGHT;
}

float FXTypeLight::GetDuration() const {
    return m_duration;
}
