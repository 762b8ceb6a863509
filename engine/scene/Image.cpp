#include "scene/Image.h"

#include "stream/AtomicFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

// The one translation unit that holds stb's image code; other files include the headers
// without these macros. Images wider or taller than any GL texture are refused before
// their pixels are allocated.
#define STBI_MAX_DIMENSIONS (1 << 14)
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

namespace {

void AppendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(context);
    const auto* begin = static_cast<const uint8_t*>(data);
    bytes->insert(bytes->end(), begin, begin + size);
}

void SetReason(std::string* reason, std::string text) {
    if (reason)
        *reason = std::move(text);
}

} // namespace

bool EncodePng(int width, int height, const std::vector<uint8_t>& rgba, std::vector<uint8_t>& png,
               std::string* reason) {
    png.clear();
    if (width <= 0 || height <= 0 ||
        rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
        SetReason(reason, "the pixels do not make a " + std::to_string(width) + " x " +
                              std::to_string(height) + " RGBA image");
        return false;
    }
    if (!stbi_write_png_to_func(AppendBytes, &png, width, height, 4, rgba.data(), width * 4)) {
        SetReason(reason, "the image cannot be encoded as PNG");
        return false;
    }
    return true;
}

bool WritePng(const std::string& hostPath, int width, int height, const std::vector<uint8_t>& rgba,
              std::string* reason) {
    std::vector<uint8_t> png;
    if (!EncodePng(width, height, rgba, png, reason))
        return false;
    std::string error;
    if (!WriteFileAtomically(hostPath, png.data(), png.size(), error)) {
        SetReason(reason, error);
        return false;
    }
    return true;
}

bool ReadImage(const std::string& hostPath, int& width, int& height, std::vector<uint8_t>& rgba,
               std::string* reason) {
    int fileWidth = 0;
    int fileHeight = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load(hostPath.c_str(), &fileWidth, &fileHeight, &channels, 4);
    if (!pixels) {
        const char* why = stbi_failure_reason();
        SetReason(reason, hostPath + ": " + (why ? why : "not a readable image"));
        return false;
    }
    width = fileWidth;
    height = fileHeight;
    rgba.assign(pixels,
                pixels + static_cast<size_t>(fileWidth) * static_cast<size_t>(fileHeight) * 4);
    stbi_image_free(pixels);
    return true;
}

bool ReadImage(const std::string& hostPath, Image& image, std::string* reason) {
    return ReadImage(hostPath, image.width, image.height, image.rgba, reason);
}

void FlipRows(int width, int height, std::vector<uint8_t>& rgba) {
    const auto rowBytes = static_cast<std::ptrdiff_t>(width) * 4;
    for (int row = 0; row < height / 2; ++row) {
        const auto top = rgba.begin() + row * rowBytes;
        std::swap_ranges(top, top + rowBytes, rgba.begin() + (height - 1 - row) * rowBytes);
    }
}

ImageDifference CompareImages(const Image& a, const Image& b, int tolerance) {
    ImageDifference difference;
    const size_t bytes =
        static_cast<size_t>(std::max(a.width, 0)) * static_cast<size_t>(std::max(a.height, 0)) * 4;
    if (a.width != b.width || a.height != b.height || a.rgba.size() != bytes ||
        b.rgba.size() != bytes) {
        difference.sameSize = false;
        return difference;
    }
    for (size_t pixel = 0; pixel < bytes; pixel += 4) {
        int largest = 0;
        for (size_t channel = 0; channel < 4; ++channel)
            largest = std::max(
                largest, std::abs(int{a.rgba[pixel + channel]} - int{b.rgba[pixel + channel]}));
        difference.maxChannelDifference = std::max(difference.maxChannelDifference, largest);
        if (largest > tolerance)
            ++difference.differingPixels;
    }
    return difference;
}
