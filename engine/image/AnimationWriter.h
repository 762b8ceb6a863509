#pragma once

// Animations written frame by frame: an animated GIF, an animated WebP or a numbered
// sequence of PNG files, chosen by the extension of the output path.
//
// Frames are RGBA bytes, top row first, all of the size given at creation, each with the
// time it stays on screen. Output is atomic: nothing appears under the final name (or, for
// a sequence, under any of the final names) until Finish succeeds; a writer destroyed
// without it (a failed write, a full disk, a cancelled export) leaves no partial file.
// Failures report a reason naming the file and the system's error.
//
//   GIF   (.gif)   one palette of up to 256 colours per frame, chosen for that frame;
//                  delays in hundredths of a second (rounding errors do not add up);
//                  alpha is ignored: frames are shown opaque.
//   WebP  (.webp)  lossy by default, with alpha; delays in milliseconds.
//   PNG   (.png)   NAME_0001.png, NAME_0002.png ... beside NAME.png; or, when the name
//                  holds a printf number ("out_%04d.png"), that pattern numbered from 0.
//                  Delays are not kept.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class AnimationFormat { Gif, WebP, PngSequence };

// The format named by a path's extension (".gif", ".webp", ".png", in any case); false
// for any other.
bool AnimationFormatOf(const std::string& path, AnimationFormat& format);
const char* AnimationFormatName(AnimationFormat format);

struct AnimationOptions {
    // Times the animation plays (GIF, WebP); 0 loops for ever.
    int loops = 0;
    // GIF: the palette search's speed, 1 (best palette, slowest) to 10 (fastest).
    int paletteSpeed = 8;
    // GIF: error diffusion when mapping to the palette, 0.0 (none) to 1.0 (full).
    float dithering = 0.5f;
    // WebP: quality 0 to 100 of lossy frames; lossless ignores it.
    float quality = 80.0f;
    bool lossless = false;
    // WebP: the encoder's effort, 0 (fastest) to 6 (smallest file).
    int effort = 2;
};

class AnimationWriter {
public:
    // A writer for the format of hostPath's extension, with its output opened. Null, with
    // a reason, when the extension names no format, the size is not positive, or the
    // output cannot be created (no folder, no permission).
    static std::unique_ptr<AnimationWriter> Create(const std::string& hostPath, int width,
                                                   int height, const AnimationOptions& options,
                                                   std::string& reason);
    // Without a successful Finish, removes everything written.
    virtual ~AnimationWriter() = default;
    AnimationWriter(const AnimationWriter&) = delete;
    AnimationWriter& operator=(const AnimationWriter&) = delete;

    // Adds a frame of Width() x Height() RGBA pixels shown for delaySeconds (> 0). False,
    // with a reason, when encoding or writing fails; the writer is then failed and Finish
    // fails too.
    bool AddFrame(const uint8_t* rgba, double delaySeconds, std::string& reason);
    // Completes the output and puts it under its final name(s). False, with a reason,
    // when no frame was added or anything failed; nothing is left behind then. A finished
    // writer takes nothing more.
    bool Finish(std::string& reason);

    AnimationFormat Format() const { return m_format; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    size_t FrameCount() const { return m_frames; }
    // The files the writer writes (for a sequence, those of the frames added so far).
    virtual std::vector<std::string> OutputPaths() const { return {m_path}; }

protected:
    AnimationWriter(AnimationFormat format, const std::string& hostPath, int width, int height)
        : m_format(format), m_path(hostPath), m_width(width), m_height(height) {}
    size_t FrameBytes() const {
        return static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * 4;
    }

    // What each format does. Open readies the output before any frame (false, with a
    // reason, when it cannot be created); EncodeFrame and Complete run only while nothing
    // has failed, Complete with at least one frame added.
    virtual bool Open(std::string& reason) = 0;
    virtual bool EncodeFrame(const uint8_t* rgba, double delaySeconds, std::string& reason) = 0;
    virtual bool Complete(std::string& reason) = 0;

    AnimationFormat m_format;
    std::string m_path; // the output path asked for
    int m_width;
    int m_height;
    size_t m_frames = 0;

private:
    // False, with the reason, once a call failed or Finish succeeded.
    bool Usable(std::string& reason) const;

    bool m_failed = false;
    bool m_finished = false;
};

// The path of frame `number` of a PNG sequence written to hostPath: the printf number of
// the name filled in when it has one, else "_" and the number in four digits (more when
// needed) before the extension.
std::string SequenceFramePath(const std::string& hostPath, long number);
// Whether a PNG sequence path holds a printf number ("%d", "%04d"); such sequences count
// from 0, others from 1.
bool SequenceHasPattern(const std::string& hostPath);
