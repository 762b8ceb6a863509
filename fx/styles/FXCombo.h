#pragma once

// The combo (style 4): up to eight other FX types run as one effect. It draws nothing
// itself and lives until all its children have died.

#include "definitions/FXType.h"

#include <array>
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

private:
    friend class FXObjectCombo;

    // Fx1, Fx2, FX3 ... FX8: type names; empty for none.
    std::array<std::string, kChildCount> m_fx;
};
