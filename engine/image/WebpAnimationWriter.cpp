#include "image/WebpAnimationWriter.h"

#include <algorithm>
#include <cmath>
#include <webp/encode.h>
#include <webp/mux.h>

namespace {

// A frame's start in whole milliseconds; rounding the running time keeps the errors from
// adding up.
int Milliseconds(double seconds) {
    return static_cast<int>(std::clamp(std::lround(seconds * 1000.0), 0L, 0x7FFFFFFFL));
}

std::string EncoderError(WebPAnimEncoder* encoder) {
    const char* text = encoder ? WebPAnimEncoderGetError(encoder) : nullptr;
    return text && *text ? text : "the WebP encoder failed";
}

} // namespace

WebpAnimationWriter::WebpAnimationWriter(const std::string& hostPath, int width, int height,
                                         const AnimationOptions& options)
    : AnimationWriter(AnimationFormat::WebP, hostPath, width, height), m_options(options) {}

WebpAnimationWriter::~WebpAnimationWriter() {
    if (m_encoder)
        WebPAnimEncoderDelete(m_encoder);
}

bool WebpAnimationWriter::Open(std::string& reason) {
    if (m_width > WEBP_MAX_DIMENSION || m_height > WEBP_MAX_DIMENSION) {
        reason = m_path + ": WebP pictures are at most " + std::to_string(WEBP_MAX_DIMENSION) +
                 " pixels wide and high";
        return false;
    }
    if (!m_file.Open(m_path, reason))
        return false;
    WebPAnimEncoderOptions options;
    if (!WebPAnimEncoderOptionsInit(&options)) {
        reason = "the WebP library does not match its headers";
        return false;
    }
    options.anim_params.loop_count = std::clamp(m_options.loops, 0, 65535);
    // Every frame is a whole picture: no search for smaller sub-frames, which costs more
    // time than it saves bytes on particle effects.
    options.minimize_size = 0;
    options.allow_mixed = 0;
    m_encoder = WebPAnimEncoderNew(m_width, m_height, &options);
    if (!m_encoder) {
        reason = "the WebP encoder cannot start";
        return false;
    }
    return true;
}

bool WebpAnimationWriter::EncodeFrame(const uint8_t* rgba, double delaySeconds,
                                      std::string& reason) {
    WebPConfig config;
    if (!WebPConfigInit(&config)) {
        reason = "the WebP library does not match its headers";
        return false;
    }
    config.lossless = m_options.lossless ? 1 : 0;
    config.quality = std::clamp(m_options.quality, 0.0f, 100.0f);
    config.method = std::clamp(m_options.effort, 0, 6);
    if (!WebPValidateConfig(&config)) {
        reason = "the WebP settings are not valid";
        return false;
    }
    WebPPicture picture;
    if (!WebPPictureInit(&picture)) {
        reason = "the WebP library does not match its headers";
        return false;
    }
    picture.use_argb = 1;
    picture.width = m_width;
    picture.height = m_height;
    if (!WebPPictureImportRGBA(&picture, rgba, m_width * 4)) {
        WebPPictureFree(&picture);
        reason = "out of memory for a WebP frame";
        return false;
    }
    const bool added = WebPAnimEncoderAdd(m_encoder, &picture, Milliseconds(m_elapsed), &config);
    WebPPictureFree(&picture);
    if (!added) {
        reason = m_file.TargetPath() + ": frame " + std::to_string(m_frames + 1) +
                 " not encoded: " + EncoderError(m_encoder);
        return false;
    }
    m_elapsed += std::max(delaySeconds, 0.0);
    return true;
}

bool WebpAnimationWriter::Complete(std::string& reason) {
    // The last frame lasts until the end time given here.
    if (!WebPAnimEncoderAdd(m_encoder, nullptr, Milliseconds(m_elapsed), nullptr)) {
        reason = m_file.TargetPath() + " not encoded: " + EncoderError(m_encoder);
        return false;
    }
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAssemble(m_encoder, &data)) {
        reason = m_file.TargetPath() + " not encoded: " + EncoderError(m_encoder);
        return false;
    }
    const bool written = m_file.Write(data.bytes, data.size, reason) && m_file.Finish(reason) &&
                         m_file.Commit(reason);
    WebPDataClear(&data);
    return written;
}
