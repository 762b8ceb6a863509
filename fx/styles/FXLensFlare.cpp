#include "FXLensFlare.h"

#include "definitions/FXStyle.h"
#include "scene/LensFlareManager.h"

#include <algorithm>

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

size_t FXTypeLensFlare::InstanceSize() const {
    return sizeof(FXObjectLensFlare);
}

FXObject* FXTypeLensFlare::CreateInstance(void* memory, const FXHandle& self,
                                          const FXHandle& parent, uintptr_t) {
    return FXConstructInstance<FXObjectLensFlare>(memory, this, self, parent);
}

FXObjectLensFlare::FXObjectLensFlare(FXTypeLensFlare* type, const FXHandle& self,
                                     const FXHandle& parent)
    : FXObject(type, self, parent) {
    if (LensFlareManager* flares = LensFlareManager::Instance())
        m_flare = flares->ObjectCreate(type->m_lensFlare.c_str(), m_transform.Translation(),
                                       type->m_infinite);
}

FXObjectLensFlare::~FXObjectLensFlare() {
    if (LensFlareManager* flares = LensFlareManager::Instance())
        flares->ObjectDelete(m_flare);
    m_flare = 0;
}

void FXObjectLensFlare::SetTransform(const Matrix4& transform) {
    FXObject::SetTransform(transform);
    if (!Type().m_infinite || m_directionSet)
        return;
    // A flare on the background is seen from a direction, fixed at its first placement.
    if (LensFlareManager* flares = LensFlareManager::Instance())
        flares->ObjectSetPosition(m_flare,
                                  m_transform.Translation().Normalised({0.0f, 0.0f, 1.0f}));
    m_directionSet = true;
}

void FXObjectLensFlare::SetVisible(bool visible) {
    FXObject::SetVisible(visible);
    if (LensFlareManager* flares = LensFlareManager::Instance())
        flares->ObjectSetVisible(m_flare, visible);
}

bool FXObjectLensFlare::Update(float dt) {
    const FXTypeLensFlare& type = Type();
    m_age += dt;
    if (m_age >= type.m_duration)
        return true;
    const float t = std::min(m_age / type.m_duration, 1.0f);
    m_colour = EvaluateTimeColour(type.m_colour.TimeColours(), t);
    m_flareRadius = EvaluateTimeFloat(type.m_radius.TimeFloats(), t);
    if (LensFlareManager* flares = LensFlareManager::Instance()) {
        if (!type.m_infinite)
            flares->ObjectSetPosition(m_flare, m_transform.Translation());
        flares->ObjectSetFade(m_flare, m_colour.a);
        flares->ObjectSetScale(m_flare, m_scale * m_flareRadius);
    }
    return false;
}

void FXObjectLensFlare::Render(float) {}
