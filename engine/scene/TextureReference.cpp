#include "scene/TextureReference.h"

#include "scene/Texture.h"
#include "scene/TextureAnim.h"

namespace {

uint32_t g_bindCount = 0;

constexpr TextureCorners kWholeTexture = {{{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}}};

} // namespace

TextureReference::TextureReference(Texture* texture, TextureAnim* animation, BlendMode blending,
                                   bool clamp)
    : m_texture(texture), m_animation(animation), m_blending(blending), m_clamp(clamp) {}

unsigned TextureReference::frameCount() const {
    if (m_animation)
        return m_animation->getNumTextures();
    return m_texture ? 1 : 0;
}

Texture* TextureReference::textureAt(float time) const {
    return m_animation ? m_animation->getTexture(time) : m_texture;
}

Texture* TextureReference::textureOfFrame(unsigned frame) const {
    return m_animation ? m_animation->getTexture(frame) : m_texture;
}

TextureCorners TextureReference::cornersAt(float time) const {
    return m_animation ? cornersOfFrame(m_animation->frameAt(time)) : kWholeTexture;
}

TextureCorners TextureReference::cornersOfFrame(unsigned frame) const {
    float uv[4];
    if (!m_animation || !m_animation->getUV(frame, uv))
        return kWholeTexture;
    // uv = {u0, v0, u1, v1}: lower-left and upper-right corners of the frame.
    return {{{uv[0], uv[3]}, {uv[2], uv[3]}, {uv[2], uv[1]}, {uv[0], uv[1]}}};
}

void TextureReference::bindAt(float time) const {
    bind(textureAt(time));
}

void TextureReference::bindFrame(unsigned frame) const {
    bind(textureOfFrame(frame));
}

uint32_t TextureReference::BindCount() {
    return g_bindCount;
}

void TextureReference::ResetBindCount() {
    g_bindCount = 0;
}

void TextureReference::bind(Texture* texture) const {
    ++g_bindCount;
    RenderDevice* device = rndTable();
    if (!device)
        return;
    device->SetBlendMode(m_blending);
    if (texture)
        texture->bind(m_clamp ? TextureWrap::Clamp : TextureWrap::Repeat);
    else
        device->BindTexture(0);
}
