#pragma once

// The hyperspace window (style 7): a textured, coloured rectangle of time-keyed width
// and height in the instance's local X-Y plane, framed by two textured edge lines.

#include "definitions/FXType.h"
#include "runtime/FXObject.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class FXObjectHyperspace;
class HyperspaceBatch;

class FXTypeHyperspace : public FXType {
public:
    // Registers the window's parameters with their defaults.
    explicit FXTypeHyperspace(const char* name);
    ~FXTypeHyperspace() override;

    int GetStyle() const override;
    float GetDuration() const override;
    // An FXObjectHyperspace.
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t argument) override;
    size_t InstanceSize() const override;
    // Makes the batch, loading the window's texture or animation and the two edge
    // textures, unless there is one. Always true: what cannot be loaded draws untextured.
    bool Prepare() override;
    // Ends the batch, giving its textures back, while no instance lives.
    void Release() override;
    // Empties the queue.
    void BeginBatch() override;
    // Draws the windows queued since BeginBatch, then their edges, and empties the queue.
    void EndBatch() override;

    bool HasBatch() const { return m_batch != nullptr; }
    // Instances alive.
    int GetLiveCount() const { return m_liveCount; }

private:
    friend class FXObjectHyperspace;
    void DrawWindows();
    // One pass of edge lines: edge 0 is EdgeTexture, edge 1 EdgeTexture2.
    void DrawEdges(int edge);

    // Time-keyed arrays are keyed at normalised life time 0.0 to 1.0.
    FXVariable m_width;     // half width, times the instance scale
    FXVariable m_height;    // half height, times the instance's height factor
    FXVariable m_offset;    // window centre relative to the instance, times its length
    FXVariable m_lineWidth; // edge line width
    FXVariable m_edgeTextureUOffset;
    FXVariable m_edgeTextureURepeat;
    FXVariable m_edgeTexture2UOffset;
    FXVariable m_edgeTexture2URepeat;
    FXVariable m_colour;
    FXVariable m_edgeColour;
    float m_duration;          // seconds
    int32_t m_blending;        // 0 none, 1 alpha, 2 additive, 3 multiply, 4 additive alpha
    std::string m_texture;     // a texture, or an animation (".anim")
    std::string m_edgeTexture; // plain textures only
    std::string m_edgeTexture2;

    int m_liveCount = 0;
    std::unique_ptr<HyperspaceBatch> m_batch; // from the first Prepare to a Release with none
};

// A live window: evaluates the time-keyed parameters over its life and queues one
// window, with its edge, per render. Unlike the other styles it vanishes at the first
// update after Stop.
class FXObjectHyperspace : public FXObject {
public:
    // Counts itself with the type and prepares it (which makes the batch on first use).
    FXObjectHyperspace(FXTypeHyperspace* type, const FXHandle& self, const FXHandle& parent);
    ~FXObjectHyperspace() override;

    // The window centre's offset (before the length scales it); always true. The next
    // update replaces it with Offset at that time.
    bool GetParamVector(Vector3& out) const override;
    bool SetParamVector(const Vector3& value) override;
    // The height factor: the window's half height is Height times it (initially 1.0).
    float GetParamFloat() const override { return m_heightFactor; }
    bool SetParamFloat(float value) override;
    bool Update(float dt) override;
    // Queues the window; with alpha blending the fade scales both colours' alpha, with
    // additive blending their red, green and blue.
    void Render(float fade) override;

    float GetAge() const { return m_age; }

private:
    const FXTypeHyperspace& Type() const { return *static_cast<const FXTypeHyperspace*>(m_type); }

    float m_age = 0.0f;
    Colour m_colour;
    Colour m_edgeColour;
    float m_width = 1.0f;  // half width, before the scale
    float m_height = 1.0f; // half height, before the height factor
    float m_heightFactor = 1.0f;
    Vector3 m_offset;
    float m_lineWidth = 0.0f;
    std::array<float, 2> m_edgeUOffset{}; // EdgeTexture's, then EdgeTexture2's
    std::array<float, 2> m_edgeURepeat{};
};
