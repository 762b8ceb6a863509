#pragma once

// A dynamic light of the scene: the record its owner fills in through
// LightHandle::getLightPtrForModification. The light manager owns every record.

#include "math/Math.h"

class Light {
public:
    Vector3 position;                      // world space
    Colour colour{0.0f, 0.0f, 0.0f, 1.0f}; // diffuse
    Colour specular{0.0f, 0.0f, 0.0f, 1.0f};
    bool on = true;
    Vector3 direction;      // spot lights; point lights shine all round
    float intensity = 1.0f; // multiplies both colours

    // The distance (world units) at which the light has faded out; negative values
    // become 0.0, which puts the light out.
    void setAttenConst(float radius) { m_attenRadius = radius < 0.0f ? 0.0f : radius; }
    float getAttenConst() const { return m_attenRadius; }

private:
    float m_attenRadius = 0.0f;
};
