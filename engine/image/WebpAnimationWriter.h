#pragma once

// The animated WebP behind AnimationWriter: libwebp's animation encoder takes the frames
// (lossy or lossless, alpha kept), and Finish writes the assembled file through a
// temporary file renamed over the target.

#include "image/AnimationWriter.h"
#include "stream/AtomicFileWriter.h"

struct WebPAnimEncoder;

class WebpAnimationWriter final : public AnimationWriter {
public:
    // Null, with a reason, when the output cannot be created.
    static std::unique_ptr<WebpAnimationWriter> Create(const std::string& hostPath, int width,
                                                       int height, const AnimationOptions& options,
                                                       std::string& reason);
    ~WebpAnimationWriter() override;

    bool AddFrame(const uint8_t* rgba, double delaySeconds, std::string& reason) override;
    bool Finish(std::string& reason) override;
    std::vector<std::string> OutputPaths() const override { return {m_file.TargetPath()}; }

private:
    WebpAnimationWriter(int width, int height, const AnimationOptions& options);
    bool Begin(const std::string& hostPath, std::string& reason);

    AnimationOptions m_options;
    AtomicFileWriter m_file;
    WebPAnimEncoder* m_encoder = nullptr;
    bool m_failed = false;
    double m_elapsed = 0.0; // seconds of the frames added
};
