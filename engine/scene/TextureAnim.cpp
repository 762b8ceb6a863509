#include "scene/TextureAnim.h"

#include "diag/Diag.h"
#include "scene/Texture.h"
#include "script/LuaConfig.h"

#include <cmath>
#include <memory>

namespace {

// Sheets are cut into at most this many columns and rows.
constexpr double kMaxCuts = 1024.0;

// A whole number in 1..limit under key, or fallback when the key is absent. False when
// the value is there but is no such number.
bool ReadCount(LuaConfig& config, const char* key, unsigned fallback, double limit, unsigned& out) {
    if (config.GetType(key) == LUATYPE_NIL) {
        out = fallback;
        return true;
    }
    double value = 0.0;
    if (!config.GetDouble(key, &value) || !(value >= 1.0 && value <= limit) ||
        value != std::floor(value))
        return false;
    out = static_cast<unsigned>(value);
    return true;
}

} // namespace

TextureAnim* TextureAnim::loadAnimation(const char* name) {
    const char* file = name ? name : "";
    LuaConfig config(file);
    if (!config.LoadFile(file)) {
        dbTracefAux("Animation \"%s\" not loaded: %s", file, config.LastError().c_str());
        return nullptr;
    }
    auto malformed = [file](const char* reason) {
        dbTracefAux("Animation \"%s\" not loaded: %s", file, reason);
        return nullptr;
    };
    if (config.GetType("anim") != LUATYPE_TABLE)
        return malformed("no table \"anim\"");
    config.PushTable("anim");

    const LuaType sheetType = config.GetType("texture");
    const LuaType listType = config.GetType("textures");
    if (sheetType != LUATYPE_NIL && listType != LUATYPE_NIL)
        return malformed("both \"texture\" and \"textures\" given");

    // Owns what it has found so far: an early return gives the textures back.
    std::unique_ptr<TextureAnim> animation(new TextureAnim);
    double fps = animation->m_fps;
    if (config.GetType("fps") != LUATYPE_NIL &&
        (!config.GetDouble("fps", &fps) || !(fps > 0.0 && fps <= 1.0e6)))
        return malformed("\"fps\" is not a positive number");
    animation->m_fps = static_cast<float>(fps);

    if (sheetType == LUATYPE_STRING) {
        char texture[1024];
        if (!config.GetString("texture", texture, sizeof texture))
            return malformed("\"texture\" is not a file name");
        unsigned columns = 1;
        unsigned rows = 1;
        unsigned frames = 0;
        if (!ReadCount(config, "columns", 1, kMaxCuts, columns))
            return malformed("\"columns\" is not a whole number from 1");
        if (!ReadCount(config, "rows", 1, kMaxCuts, rows))
            return malformed("\"rows\" is not a whole number from 1");
        if (!ReadCount(config, "frames", columns * rows, columns * rows, frames))
            return malformed("\"frames\" is not a whole number from 1 to columns x rows");
        Texture* sheet = TextureRegistry::instance()->find(texture);
        if (!sheet)
            return malformed("its texture does not load");
        animation->m_textures.push_back(sheet);
        animation->m_columns = columns;
        animation->m_rows = rows;
        animation->m_frames = frames;
    } else if (listType == LUATYPE_TABLE) {
        std::vector<std::string> names;
        if (!config.GetStringArray("textures", names) || names.empty())
            return malformed("\"textures\" is not a list of file names");
        // Frames whose texture is missing are left out (each traced by the registry).
        for (const std::string& texture : names)
            if (Texture* frame = TextureRegistry::instance()->find(texture.c_str()))
                animation->m_textures.push_back(frame);
        if (animation->m_textures.empty())
            return malformed("none of its textures loads");
        animation->m_frames = static_cast<unsigned>(animation->m_textures.size());
    } else {
        return malformed("no \"texture\" or \"textures\" given");
    }

    return animation.release();
}

TextureAnim::~TextureAnim() {
    for (Texture* texture : m_textures)
        TextureRegistry::instance()->releaseTexture(texture);
}

unsigned TextureAnim::getNumTextures() const {
    return m_frames;
}

unsigned TextureAnim::frameAt(float time) const {
    if (m_frames == 0 || !(time > 0.0f))
        return 0;
    const double frame = std::floor(static_cast<double>(time) * static_cast<double>(m_fps));
    if (!std::isfinite(frame))
        return 0;
    return static_cast<unsigned>(std::fmod(frame, static_cast<double>(m_frames)));
}

Texture* TextureAnim::getTexture(unsigned frame) const {
    if (m_frames == 0)
        return nullptr;
    if (m_textures.size() == 1)
        return m_textures.front();
    return m_textures[frame % m_frames];
}

bool TextureAnim::getUV(unsigned frame, float uv[4]) const {
    if (m_frames == 0)
        return false;
    frame %= m_frames;
    if (m_textures.size() > 1) {
        uv[0] = 0.0f;
        uv[1] = 0.0f;
        uv[2] = 1.0f;
        uv[3] = 1.0f;
        return true;
    }
    // Frames run left to right from the top row; v = 0 is the bottom of the texture.
    const unsigned column = frame % m_columns;
    const unsigned row = frame / m_columns;
    const auto columns = static_cast<float>(m_columns);
    const auto rows = static_cast<float>(m_rows);
    uv[0] = static_cast<float>(column) / columns;
    uv[1] = static_cast<float>(m_rows - row - 1) / rows;
    uv[2] = static_cast<float>(column + 1) / columns;
    uv[3] = static_cast<float>(m_rows - row) / rows;
    return true;
}
