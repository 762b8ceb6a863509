#include "image/StraightAlpha.h"

#include <algorithm>
#include <cmath>

namespace {

// The least alpha at which a straight colour within 0..1 laid over the background gives
// the frame's value: a value above the background needs (value - background) / (1 -
// background), one below it (background - value) / background.
float NeededAlpha(float value, float background) {
    if (value > background)
        return background < 1.0f ? (value - background) / (1.0f - background) : 0.0f;
    if (value < background)
        return background > 0.0f ? (background - value) / background : 0.0f;
    return 0.0f;
}

uint8_t ToByte(float value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

} // namespace

void CoverageToStraightAlpha(uint8_t* rgba, size_t pixels, const Colour& background) {
    // The frame holds the background as bytes: compared with anything finer, every
    // untouched pixel would differ from it a little.
    auto asStored = [](float value) { return static_cast<float>(ToByte(value)) / 255.0f; };
    const float back[3] = {asStored(background.r), asStored(background.g), asStored(background.b)};
    for (size_t pixel = 0; pixel < pixels; ++pixel) {
        uint8_t* p = rgba + pixel * 4;
        const float frame[3] = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f};
        float alpha = p[3] / 255.0f;
        for (int c = 0; c < 3; ++c)
            alpha = std::max(alpha, NeededAlpha(frame[c], back[c]));
        // Rounded up to whole steps, so that the colour stays within 0..1.
        const int steps = std::clamp(static_cast<int>(std::ceil(alpha * 255.0f - 1e-3f)), 0, 255);
        if (steps == 0) {
            p[0] = p[1] = p[2] = p[3] = 0;
            continue;
        }
        const float stored = static_cast<float>(steps) / 255.0f;
        for (int c = 0; c < 3; ++c)
            p[c] = ToByte((frame[c] - back[c] * (1.0f - stored)) / stored);
        p[3] = static_cast<uint8_t>(steps);
    }
}

void CompositeOverBackground(uint8_t* rgba, size_t pixels, const Colour& background) {
    const float back[3] = {background.r, background.g, background.b};
    for (size_t pixel = 0; pixel < pixels; ++pixel) {
        uint8_t* p = rgba + pixel * 4;
        const float alpha = p[3] / 255.0f;
        for (int c = 0; c < 3; ++c)
            p[c] = ToByte(p[c] / 255.0f * alpha + back[c] * (1.0f - alpha));
        p[3] = 255;
    }
}
