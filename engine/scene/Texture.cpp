#include "scene/Texture.h"

#include "diag/Diag.h"
#include "stream/FilePath.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stb/stb_image.h>

// ---- Texture ----

Texture::Texture(std::string name, int width, int height, std::vector<uint8_t> pixels)
    : m_name(std::move(name)), m_width(width), m_height(height), m_pixels(std::move(pixels)) {}

Texture::~Texture() {
    releaseUploads();
}

void Texture::releaseUploads() {
    RenderDevice* device = rndTable();
    if (device)
        for (const Upload& upload : m_uploads)
            if (upload.device == device->Serial())
                device->DestroyTexture(upload.id);
    m_uploads.clear();
}

void Texture::replacePixels(int width, int height, std::vector<uint8_t> pixels) {
    releaseUploads();
    m_width = width;
    m_height = height;
    m_pixels = std::move(pixels);
}

void Texture::bind(TextureWrap wrap) {
    RenderDevice* device = rndTable();
    if (device)
        device->BindTexture(deviceId(), wrap);
}

TextureId Texture::deviceId() {
    RenderDevice* device = rndTable();
    if (!device)
        return 0;
    const uint64_t serial = device->Serial();
    for (const Upload& upload : m_uploads)
        if (upload.device == serial)
            return upload.id;
    if (m_pixels.size() != static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * 4)
        return 0;
    const TextureId id = device->CreateTexture(m_width, m_height, m_pixels.data());
    // A device that cannot make the texture is asked again at the next use.
    if (id != 0)
        m_uploads.push_back({serial, id});
    return id;
}

// ---- decoding ----

namespace {

uint16_t ReadLittle16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

std::string DecoderReason() {
    const char* reason = stbi_failure_reason();
    return std::string("not a readable image (") + (reason ? reason : "unknown") + ")";
}

bool StartsWith(const uint8_t* bytes, size_t size, const char* magic, size_t length) {
    return size >= length && std::memcmp(bytes, magic, length) == 0;
}

// TGA has no signature and the decoder reads past the end of its data as zeros, so a file
// cut short would load as a partly black image: the header and the length of the data are
// checked here first, with the decoder's own rules for what it accepts.
bool CheckTga(const uint8_t* bytes, size_t size, std::string& error) {
    constexpr size_t kHeader = 18;
    if (size < kHeader) {
        error = "not an image (too short for a TGA header)";
        return false;
    }
    const unsigned idLength = bytes[0];
    const unsigned colourMapType = bytes[1];
    const unsigned imageType = bytes[2];
    const unsigned paletteStart = ReadLittle16(bytes + 3);
    const unsigned paletteLength = ReadLittle16(bytes + 5);
    const unsigned paletteBits = bytes[7];
    const unsigned width = ReadLittle16(bytes + 12);
    const unsigned height = ReadLittle16(bytes + 14);
    const unsigned bits = bytes[16];

    const bool indexed = colourMapType == 1;
    const bool rle = imageType >= 8;
    auto validBits = [](unsigned b) { return b == 8 || b == 15 || b == 16 || b == 24 || b == 32; };
    bool valid = colourMapType <= 1;
    if (indexed)
        valid = valid && (imageType == 1 || imageType == 9) && validBits(paletteBits) &&
                (bits == 8 || bits == 16) && paletteLength > 0;
    else
        valid = valid && (imageType == 2 || imageType == 3 || imageType == 10 || imageType == 11) &&
                validBits(bits);
    if (!valid) {
        error = "not an image (unknown format)";
        return false;
    }
    if (width == 0 || height == 0) {
        error = "image of no pixels (" + std::to_string(width) + "x" + std::to_string(height) + ")";
        return false;
    }
    if (width > TextureRegistry::kMaxSide || height > TextureRegistry::kMaxSide) {
        error = "image too large (" + std::to_string(width) + "x" + std::to_string(height) + ")";
        return false;
    }

    size_t offset = kHeader + idLength;
    if (indexed)
        offset += paletteStart + size_t{paletteLength} * ((paletteBits + 7) / 8);
    const size_t pixelBytes = (bits + 7) / 8;
    const size_t pixels = size_t{width} * height;
    bool complete = offset <= size;
    if (complete && !rle) {
        complete = size - offset >= pixels * pixelBytes;
    } else if (complete) {
        // Packets: a count byte, then one pixel repeated or count pixels as they are.
        for (size_t done = 0; done < pixels && complete;) {
            if (offset >= size) {
                complete = false;
                break;
            }
            const uint8_t packet = bytes[offset++];
            const size_t count = (packet & 0x7fu) + 1u;
            const size_t data = (packet & 0x80u) ? pixelBytes : count * pixelBytes;
            complete = size - offset >= data;
            offset += data;
            done += count;
        }
    }
    if (!complete) {
        error = "file cut short (TGA data incomplete)";
        return false;
    }
    return true;
}

} // namespace

