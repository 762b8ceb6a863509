#pragma once

// The texture a style's render batch draws with, loaded by file name when the batch is
// made and given back when it ends: a texture animation when the name ends in ".anim"
// (for styles that allow one), otherwise a texture shared through the TextureRegistry.
// It binds through a TextureReference carrying the style's blending and clamping.

#include "scene/RenderDevice.h"
#include "scene/TextureReference.h"

#include <cstdint>
#include <memory>
#include <string>

class Texture;
class TextureAnim;

class FXBatchTexture {
public:
    enum class Source : uint8_t {
        TextureOrAnimation, // ".anim" (any case) loads an animation
        TextureOnly,        // every name is a texture
    };

    // An empty name, or a file that cannot be loaded, leaves nothing loaded: binding then
    // binds no texture but still sets the blending, so the batch draws in vertex colour.
    FXBatchTexture(const std::string& name, Source source, BlendMode blending, bool clamp);
    // Gives the texture back to the registry and deletes the animation.
    ~FXBatchTexture();
    FXBatchTexture(const FXBatchTexture&) = delete;
    FXBatchTexture& operator=(const FXBatchTexture&) = delete;

    bool IsLoaded() const { return m_texture != nullptr || m_animation != nullptr; }
    const TextureReference& Reference() const { return m_reference; }
    // Sets the blending, binds the texture shown at time seconds and counts the bind with
    // the running FX manager.
    void BindAt(float time) const;

private:
    Texture* m_texture;                       // one registry reference, or null
    std::unique_ptr<TextureAnim> m_animation; // or null
    TextureReference m_reference;
};

// The blending of a style's Blending parameter (0 to 4); values outside become alpha
// blending, the parameter's default.
BlendMode FXBlendModeOf(int32_t blending);
