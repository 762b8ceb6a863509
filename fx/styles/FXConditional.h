#pragma once

// The conditional (style 5): two FX types run side by side and ended together: when one
// child dies the other is stopped. It draws nothing itself.

#include "definitions/FXType.h"

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

private:
    friend class FXObjectConditional;

    std::string m_fx1; // type names; empty for none
    std::string m_fx2;
};
