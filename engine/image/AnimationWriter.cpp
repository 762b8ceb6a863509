#include "image/AnimationWriter.h"

#include "image/GifAnimationWriter.h"
#include "image/PngSequenceWriter.h"
#include "image/WebpAnimationWriter.h"

#include <algorithm>
#include <cctype>

namespace {

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
    if (text.size() < tail.size())
        return false;
    return std::equal(tail.begin(), tail.end(), text.end() - static_cast<long>(tail.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

// Where the printf number of a sequence name starts and ends ("%", optional zero and
// width, "d"); false when the name has none.
bool FindPattern(const std::string& path, size_t& begin, size_t& end, bool& zeros, size_t& width) {
    const size_t nameStart = path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1;
    for (size_t i = nameStart; i < path.size(); ++i) {
        if (path[i] != '%')
            continue;
        size_t j = i + 1;
        if (j < path.size() && path[j] == '%') {
            i = j; // "%%" stands for "%"
            continue;
        }
        zeros = j < path.size() && path[j] == '0';
        width = 0;
        while (j < path.size() && path[j] >= '0' && path[j] <= '9')
            width = width * 10 + static_cast<size_t>(path[j++] - '0');
        if (j < path.size() && path[j] == 'd') {
            begin = i;
            end = j + 1;
            return true;
        }
    }
    return false;
}

std::string Padded(long number, size_t width, char fill) {
    std::string text = std::to_string(number);
    if (text.size() < width)
        text.insert(0, width - text.size(), fill);
    return text;
}

// "%%" back to "%".
std::string Unescaped(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%')
            ++i;
    }
    return out;
}

} // namespace

bool AnimationFormatOf(const std::string& path, AnimationFormat& format) {
    if (EndsWithNoCase(path, ".gif"))
        format = AnimationFormat::Gif;
    else if (EndsWithNoCase(path, ".webp"))
        format = AnimationFormat::WebP;
    else if (EndsWithNoCase(path, ".png"))
        format = AnimationFormat::PngSequence;
    else
        return false;
    return true;
}

const char* AnimationFormatName(AnimationFormat format) {
    switch (format) {
    case AnimationFormat::Gif:
        return "GIF";
    case AnimationFormat::WebP:
        return "WebP";
    case AnimationFormat::PngSequence:
        return "PNG sequence";
    }
    return "?";
}

std::unique_ptr<AnimationWriter> AnimationWriter::Create(const std::string& hostPath, int width,
                                                         int height,
                                                         const AnimationOptions& options,
                                                         std::string& reason) {
    AnimationFormat format = AnimationFormat::Gif;
    if (!AnimationFormatOf(hostPath, format)) {
        reason = hostPath + ": the extension names no animation format (.gif, .webp or .png)";
        return nullptr;
    }
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) {
        reason = hostPath + ": frames of " + std::to_string(width) + " x " +
                 std::to_string(height) + " pixels cannot be written";
        return nullptr;
    }
    std::unique_ptr<AnimationWriter> writer;
    switch (format) {
    case AnimationFormat::Gif:
        writer = std::make_unique<GifAnimationWriter>(hostPath, width, height, options);
        break;
    case AnimationFormat::WebP:
        writer = std::make_unique<WebpAnimationWriter>(hostPath, width, height, options);
        break;
    case AnimationFormat::PngSequence:
        writer = std::make_unique<PngSequenceWriter>(hostPath, width, height);
        break;
    }
    if (!writer || !writer->Open(reason))
        return nullptr;
    return writer;
}

bool AnimationWriter::Usable(std::string& reason) const {
    if (m_failed || m_finished)
        reason = m_path + (m_failed ? ": the writer failed before" : ": the writer is finished");
    return !m_failed && !m_finished;
}

bool AnimationWriter::AddFrame(const uint8_t* rgba, double delaySeconds, std::string& reason) {
    if (!Usable(reason))
        return false;
    m_failed = true; // until the frame is in
    if (!EncodeFrame(rgba, delaySeconds, reason))
        return false;
    ++m_frames;
    m_failed = false;
    return true;
}

bool AnimationWriter::Finish(std::string& reason) {
    if (!Usable(reason))
        return false;
    if (m_frames == 0) {
        reason = m_path +
                 (m_format == AnimationFormat::PngSequence ? ": a sequence" : ": an animation") +
                 " needs at least one frame";
        return false;
    }
    m_failed = true;
    if (!Complete(reason))
        return false;
    m_failed = false;
    m_finished = true;
    return true;
}

bool SequenceHasPattern(const std::string& hostPath) {
    size_t begin = 0, end = 0, width = 0;
    bool zeros = false;
    return FindPattern(hostPath, begin, end, zeros, width);
}

std::string SequenceFramePath(const std::string& hostPath, long number) {
    size_t begin = 0, end = 0, width = 0;
    bool zeros = false;
    if (FindPattern(hostPath, begin, end, zeros, width))
        return Unescaped(hostPath.substr(0, begin)) + Padded(number, width, zeros ? '0' : ' ') +
               Unescaped(hostPath.substr(end));
    const size_t slash = hostPath.rfind('/');
    const size_t dot = hostPath.rfind('.');
    const size_t stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                            ? dot
                            : hostPath.size();
    return hostPath.substr(0, stem) + "_" + Padded(number, 4, '0') + hostPath.substr(stem);
}
