#pragma once

// Texture animations (".anim" files): a Lua table naming a flip-book, either one texture
// cut into columns × rows frames or a list of textures, played at frames per second.
//
//   anim = { texture = "Data:art/fx/fire.tga", columns = 4, rows = 4, frames = 16, fps = 15 }
//   anim = { textures = { "Data:art/fx/a.tga", "Data:art/fx/b.tga" }, fps = 10 }
//
// Frames of a sheet run left to right, top row first. Time wraps: the animation loops.

#include <string>
#include <vector>

class Texture;

class TextureAnim {
public:
    // A new animation the caller owns and deletes, or null (traced) when the file is
    // missing or malformed or names no texture that loads.
    static TextureAnim* loadAnimation(const char* name);
    ~TextureAnim();
    TextureAnim(const TextureAnim&) = delete;
    TextureAnim& operator=(const TextureAnim&) = delete;

    // Frames of the animation.
    unsigned getNumTextures() const;
    // The frame shown at a time in seconds, and by frame index (wrapped into range).
    unsigned frameAt(float time) const;
    Texture* getTexture(float time) const { return getTexture(frameAt(time)); }
    Texture* getTexture(unsigned frame) const;
    // The frame's rectangle in its texture: uv = {u0, v0, u1, v1} with (u0, v0) the
    // lower-left and (u1, v1) the upper-right corner. False when there are no frames.
    bool getUV(float time, float uv[4]) const { return getUV(frameAt(time), uv); }
    bool getUV(unsigned frame, float uv[4]) const;

private:
    TextureAnim() = default;
    std::vector<Texture*> m_textures; // one per sheet or per frame, each found once
    unsigned m_columns = 1;
    unsigned m_rows = 1;
    unsigned m_frames = 0;
    float m_fps = 10.0f;
};
