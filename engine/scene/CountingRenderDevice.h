#pragma once

// A render device that only counts: draws, vertices and primitives (RenderDevice's
// counters) and the state calls around them. It keeps nothing per call, so benchmarks of
// the runtime's drawing measure the runtime and not the device.

#include "scene/RenderDevice.h"

#include <cstdint>

class CountingRenderDevice final : public RenderDevice {
public:
    CountingRenderDevice() = default;

    // Calls other than draws and texture creation or destruction, since construction.
    uint64_t StateCalls() const { return m_stateCalls; }
    // Frames ended, since construction.
    uint64_t Frames() const { return m_frames; }

protected:
    void Apply(const RenderCall& call) override {
        ++m_stateCalls;
        if (call.kind == RenderCallKind::EndFrame)
            ++m_frames;
    }
    void Submit(Primitive, const RenderVertex*, size_t) override {}
    // Ids are handed out once each; no pixels are kept.
    TextureId UploadTexture(int, int, const uint8_t*) override { return ++m_lastTexture; }
    void ReleaseTexture(TextureId) override {}

private:
    uint64_t m_stateCalls = 0;
    uint64_t m_frames = 0;
    TextureId m_lastTexture = 0;
};
