#pragma once

// The combo (style 4): up to eight other FX types run as one effect. It draws nothing
// itself and lives until all its children have died.

#include "definitions/FXType.h"
#include "runtime/FXObject.h"

#include <array>
#include <span>
#include <string>
#include <vector>

class FXObjectCombo;

class FXTypeCombo : public FXType {
public:
    static constexpr int kChildCount = 8;

    // Registers the eight child-name parameters, all empty.
    explicit FXTypeCombo(const char* name);

    int GetStyle() const override;
    bool IsRenderable() const override { return false; }
    // The largest duration of the child types that can be found, at least 0.5 seconds.
    // A child that leads back to this type while it is being measured counts 0.
    float GetDuration() const override;
    // Prepares every named child type.
    bool Prepare() override;
    // The non-empty child names in parameter order.
    void GetChildTypes(std::vector<std::string>& list) const override;
    // An FXObjectCombo.
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t argument) override;
    size_t InstanceSize() const override;

private:
    friend class FXObjectCombo;

    // Fx1, Fx2, FX3 ... FX8: type names; empty for none.
    std::array<std::string, kChildCount> m_fx;
};

// A live combo: creates one child instance of each named type and passes its placement,
// velocity, scale, length and fade on to them. Visibility and Stop reach the children
// through the manager, which applies them to the whole family itself.
class FXObjectCombo : public FXObject {
public:
    // Creates the children, attached to self, in parameter order; names whose instances
    // cannot be created are left out.
    FXObjectCombo(FXTypeCombo* type, const FXHandle& self, const FXHandle& parent);
    // Leaves the children alone: the manager destroys them with their parent.
    ~FXObjectCombo() override = default;

    void SetTransform(const Matrix4& transform) override;
    void SetVelocity(const Vector3& velocity) override;
    void SetScale(float scale) override;
    void SetLength(float length) override;
    // Passes the fade to every child; always true.
    bool SetParamFade(float fade) override;
    // Finished once stopped, or once no child is alive.
    bool Update(float dt) override;
    void Render(float fade) override;

private:
    // The children created, packed in creation order; handles of children that died stay.
    std::array<FXHandle, FXTypeCombo::kChildCount> m_children{};
    size_t m_childCount = 0;

    std::span<const FXHandle> Children() const { return {m_children.data(), m_childCount}; }
};
