#pragma once

// Reads animations back for tests, with the same libraries that write them: every frame
// of a GIF (giflib) or an animated WebP (libwebp's decoder) as whole RGBA pictures with
// their display times.

#include "scene/Image.h"

#include <fstream>
#include <gif_lib.h>
#include <iterator>
#include <string>
#include <vector>
#include <webp/demux.h>

struct AnimationFrame {
    Image picture;
    int delayMilliseconds = 0;
};

struct AnimationContent {
    bool readable = false;
    int width = 0;
    int height = 0;
    int loops = -1; // -1: no loop information
    std::vector<AnimationFrame> frames;
};

// Whole frames of a GIF, each frame drawn over the previous one as players show them.
inline AnimationContent ReadGif(const std::string& path) {
    AnimationContent content;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif)
        return content;
    if (DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &error);
        return content;
    }
    content.readable = true;
    content.width = gif->SWidth;
    content.height = gif->SHeight;
    Image canvas{gif->SWidth, gif->SHeight,
                 std::vector<uint8_t>(static_cast<size_t>(gif->SWidth) * gif->SHeight * 4, 0)};
    for (int k = 0; k < gif->ImageCount; ++k) {
        const SavedImage& image = gif->SavedImages[k];
        GraphicsControlBlock control{};
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, k, &control);
        const ColorMapObject* map =
            image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        const GifImageDesc& desc = image.ImageDesc;
        for (int y = 0; y < desc.Height; ++y)
            for (int x = 0; x < desc.Width; ++x) {
                const int index = image.RasterBits[y * desc.Width + x];
                if (index == control.TransparentColor || !map || index >= map->ColorCount)
                    continue;
                uint8_t* p = &canvas.rgba[(static_cast<size_t>(desc.Top + y) * canvas.width +
                                           static_cast<size_t>(desc.Left + x)) *
                                          4];
                p[0] = map->Colors[index].Red;
                p[1] = map->Colors[index].Green;
                p[2] = map->Colors[index].Blue;
                p[3] = 255;
            }
        content.frames.push_back({canvas, control.DelayTime * 10});
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            if (block.Function == CONTINUE_EXT_FUNC_CODE && block.ByteCount == 3 &&
                block.Bytes[0] == 1)
                content.loops = block.Bytes[1] | block.Bytes[2] << 8;
        }
    }
    DGifCloseFile(gif, &error);
    return content;
}

inline AnimationContent ReadWebp(const std::string& path) {
    AnimationContent content;
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
    WebPData data{bytes.data(), bytes.size()};
    WebPAnimDecoderOptions options;
    if (bytes.empty() || !WebPAnimDecoderOptionsInit(&options))
        return content;
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    if (!decoder)
        return content;
    WebPAnimInfo info;
    if (WebPAnimDecoderGetInfo(decoder, &info)) {
        content.readable = true;
        content.width = static_cast<int>(info.canvas_width);
        content.height = static_cast<int>(info.canvas_height);
        content.loops = static_cast<int>(info.loop_count);
        int previous = 0;
        uint8_t* pixels = nullptr;
        int timestamp = 0;
        while (WebPAnimDecoderHasMoreFrames(decoder) &&
               WebPAnimDecoderGetNext(decoder, &pixels, &timestamp)) {
            const size_t size = static_cast<size_t>(content.width) * content.height * 4;
            content.frames.push_back(
                {{content.width, content.height, std::vector<uint8_t>(pixels, pixels + size)},
                 timestamp - previous});
            previous = timestamp;
        }
    }
    WebPAnimDecoderDelete(decoder);
    return content;
}
