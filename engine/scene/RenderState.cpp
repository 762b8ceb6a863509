#include "scene/RenderState.h"

static_assert(
    [] {
        int previous = 0;
        for (RenderState state : kRenderStates) {
            if (RenderStateNumber(state) <= previous ||
                RenderStateNumber(state) >= kRenderStateNumberLimit)
                return false;
            previous = RenderStateNumber(state);
        }
        return true;
    }(),
    "kRenderStates lists each state once, in number order, below the mask's limit");

std::optional<RenderState> RenderStateFromNumber(int number) {
    for (RenderState state : kRenderStates)
        if (RenderStateNumber(state) == number)
            return state;
    return std::nullopt;
}

const char* RenderStateName(RenderState state) {
    switch (state) {
    case RenderState::DepthTest:
        return "DepthTest";
    case RenderState::FaceCulling:
        return "FaceCulling";
    case RenderState::Lighting:
        return "Lighting";
    case RenderState::Blending:
        return "Blending";
    case RenderState::Texturing:
        return "Texturing";
    case RenderState::AlphaTest:
        return "AlphaTest";
    case RenderState::LineSmoothing:
        return "LineSmoothing";
    case RenderState::Fog:
        return "Fog";
    }
    return "?";
}
