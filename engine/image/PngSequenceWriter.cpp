#include "image/PngSequenceWriter.h"

#include "scene/Image.h"

#include <cstdio>

std::unique_ptr<PngSequenceWriter> PngSequenceWriter::Create(const std::string& hostPath, int width,
                                                             int height, std::string& reason) {
    std::unique_ptr<PngSequenceWriter> writer(new PngSequenceWriter(hostPath, width, height));
    // Probes the folder now, so that a read-only or missing folder fails before any frame
    // is drawn.
    AtomicFileWriter probe;
    if (!probe.Open(SequenceFramePath(hostPath, writer->m_firstNumber), reason))
        return nullptr;
    return writer;
}

PngSequenceWriter::PngSequenceWriter(const std::string& hostPath, int width, int height)
    : AnimationWriter(AnimationFormat::PngSequence, width, height), m_path(hostPath),
      m_firstNumber(SequenceHasPattern(hostPath) ? 0 : 1) {}

bool PngSequenceWriter::AddFrame(const uint8_t* rgba, double, std::string& reason) {
    if (m_failed) {
        reason = m_path + ": the writer failed before";
        return false;
    }
    m_failed = true; // until the frame is written
    m_pixels.assign(rgba, rgba + FrameBytes());
    if (!EncodePng(m_width, m_height, m_pixels, m_png, &reason))
        return false;
    AtomicFileWriter file;
    const std::string path = SequenceFramePath(m_path, m_firstNumber + static_cast<long>(m_frames));
    if (!file.Open(path, reason) || !file.Write(m_png.data(), m_png.size(), reason) ||
        !file.Finish(reason))
        return false;
    m_files.push_back(std::move(file));
    ++m_frames;
    m_failed = false;
    return true;
}

bool PngSequenceWriter::Finish(std::string& reason) {
    if (m_failed) {
        reason = m_path + ": the writer failed before";
        return false;
    }
    if (m_files.empty()) {
        reason = m_path + ": a sequence needs at least one frame";
        return false;
    }
    m_failed = true;
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
    m_failed = false;
    return true;
}

std::vector<std::string> PngSequenceWriter::OutputPaths() const {
    std::vector<std::string> paths;
    for (size_t i = 0; i < m_frames; ++i)
        paths.push_back(SequenceFramePath(m_path, m_firstNumber + static_cast<long>(i)));
    return paths;
}
