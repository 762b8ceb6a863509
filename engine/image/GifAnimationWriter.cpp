#include "image/GifAnimationWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gif_lib.h>
#include <libimagequant.h>

namespace {

// Owners of libimagequant's objects.
struct LiqAttrDeleter {
    void operator()(liq_attr* attr) const { liq_attr_destroy(attr); }
};
struct LiqImageDeleter {
    void operator()(liq_image* image) const { liq_image_destroy(image); }
};
struct LiqResultDeleter {
    void operator()(liq_result* result) const { liq_result_destroy(result); }
};
struct GifMapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// The smallest power of two of at least count entries and at least 2: the sizes a GIF
// colour table may have.
int ColourTableSize(int count) {
    int size = 2;
    while (size < count)
        size *= 2;
    return size;
}

} // namespace

GifAnimationWriter::GifAnimationWriter(const std::string& hostPath, int width, int height,
                                       const AnimationOptions& options)
    : AnimationWriter(AnimationFormat::Gif, hostPath, width, height), m_options(options) {}

GifAnimationWriter::~GifAnimationWriter() {
    if (m_gif) {
        int ignored = 0;
        EGifCloseFile(m_gif, &ignored);
    }
    // m_file's destructor removes the temporary file unless Finish committed it.
}

int GifAnimationWriter::Output(GifFileType* gif, const unsigned char* bytes, int count) {
    auto* self = static_cast<GifAnimationWriter*>(gif->UserData);
    if (count <= 0)
        return 0;
    std::string error;
    if (!self->m_file.Write(bytes, static_cast<size_t>(count), error)) {
        if (self->m_writeError.empty())
            self->m_writeError = error;
        return 0;
    }
    return count;
}

std::string GifAnimationWriter::Failure(const char* what, int gifError) const {
    if (!m_writeError.empty())
        return m_writeError;
    const char* text = GifErrorString(gifError);
    return m_file.TargetPath() + ": " + what + " failed (" + (text ? text : "GIF error") + ")";
}

bool GifAnimationWriter::Open(std::string& reason) {
    if (!m_file.Open(m_path, reason))
        return false;
    int error = 0;
    m_gif = EGifOpen(this, &GifAnimationWriter::Output, &error);
    if (!m_gif) {
        reason = Failure("opening the GIF encoder", error);
        return false;
    }
    EGifSetGifVersion(m_gif, true);
    if (EGifPutScreenDesc(m_gif, m_width, m_height, 8, 0, nullptr) == GIF_ERROR) {
        reason = Failure("writing the screen descriptor", m_gif->Error);
        return false;
    }
    // The application extension that makes players repeat the animation.
    const int loops = std::clamp(m_options.loops, 0, 65535);
    const unsigned char netscape[] = "NETSCAPE2.0";
    const unsigned char repeat[] = {1, static_cast<unsigned char>(loops & 0xFF),
                                    static_cast<unsigned char>(loops >> 8)};
    if (EGifPutExtensionLeader(m_gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(m_gif, 11, netscape) == GIF_ERROR ||
        EGifPutExtensionBlock(m_gif, sizeof repeat, repeat) == GIF_ERROR ||
        EGifPutExtensionTrailer(m_gif) == GIF_ERROR) {
        reason = Failure("writing the loop extension", m_gif->Error);
        return false;
    }
    return true;
}

bool GifAnimationWriter::EncodeFrame(const uint8_t* rgba, double delaySeconds,
                                     std::string& reason) {
    const size_t pixels = static_cast<size_t>(m_width) * static_cast<size_t>(m_height);
    m_opaque.assign(rgba, rgba + pixels * 4);
    for (size_t i = 3; i < m_opaque.size(); i += 4)
        m_opaque[i] = 255;

    std::unique_ptr<liq_attr, LiqAttrDeleter> attr(liq_attr_create());
    if (!attr) {
        reason = "the palette search cannot start";
        return false;
    }
    liq_set_speed(attr.get(), std::clamp(m_options.paletteSpeed, 1, 10));
    std::unique_ptr<liq_image, LiqImageDeleter> image(
        liq_image_create_rgba(attr.get(), m_opaque.data(), m_width, m_height, 0.0));
    liq_result* quantised = nullptr;
    if (!image || liq_image_quantize(image.get(), attr.get(), &quantised) != LIQ_OK) {
        reason = "no palette found for frame " + std::to_string(m_frames + 1);
        return false;
    }
    std::unique_ptr<liq_result, LiqResultDeleter> result(quantised);
    liq_set_dithering_level(result.get(), std::clamp(m_options.dithering, 0.0f, 1.0f));
    m_indices.resize(pixels);
    if (liq_write_remapped_image(result.get(), image.get(), m_indices.data(), m_indices.size()) !=
        LIQ_OK) {
        reason = "frame " + std::to_string(m_frames + 1) + " cannot be mapped to its palette";
        return false;
    }
    const liq_palette* palette = liq_get_palette(result.get());
    const int colours = static_cast<int>(std::clamp(palette->count, 1u, 256u));
    std::unique_ptr<ColorMapObject, GifMapDeleter> map(
        GifMakeMapObject(ColourTableSize(colours), nullptr));
    if (!map) {
        reason = "out of memory for a colour table";
        return false;
    }
    for (int i = 0; i < map->ColorCount; ++i) {
        const liq_color colour = palette->entries[std::min(i, colours - 1)];
        map->Colors[i] = {colour.r, colour.g, colour.b};
    }

    // Delays are whole hundredths: each frame ends at the rounded end of its time, so the
    // rounding errors never add up over the animation.
    const double before = m_elapsed;
    m_elapsed += std::max(delaySeconds, 0.0);
    const long delay = std::lround(m_elapsed * 100.0) - std::lround(before * 100.0);
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = static_cast<int>(std::clamp(delay, 1L, 65535L));
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(m_gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
            GIF_ERROR ||
        EGifPutImageDesc(m_gif, 0, 0, m_width, m_height, false, map.get()) == GIF_ERROR) {
        reason = Failure("writing a frame", m_gif->Error);
        return false;
    }
    for (int row = 0; row < m_height; ++row)
        if (EGifPutLine(m_gif, m_indices.data() + static_cast<size_t>(row) * m_width, m_width) ==
            GIF_ERROR) {
            reason = Failure("writing a frame", m_gif->Error);
            return false;
        }
    return true;
}

bool GifAnimationWriter::Complete(std::string& reason) {
    int error = 0;
    const int status = EGifCloseFile(m_gif, &error);
    m_gif = nullptr;
    if (status == GIF_ERROR) {
        reason = Failure("finishing the file", error);
        return false;
    }
    return m_file.Finish(reason) && m_file.Commit(reason);
}
