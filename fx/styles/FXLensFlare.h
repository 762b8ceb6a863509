#pragma once

// The lens flare (style 8): one flare of the scene's flare manager placed at the
// instance for its life, with a time-keyed fade (the alpha of Colour) and scale.

#include "definitions/FXType.h"
#include "runtime/FXObject.h"

#include <cstdint>
#include <string>

class FXObjectLensFlare;

class FXTypeLensFlare : public FXType {
public:
    // Registers the flare's parameters with their defaults.
    explicit FXTypeLensFlare(const char* name);

    int GetStyle() const override;
    float GetDuration() const override;
    // An FXObjectLensFlare.
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t argument) override;
    size_t InstanceSize() const override;

private:
    friend class FXObjectLensFlare;

    // Time-keyed arrays are keyed at normalised life time 0.0 to 1.0.
    FXVariable m_radius;     // flare scale, times the instance scale
    FXVariable m_colour;     // only the alpha reaches the flare, as its fade
    std::string m_lensFlare; // lens-flare definition file
    float m_duration;        // seconds; the style never loops
    bool m_infinite;         // on the background: keeps the direction of its first placement
};

// A live lens flare: one object of the scene's flare manager, placed at the instance (an
// infinite flare: in the direction of its first placement) with the alpha of Colour as
// its fade and Radius times the instance scale as its scale. It ends after Duration;
// Stop does not cut it short.
class FXObjectLensFlare : public FXObject {
public:
    FXObjectLensFlare(FXTypeLensFlare* type, const FXHandle& self, const FXHandle& parent);
    // Deletes the flare object.
    ~FXObjectLensFlare() override;

    void SetTransform(const Matrix4& transform) override;
    void SetVisible(bool visible) override;
    bool Update(float dt) override;
    // The flare manager draws every flare itself; nothing to draw here.
    void Render(float fade) override;

    // The flare manager's object number; 0 when none could be made.
    uint32_t GetFlareNumber() const { return m_flare; }

private:
    const FXTypeLensFlare& Type() const { return *static_cast<const FXTypeLensFlare*>(m_type); }

    float m_age = 0.0f; // seconds
    float m_flareRadius = 0.0f;
    Colour m_colour;
    uint32_t m_flare = 0;
    bool m_directionSet = false;
};
