#pragma once

// Textures of the scene library: image files (TGA, PNG, JPG, BMP) loaded once and shared
// through the registry by name, reference-counted.

#include "scene/RenderDevice.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
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
    // that device on first use. Does nothing when no device is current; binds no texture
    // when the device cannot make it.
    void bind(TextureWrap wrap = TextureWrap::Repeat);
    // The texture's id on the current device (uploading it if need be); 0 without one.
    // Destroying the texture releases its copy on the device current then; copies on other
    // devices end with their devices.
    TextureId deviceId();
    // New pixels for the texture (its file changed): the copy on the current device goes
    // and the next use uploads the new one. Copies on other devices end with them.
    void replacePixels(int width, int height, std::vector<uint8_t> pixels);

private:
    void releaseUploads();

    std::string m_name;
    int m_width;
    int m_height;
    std::vector<uint8_t> m_pixels;
    // Where the texture was uploaded: one entry per device (by RenderDevice::Serial).
    struct Upload {
        uint64_t device = 0;
        TextureId id = 0;
    };
    std::vector<Upload> m_uploads;
};

// Single-threaded, like the render device the textures go to.
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
    // Reads a loaded texture's file again (an aliased or host path), in place: every user
    // sees the new picture at its next bind. False, with the texture unchanged and the
    // reason traced, when it is not loaded or the file is not a readable image.
    bool reload(const char* name);

    // Largest width or height accepted; larger images are refused as corrupt.
    static constexpr int kMaxSide = 8192;

    TextureRegistry() = default;
    TextureRegistry(const TextureRegistry&) = delete;
    TextureRegistry& operator=(const TextureRegistry&) = delete;

private:
    struct Entry {
        std::unique_ptr<Texture> texture;
        unsigned references = 0;
    };
    // By resolved host path, lower case.
    std::unordered_map<std::string, Entry> m_entries;
    std::unordered_map<const Texture*, std::string> m_keys;
};

// Decodes an image file's bytes (TGA, PNG, JPG or BMP) into RGBA rows, bottom row first.
// False with the reason in error when the bytes are no such image, are cut short or are
// larger than TextureRegistry::kMaxSide.
bool DecodeTextureImage(const uint8_t* bytes, size_t size, int& width, int& height,
                        std::vector<uint8_t>& rgba, std::string& error);
