#include "FXBatchTexture.h"

#include "runtime/FXManager.h"
#include "scene/Texture.h"
#include "scene/TextureAnim.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

bool IsAnimationName(std::string_view name) {
    constexpr std::string_view kExtension = ".anim";
    if (name.size() < kExtension.size())
        return false;
    const std::string_view tail = name.substr(name.size() - kExtension.size());
    return std::equal(tail.begin(), tail.end(), kExtension.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

bool LoadsAnimation(const std::string& name, FXBatchTexture::Source source) {
    return source == FXBatchTexture::Source::TextureOrAnimation && IsAnimationName(name);
}

Texture* LoadTexture(const std::string& name, FXBatchTexture::Source source) {
    if (name.empty() || LoadsAnimation(name, source))
        return nullptr;
    TextureRegistry* registry = TextureRegistry::instance();
    return registry ? registry->find(name.c_str()) : nullptr;
}

TextureAnim* LoadAnimation(const std::string& name, FXBatchTexture::Source source) {
    if (name.empty() || !LoadsAnimation(name, source))
        return nullptr;
    return TextureAnim::loadAnimation(name.c_str());
}

} // namespace

FXBatchTexture::FXBatchTexture(const std::string& name, Source source, BlendMode blending,
                               bool clamp)
    : m_texture(LoadTexture(name, source)), m_animation(LoadAnimation(name, source)),
      m_reference(m_texture, m_animation.get(), blending, clamp) {}

FXBatchTexture::~FXBatchTexture() {
    if (m_texture)
        if (TextureRegistry* registry = TextureRegistry::instance())
            registry->releaseTexture(m_texture);
}

void FXBatchTexture::BindAt(float time) const {
    m_reference.bindAt(time);
    if (FXManager* manager = FXManager::Instance())
        manager->CountBind();
}

BlendMode FXBlendModeOf(int32_t blending) {
    if (blending < 0 || blending > static_cast<int32_t>(BlendMode::AdditiveAlpha))
        return BlendMode::Alpha;
    return static_cast<BlendMode>(blending);
}
