#pragma once

// The conditional (style 5): two FX types run side by side and ended together: when one
// child dies the other is stopped. It draws nothing itself.

#include "definitions/FXType.h"
#include "runtime/FXObject.h"

#include <array>
#include <span>
#include <string>
#include <vector>

class FXObjectConditional;

class FXTypeConditional : public FXType {
public:
    // Registers Fx1 and Fx2, both empty.
    explicit FXTypeConditional(const char* name);

    int GetStyle() const override;
    bool IsRenderable() const override { return false; }
    // The larger duration of the child types that can be found, at least 0.5 seconds.
    // A child that leads back to this type while it is being measured counts 0.
    float GetDuration() const override;
    // Prepares each named child type.
    bool Prepare() override;
    // Fx1 and Fx2, each only when not empty.
    void GetChildTypes(std::vector<std::string>& list) const override;
    // An FXObjectConditional.
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t argument) override;
    size_t InstanceSize() const override;

private:
    friend class FXObjectConditional;

    std::string m_fx1; // type names; empty for none
    std::string m_fx2;
};

// A live conditional: runs an instance of Fx1 and one of Fx2; when one of them dies the
// other is stopped, and the conditional finishes when neither is left. Placement, scale,
// length, visibility and Stop are passed on; velocity is not.
class FXObjectConditional : public FXObject {
public:
    // Creates the Fx1 and then the Fx2 instance, attached to self; a name whose instance
    // cannot be created is left out.
    FXObjectConditional(FXTypeConditional* type, const FXHandle& self, const FXHandle& parent);
    // Destroys the children still alive.
    ~FXObjectConditional() override;

    void SetTransform(const Matrix4& transform) override;
    void SetScale(float scale) override;
    void SetLength(float length) override;
    void SetVisible(bool visible) override;
    void Stop() override;
    bool Update(float dt) override;
    void Render(float fade) override;

private:
    // The children not yet seen dead, packed at the front.
    std::array<FXHandle, 2> m_children{};
    size_t m_childCount = 0;

    std::span<const FXHandle> Children() const { return {m_children.data(), m_childCount}; }
};
