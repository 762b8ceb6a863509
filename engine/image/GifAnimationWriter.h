#pragma once

// The animated GIF behind AnimationWriter: each frame gets its own palette of up to 256
// colours, chosen by libimagequant for that frame, and is written by giflib as a whole
// opaque frame into a temporary file that Finish renames over the target.

#include "image/AnimationWriter.h"
#include "stream/AtomicFileWriter.h"

struct GifFileType;

class GifAnimationWriter final : public AnimationWriter {
public:
    // Null, with a reason, when the output cannot be created.
    static std::unique_ptr<GifAnimationWriter> Create(const std::string& hostPath, int width,
                                                      int height, const AnimationOptions& options,
                                                      std::string& reason);
    ~GifAnimationWriter() override;

    bool AddFrame(const uint8_t* rgba, double delaySeconds, std::string& reason) override;
    bool Finish(std::string& reason) override;
    std::vector<std::string> OutputPaths() const override { return {m_file.TargetPath()}; }

private:
    GifAnimationWriter(int width, int height, const AnimationOptions& options);
    bool Begin(const std::string& hostPath, std::string& reason);
    // giflib's output function: appends to the temporary file.
    static int Output(GifFileType* gif, const unsigned char* bytes, int count);
    // The reason of a failed giflib call: the file's own error when writing failed.
    std::string Failure(const char* what, int gifError) const;
    bool Close(std::string& reason);

    AnimationOptions m_options;
    AtomicFileWriter m_file;
    GifFileType* m_gif = nullptr;
    std::string m_writeError; // the first write error giflib's output met
    bool m_failed = false;
    double m_elapsed = 0.0;         // seconds of the frames written
    std::vector<uint8_t> m_opaque;  // the frame with alpha 255
    std::vector<uint8_t> m_indices; // the frame in palette indices
};
