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
    PngSequenceWriter(const std::string& hostPath, int width, int height);
    std::vector<std::string> OutputPaths() const override;

private:
    // Probes the folder, so that a read-only or missing folder fails before any frame is
    // drawn.
    bool Open(std::string& reason) override;
    bool EncodeFrame(const uint8_t* rgba, double delaySeconds, std::string& reason) override;
    bool Complete(std::string& reason) override;

    long m_firstNumber;
    std::vector<AtomicFileWriter> m_files; // finished, waiting for Finish to commit them
    std::vector<uint8_t> m_pixels;
    std::vector<uint8_t> m_png;
};
