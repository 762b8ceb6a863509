#include "FXLight.h"

#include "FXLife.h"
#include "definitions/FXStyle.h"
#include "runtime/FXManager.h"
#include "scene/Light.h"
#include "scene/LightManager.h"

#include <algorithm>

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

size_t FXTypeLight::InstanceSize() const {
    return sizeof(FXObjectLight);
}

FXObject* FXTypeLight::CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                                      uintptr_t) {
    return FXConstructInstance<FXObjectLight>(memory, this, self, parent);
}

FXObjectLight::FXObjectLight(FXTypeLight* type, const FXHandle& self, const FXHandle& parent)
    : FXObject(type, self, parent), m_light(LightManager::InvalidHandle) {
    LightManager* lights = LightManager::i();
    if (!lights || type->m_priority > FXManager::Instance()->GetLightLevel())
        return;
    m_light = lights->createPointLight("FXLight");
    if (Light* light = m_light.getLightPtrForModification()) {
        light->colour = {0.0f, 0.0f, 0.0f, 1.0f};
        light->specular = {0.0f, 0.0f, 0.0f, 1.0f};
        light->on = true;
        light->direction = {0.0f, 0.0f, 0.0f};
        light->intensity = 1.0f;
    }
}

FXObjectLight::~FXObjectLight() {
    if (LightManager* lights = LightManager::i())
        lights->removeLight(m_light);
}

bool FXObjectLight::HasSceneLight() const {
    return m_light.getLightPtrForModification() != nullptr;
}

bool FXObjectLight::Update(float dt) {
    const FXTypeLight& type = Type();
    if (FXAdvanceLife(m_age, dt, type.m_duration, type.m_loop, m_stopped) != FXLife::Running)
        return true;

    const float t = std::min(m_age / type.m_duration, 1.0f);
    m_colour = EvaluateTimeColour(type.m_colour.TimeColours(), t);
    m_offset = EvaluateTimeVector3(type.m_offset.TimeVector3s(), t);
    m_lightRadius = EvaluateTimeFloat(type.m_radius.TimeFloats(), t) * m_scale;
    if (Light* light = m_light.getLightPtrForModification()) {
        light->position = m_transform.TransformPoint(m_offset);
        light->colour = m_colour;
        light->setAttenConst(m_lightRadius);
    }
    // The light's radius already carries the scale; the bounds take it once more.
    SetRadius(m_scale * m_lightRadius);
    SetSecondSize(m_scale * m_lightRadius);
    return false;
}

void FXObjectLight::Render(float) {}
