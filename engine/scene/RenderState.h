#pragma once

// The numbered render states: the one table that says which switch each number of the
// render table stands for. The runtime and the styles name states by these numbers
// ("disable 23", "state 16 on"); RenderDevice tracks them and its back ends turn them into
// real graphics state. Every state is a switch, off when a device is created.

#include <cstdint>
#include <optional>

enum class RenderState : uint8_t {
    // Depth testing against the depth buffer with the device's DepthFunction. Callers set it
    // by name only; the number is ours.
    DepthTest = 1,
    // Back faces (clockwise as seen) are culled.
    FaceCulling = 3,
    // Fixed-function lighting. Nothing we draw is lit: tracked, and a no-op in core GL.
    Lighting = 4,
    // The draw's colour is mixed with the picture by the device's BlendMode; off, it
    // replaces the picture.
    Blending = 5,
    // Fragments take the bound texture times the vertex colour; off (or with no texture
    // bound), the vertex colour alone.
    Texturing = 6,
    // Fragments whose alpha is 0 are discarded (they write neither colour nor depth).
    AlphaTest = 8,
    // Lines are antialiased.
    LineSmoothing = 16,
    // Distance fog. The device has no fog parameters; tracked, and drawn without fog.
    Fog = 23,
};

// Every state, in number order.
inline constexpr RenderState kRenderStates[] = {
    RenderState::DepthTest,     RenderState::FaceCulling, RenderState::Lighting,
    RenderState::Blending,      RenderState::Texturing,   RenderState::AlphaTest,
    RenderState::LineSmoothing, RenderState::Fog,
};

// States are kept as bits of a 32-bit mask, so numbers stay below 32.
inline constexpr int kRenderStateNumberLimit = 32;

constexpr int RenderStateNumber(RenderState state) {
    return static_cast<int>(state);
}

// The state a number stands for; empty for a number that names none.
std::optional<RenderState> RenderStateFromNumber(int number);

// "DepthTest", "FaceCulling", ...; "?" for a value outside the table.
const char* RenderStateName(RenderState state);
