#include "FXCombo.h"

#include "FXChildTypes.h"
#include "definitions/FXStyle.h"
#include "runtime/FXManager.h"

FXTypeCombo::FXTypeCombo(const char* name) : FXType(name) {
    // The first two names are in mixed case, the others in capitals, as the files have
    // them.
    static constexpr std::array<const char*, kChildCount> kNames = {"Fx1", "Fx2", "FX3", "FX4",
                                                                    "FX5", "FX6", "FX7", "FX8"};
    for (size_t i = 0; i < kNames.size(); ++i)
        AddString(kNames[i], "", &m_fx[i], "");
}

int FXTypeCombo::GetStyle() const {
    return STYLE_COMBO;
}

float FXTypeCombo::GetDuration() const {
    const FXDurationGuard guard(this);
    if (!guard.Entered())
        return 0.0f;
    float duration = 0.5f;
    for (const std::string& name : m_fx)
        if (const FXType* child = FXFindChildType(name)) {
            const float childDuration = child->GetDuration();
            if (childDuration > duration)
                duration = childDuration;
        }
    return duration;
}

bool FXTypeCombo::Prepare() {
    for (const std::string& name : m_fx)
        FXPrepareChildType(name);
    return true;
}

void FXTypeCombo::GetChildTypes(std::vector<std::string>& list) const {
    list.clear();
    for (const std::string& name : m_fx)
        if (!name.empty())
            list.push_back(name);
}

size_t FXTypeCombo::InstanceSize() const {
    return sizeof(FXObjectCombo);
}

FXObject* FXTypeCombo::CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                                      uintptr_t) {
    return FXConstructInstance<FXObjectCombo>(memory, this, self, parent);
}

FXObjectCombo::FXObjectCombo(FXTypeCombo* type, const FXHandle& self, const FXHandle& parent)
    : FXObject(type, self, parent) {
    FXManager* manager = FXManager::Instance();
    for (const std::string& name : type->m_fx) {
        if (name.empty())
            continue;
        const FXHandle child = manager->CreateAttached(name.c_str(), nullptr, self, 0.0f);
        if (!child.IsNull())
            m_children[m_childCount++] = child;
    }
}

void FXObjectCombo::SetTransform(const Matrix4& transform) {
    FXObject::SetTransform(transform);
    for (const FXHandle& child : Children())
        FXManager::Instance()->SetTransform(child, transform);
}

void FXObjectCombo::SetVelocity(const Vector3& velocity) {
    FXObject::SetVelocity(velocity);
    for (const FXHandle& child : Children())
        FXManager::Instance()->SetVelocity(child, velocity);
}

void FXObjectCombo::SetScale(float scale) {
    FXObject::SetScale(scale);
    for (const FXHandle& child : Children())
        FXManager::Instance()->SetScale(child, scale);
}

void FXObjectCombo::SetLength(float length) {
    FXObject::SetLength(length);
    for (const FXHandle& child : Children())
        FXManager::Instance()->SetLength(child, length);
}

bool FXObjectCombo::SetParamFade(float fade) {
    for (const FXHandle& child : Children())
        FXManager::Instance()->SetParamFade(child, fade);
    return true;
}

bool FXObjectCombo::Update(float) {
    if (m_stopped)
        return true;
    const FXManager* manager = FXManager::Instance();
    for (const FXHandle& child : Children())
        if (manager->IsAlive(child))
            return false;
    return true;
}

void FXObjectCombo::Render(float) {}
