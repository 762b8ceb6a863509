#pragma once

// What a style draws with: a texture or an animation, the blending of the effect and the
// clamping of its coordinates. Binding counts binds, which the FX runtime reports.

#include "scene/RenderDevice.h"

#include <array>
#include <cstdint>

class Texture;
class TextureAnim;

struct TextureUV {
    float u = 0.0f;
    float v = 0.0f;
    constexpr bool operator==(const TextureUV&) const = default;
};

// The coordinates of a quad's corners, in the order lower-left, upper-left, upper-right,
// lower-right of the frame turned a quarter: uv0 = (u0, v1), uv1 = (u1, v1),
// uv2 = (u1, v0), uv3 = (u0, v0). Without an animation: (0, 1), (1, 1), (1, 0), (0, 0).
using TextureCorners = std::array<TextureUV, 4>;

class TextureReference {
public:
    // Neither the texture nor the animation is owned; either may be null.
    TextureReference(Texture* texture, TextureAnim* animation, BlendMode blending, bool clamp);

    BlendMode blending() const { return m_blending; }
    bool clamped() const { return m_clamp; }
    bool hasAnimation() const { return m_animation != nullptr; }
    // Frames of the animation, 1 for a plain texture, 0 for neither.
    unsigned frameCount() const;

    // The texture shown at a time in seconds, or of a frame; null for neither.
    Texture* textureAt(float time) const;
    Texture* textureOfFrame(unsigned frame) const;
    TextureCorners cornersAt(float time) const;
    TextureCorners cornersOfFrame(unsigned frame) const;

    // Sets the blending on the current device and binds the texture at a time (or of a
    // frame), or no texture; each call counts one bind.
    void bindAt(float time) const;
    void bindFrame(unsigned frame) const;

    // Binds made since the last reset, by every reference.
    static uint32_t BindCount();
    static void ResetBindCount();

private:
    void bind(Texture* texture) const;

    Texture* m_texture;
    TextureAnim* m_animation;
    BlendMode m_blending;
    bool m_clamp;
};
