#pragma once

// The animated GIF behind AnimationWriter: each frame gets its own palette of up to 256
// colours, chosen by libimagequant for that frame, and is written by giflib as a whole
// opaque frame into a temporary file that Finish renames over the target.

#include "image/AnimationWriter.h"
#include "stream/AtomicFileWriter.h"

struct GifFileType;

class GifAnimationWriter final : public AnimationWriter {
public:
    GifAnimationWriter(const std::string& hostPath, int width, int height,
                       const AnimationOptions& options);
    ~GifAnimationWriter() override;

private:
    bool Open(std::string& reason) override;
    bool EncodeFrame(const uint8_t* rgba, double delaySeconds, std::string& reason) override;
    bool Complete(std::string& reason) override;
    // giflib's output function: appends to the temporary file.
    static int Output(GifFileType* gif, const unsigned char* bytes, int count);
    // The reason of a failed giflib call: the file's own error when writing failed.
    std::string Failure(const char* what, int gifError) const;

    AnimationOptions m_options;
    AtomicFileWriter m_file;
    GifFileType* m_gif = nullptr;
    std::string m_writeError;       // the first write error giflib's output met
    double m_elapsed = 0.0;         // seconds of the frames written
    std::vector<uint8_t> m_opaque;  // the frame with alpha 255
    std::vector<uint8_t> m_indices; // the frame in palette indices
};
