#pragma once

// Textures of the scene library: image files (TGA, PNG, JPG, BMP) loaded once and shared
// through the registry by name, reference-counted.

#include "scene/RenderDevice.h"

#include <cstdint>
#include <string>
#include <vector>

class Texture {
public:
    // pixels: width × height RGBA bytes, bottom row first (the render device's order).
    Texture(std::string name, int width, int height, std::vector<uint8_t> pixels);
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    const std::string& name() const { return m_name; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    const std::vector<uint8_t>& pixels() const { return m_pixels; }

    // Makes the texture current on the current render device (rndTable), uploading it to
    // that device on first use. Does nothing when no device is current.
    void bind(TextureWrap wrap = TextureWrap::Repeat);
    // The texture's id on the current device (uploading it if need be); 0 without one.
    TextureId deviceId();

private:
    std::string m_name;
    int m_width;
    int m_height;
    std::vector<uint8_t> m_pixels;
    RenderDevice* m_device = nullptr; // the device m_id belongs to
    TextureId m_id = 0;
};

class TextureRegistry {
public:
    static TextureRegistry* instance();

    // The texture of an aliased or host path, loaded on first use; every successful find
    // must be matched by one releaseTexture. Null (with a trace naming the file and the
    // reason) when the file is missing or not a readable image. The flags and group are
    // the engine's loading options, kept for callers: (name, true, true, false, "def").
    Texture* find(const char* name, bool mipmaps = true, bool filter = true, bool keep = false,
                  const char* group = "def");
    // Gives back one reference; the texture is destroyed with the last.
    void releaseTexture(Texture* texture);
    // Textures currently loaded.
    size_t count() const;
};
