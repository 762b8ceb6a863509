#pragma once

// The numbered PNG sequence behind AnimationWriter. Each frame is encoded into a
// temporary file beside its final name as it comes; Finish renames them all, so a failed
// or cancelled sequence leaves none of its files under the final names.
//
// Files of an earlier, longer sequence under the same names beyond the new last frame are
// left alone.

#include "image/AnimationWriter.h"
#include "stream/AtomicFileWriter.h"

class PngSequenceWriter final : public AnimationWriter {
public:
    // Null, with a reason, when the folder cannot take the files.
    static std::unique_ptr<PngSequenceWriter> Create(const std::string& hostPath, int width,
                                                     int height, std::string& reason);

    bool AddFrame(const uint8_t* rgba, double delaySeconds, std::string& reason) override;
    bool Finish(std::string& reason) override;
    std::vector<std::string> OutputPaths() const override;

private:
    PngSequenceWriter(const std::string& hostPath, int width, int height);

    std::string m_path;
    long m_firstNumber;
    std::vector<AtomicFileWriter> m_files; // finished, waiting for Finish to commit them
    std::vector<uint8_t> m_pixels;
    std::vector<uint8_t> m_png;
    bool m_failed = false;
};
