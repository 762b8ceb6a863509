#include "FXConditional.h"

#include "FXChildTypes.h"
#include "definitions/FXStyle.h"
#include "runtime/FXManager.h"

FXTypeConditional::FXTypeConditional(const char* name) : FXType(name) {
    AddString("Fx1", "", &m_fx1, "");
    AddString("Fx2", "", &m_fx2, "");
}

int FXTypeConditional::GetStyle() const {
    return STYLE_CONDITIONAL;
}

float FXTypeConditional::GetDuration() const {
    const FXDurationGuard guard(this);
    if (!guard.Entered())
        return 0.0f;
    float duration = 0.5f;
    for (const std::string* name : {&m_fx1, &m_fx2})
        if (const FXType* child = FXFindChildType(*name)) {
            const float childDuration = child->GetDuration();
            if (childDuration > duration)
                duration = childDuration;
        }
    return duration;
}

bool FXTypeConditional::Prepare() {
    FXPrepareChildType(m_fx1);
    FXPrepareChildType(m_fx2);
    return true;
}

void FXTypeConditional::GetChildTypes(std::vector<std::string>& list) const {
    list.clear();
    for (const std::string* name : {&m_fx1, &m_fx2})
        if (!name->empty())
            list.push_back(*name);
}

size_t FXTypeConditional::InstanceSize() const {
    return sizeof(FXObjectConditional);
}

FXObject* FXTypeConditional::CreateInstance(void* memory, const FXHandle& self,
                                            const FXHandle& parent, uintptr_t) {
    return FXConstructInstance<FXObjectConditional>(memory, this, self, parent);
}

FXObjectConditional::FXObjectConditional(FXTypeConditional* type, const FXHandle& self,
                                         const FXHandle& parent)
    : FXObject(type, self, parent) {
    FXManager* manager = FXManager::Instance();
    for (const std::string* name : {&type->m_fx1, &type->m_fx2}) {
        // An empty name finds no type, so it creates nothing.
        const FXHandle child = manager->CreateAttached(name->c_str(), nullptr, self, 0.0f);
        if (!child.IsNull())
            m_children[m_childCount++] = child;
    }
}

FXObjectConditional::~FXObjectConditional() {
    if (FXManager* manager = FXManager::Instance())
        for (const FXHandle& child : Children())
            manager->Destroy(child);
}

void FXObjectConditional::SetTransform(const Matrix4& transform) {
    FXObject::SetTransform(transform);
    for (const FXHandle& child : Children())
        FXManager::Instance()->SetTransform(child, transform);
}

void FXObjectConditional::SetScale(float scale) {
    FXObject::SetScale(scale);
    for (const FXHandle& child : Children())
        FXManager::Instance()->SetScale(child, scale);
}

void FXObjectConditional::SetLength(float length) {
    FXObject::SetLength(length);
    for (const FXHandle& child : Children())
        FXManager::Instance()->SetLength(child, length);
}

void FXObjectConditional::SetVisible(bool visible) {
    FXObject::SetVisible(visible);
    for (const FXHandle& child : Children())
        FXManager::Instance()->SetVisible(child, visible);
}

void FXObjectConditional::Stop() {
    FXObject::Stop();
    for (const FXHandle& child : Children())
        FXManager::Instance()->Stop(child);
}

bool FXObjectConditional::Update(float) {
    if (m_childCount == 0)
        return true;
    FXManager* manager = FXManager::Instance();
    bool oneDied = false;
    for (size_t i = 0; i < m_childCount;) {
        if (manager->IsAlive(m_children[i])) {
            ++i;
        } else {
            m_children[i] = m_children[--m_childCount];
            oneDied = true;
        }
    }
    if (oneDied)
        for (const FXHandle& child : Children())
            manager->Stop(child);
    return m_childCount == 0;
}

void FXObjectConditional::Render(float) {}
