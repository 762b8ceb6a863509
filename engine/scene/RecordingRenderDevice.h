#pragma once

// A render device that draws nothing and remembers everything: every call in order, and
// for every draw its vertices and the state it was drawn with. Tests make it current
// (ScopedRenderTable) and then assert the exact geometry and state of what was drawn.

#include "scene/RenderDevice.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One Draw, as the device saw it when the call was made.
struct RecordedDraw {
    Primitive primitive = Primitive::Triangles;
    std::vector<RenderVertex> vertices; // as submitted
    RenderStates states;
    TextureBinding binding;
    Matrix4 modelView;
    Matrix4 projection;
    size_t call = 0; // index of the Draw in RecordingRenderDevice::Calls()

    bool IsEnabled(RenderState state) const { return states.IsEnabled(state); }
    size_t PrimitiveCount() const { return ::PrimitiveCount(primitive, vertices.size()); }
    // The triangles drawn, three vertices each: strips and quads taken apart with their
    // winding kept. Empty for lines and points.
    std::vector<RenderVertex> Triangles() const;
};

// A texture made through the device.
struct RecordedTexture {
    TextureId texture = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // width × height × 4 bytes, bottom row first
    bool destroyed = false;
};

class RecordingRenderDevice final : public RenderDevice {
public:
    RecordingRenderDevice() = default;

    // Every call since the last ClearRecording, draws included (kind Draw).
    const std::vector<RenderCall>& Calls() const { return m_calls; }
    // Every draw since the last ClearRecording, in order.
    const std::vector<RecordedDraw>& Draws() const { return m_draws; }
    // The latest draw; null when nothing was drawn.
    const RecordedDraw* LastDraw() const { return m_draws.empty() ? nullptr : &m_draws.back(); }
    // The draw a call of kind Draw stands for.
    const RecordedDraw& DrawOf(const RenderCall& call) const { return m_draws.at(call.draw); }
    size_t CountCalls(RenderCallKind kind) const;
    // Forgets calls and draws; the device's state, counters and textures stay.
    void ClearRecording();

    // Every texture ever made, destroyed ones included, in order of creation.
    const std::vector<RecordedTexture>& Textures() const { return m_textures; }
    // Null for 0 or an id this device never made.
    const RecordedTexture* FindTexture(TextureId texture) const;

    // One call as text, such as "SetEnabled(Blending, on)" or "SetLineWidth(2)".
    static std::string Describe(const RenderCall& call);
    // Every call, one per line, each draw followed by its state and up to
    // maxVerticesPerDraw of its vertices: for failure messages.
    std::string Dump(size_t maxVerticesPerDraw = 8) const;

protected:
    void Apply(const RenderCall& call) override;
    void Submit(Primitive primitive, const RenderVertex* vertices, size_t count) override;
    TextureId UploadTexture(int width, int height, const uint8_t* rgba) override;
    void ReleaseTexture(TextureId texture) override;

private:
    std::vector<RenderCall> m_calls;
    std::vector<RecordedDraw> m_draws;
    std::vector<RecordedTexture> m_textures; // texture id n at index n - 1
};
