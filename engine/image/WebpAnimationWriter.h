#pragma once

// The animated WebP behind AnimationWriter: libwebp's animation encoder takes the frames
// (lossy or lossless, alpha kept), and Finish writes the assembled file through a
// temporary file renamed over the target.

#include "image/AnimationWriter.h"
#include "stream/AtomicFileWriter.h"

struct WebPAnimEncoder;

class WebpAnimationWriter final : public AnimationWriter {
public:
    WebpAnimationWriter(const std::string& hostPath, int width, int height,
                        const AnimationOptions& options);
    ~WebpAnimationWriter() override;

private:
    bool Open(std::string& reason) override;
    bool EncodeFrame(const uint8_t* rgba, double delaySeconds, std::string& reason) override;
    bool Complete(std::string& reason) override;

    AnimationOptions m_options;
    AtomicFileWriter m_file;
    WebPAnimEncoder* m_encoder = nullptr;
    double m_elapsed = 0.0; // seconds of the frames added
};