bool DecodeTextureImage(const uint8_t* bytes, size_t size, int& width, int& height,
                        std::vector<uint8_t>& rgba, std::string& error) {
    width = height = 0;
    rgba.clear();
    if (!bytes || size == 0) {
        error = "empty file";
        return false;
    }
    if (size > static_cast<size_t>(1) << 30) {
        error = "file too large";
        return false;
    }
    const bool known = StartsWith(bytes, size, "\x89PNG\r\n\x1a\n", 8) ||
                       StartsWith(bytes, size, "\xff\xd8\xff", 3) ||
                       StartsWith(bytes, size, "BM", 2);
    if (!known && !CheckTga(bytes, size, error))
        return false;

    const int length = static_cast<int>(size);
    int w = 0;
    int h = 0;
    int channels = 0;
    if (!stbi_info_from_memory(bytes, length, &w, &h, &channels)) {
        error = DecoderReason();
        return false;
    }
    if (w <= 0 || h <= 0 || w > TextureRegistry::kMaxSide || h > TextureRegistry::kMaxSide) {
        error = "image too large (" + std::to_string(w) + "x" + std::to_string(h) + ")";
        return false;
    }
    stbi_uc* decoded = stbi_load_from_memory(bytes, length, &w, &h, &channels, 4);
    if (!decoded) {
        error = DecoderReason();
        return false;
    }
    if (w <= 0 || h <= 0 || w > TextureRegistry::kMaxSide || h > TextureRegistry::kMaxSide) {
        stbi_image_free(decoded);
        error = "image too large (" + std::to_string(w) + "x" + std::to_string(h) + ")";
        return false;
    }
    // The decoder gives the top row first; the device takes the bottom row first.
    const size_t row = static_cast<size_t>(w) * 4;
    rgba.resize(row * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        std::memcpy(rgba.data() + row * static_cast<size_t>(h - 1 - y),
                    decoded + row * static_cast<size_t>(y), row);
    stbi_image_free(decoded);
    width = w;
    height = h;
    return true;
}

// ---- TextureRegistry ----

namespace {

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "file not found";
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "file unreadable";
        return false;
    }
    return true;
}

// A texture file's pixels, as DecodeTextureImage gives them.
bool ReadTextureFile(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgba,
                     std::string& error) {
    std::vector<uint8_t> bytes;
    return ReadWholeFile(path, bytes, error) &&
           DecodeTextureImage(bytes.data(), bytes.size(), width, height, rgba, error);
}

} // namespace

TextureRegistry* TextureRegistry::instance() {
    // Never destroyed: owners release their textures from destructors of their own that
    // may run at exit after it, and by then the current device may be gone.
    static auto* registry = new TextureRegistry;
    return registry;
}

Texture* TextureRegistry::find(const char* name, bool, bool, bool, const char*) {
    const std::string asked = name ? name : "";
    std::string host;
    // Keyed by the absolute path, so that every spelling of one file finds one texture.
    if (asked.empty() || !FilePath::ConvertFromAlias(asked, host, FilePath::kModeAbsolute)) {
        dbTracefAux("Texture \"%s\" not loaded: %s", asked.c_str(),
                    asked.empty() ? "no file named" : "unknown path alias");
        return nullptr;
    }
    const std::string key = Lowered(host);
    if (auto found = m_entries.find(key); found != m_entries.end()) {
        ++found->second.references;
        return found->second.texture.get();
    }

    std::string error;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
    if (!ReadTextureFile(host, width, height, pixels, error)) {
        dbTracefAux("Texture \"%s\" (%s) not loaded: %s", asked.c_str(), host.c_str(),
                    error.c_str());
        return nullptr;
    }
    Entry& entry = m_entries[key];
    entry.texture = std::make_unique<Texture>(asked, width, height, std::move(pixels));
    entry.references = 1;
    m_keys[entry.texture.get()] = key;
    return entry.texture.get();
}

bool TextureRegistry::reload(const char* name) {
    std::string host;
    if (!name || !FilePath::ConvertFromAlias(name, host, FilePath::kModeAbsolute))
        return false;
    const auto found = m_entries.find(Lowered(host));
    if (found == m_entries.end())
        return false;
    std::string error;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
    if (!ReadTextureFile(host, width, height, pixels, error)) {
        dbTracefAux("Texture \"%s\" (%s) not reloaded: %s", name, host.c_str(), error.c_str());
        return false;
    }
    found->second.texture->replacePixels(width, height, std::move(pixels));
    return true;
}

void TextureRegistry::releaseTexture(Texture* texture) {
    if (!texture)
        return;
    const auto key = m_keys.find(texture);
    if (key == m_keys.end())
        DB_FATAL(__FILE__, __LINE__, "TextureRegistry::releaseTexture: texture %p is not loaded",
                 static_cast<void*>(texture));
    const auto entry = m_entries.find(key->second);
    if (--entry->second.references > 0)
        return;
    m_keys.erase(key);
    m_entries.erase(entry);
}

size_t TextureRegistry::count() const {
    return m_entries.size();
}
