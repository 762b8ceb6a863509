#include "image/PngSequenceWriter.h"

#include "scene/Image.h"

#include <cstdio>

PngSequenceWriter::PngSequenceWriter(const std::string& hostPath, int width, int height)
    : AnimationWriter(AnimationFormat::PngSequence, hostPath, width, height),
      m_firstNumber(SequenceHasPattern(hostPath) ? 0 : 1) {}

bool PngSequenceWriter::Open(std::string& reason) {
    AtomicFileWriter probe;
    return probe.Open(SequenceFramePath(m_path, m_firstNumber), reason);
}

bool PngSequenceWriter::EncodeFrame(const uint8_t* rgba, double, std::string& reason) {
    m_pixels.assign(rgba, rgba + FrameBytes());
    if (!EncodePng(m_width, m_height, m_pixels, m_png, &reason))
        return false;
    AtomicFileWriter file;
    const std::string path = SequenceFramePath(m_path, m_firstNumber + static_cast<long>(m_frames));
    if (!file.Open(path, reason) || !file.Write(m_png.data(), m_png.size(), reason) ||
        !file.Finish(reason))
        return false;
    m_files.push_back(std::move(file));
    return true;
}

bool PngSequenceWriter::Complete(std::string& reason) {
    for (size_t i = 0; i < m_files.size(); ++i) {
        if (m_files[i].Commit(reason))
            continue;
        // A rename in the same folder as the others failed (the name is taken by a
        // folder, say): the frames already renamed go too, so no half sequence stays.
        for (size_t done = 0; done < i; ++done)
            std::remove(m_files[done].TargetPath().c_str());
        return false;
    }
    m_files.clear();
    return true;
}

std::vector<std::string> PngSequenceWriter::OutputPaths() const {
    std::vector<std::string> paths;
    for (size_t i = 0; i < m_frames; ++i)
        paths.push_back(SequenceFramePath(m_path, m_firstNumber + static_cast<long>(i)));
    return paths;
}
