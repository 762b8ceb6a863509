// Animations written by AnimationWriter read back with the libraries' own decoders, and
// writes that fail (no folder, a full disk) leave nothing under the final names.
#include "image/AnimationWriter.h"

#include "support/AnimationFiles.h"
#include "support/TempWorkDir.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 24;

// A frame of one colour with a square of another whose place depends on n, so that
// frames differ; from frame 20 on, noise, which no encoder can make small.
std::vector<uint8_t> Frame(int n, uint8_t alpha = 255) {
    std::vector<uint8_t> rgba(kWidth * kHeight * 4);
    uint32_t noise = static_cast<uint32_t>(n) * 2654435761u;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool square = x >= n && x < n + 8 && y >= 8 && y < 16;
            uint8_t* p = &rgba[(y * kWidth + x) * 4];
            p[0] = square ? 250 : 20;
            p[1] = square ? 200 : 60;
            p[2] = square ? 10 : 120;
            p[3] = alpha;
            if (n >= 20)
                for (int c = 0; c < 3; ++c)
                    p[c] = static_cast<uint8_t>((noise = noise * 1664525u + 1013904223u) >> 24);
        }
    return rgba;
}

// Writes frames delays.size() frames of Frame(k) to path; false with reason on failure.
bool WriteFrames(const std::string& path, const std::vector<double>& delays, std::string& reason,
                 const AnimationOptions& options = {}) {
    auto writer = AnimationWriter::Create(path, kWidth, kHeight, options, reason);
    if (!writer)
        return false;
    for (size_t k = 0; k < delays.size(); ++k)
        if (!writer->AddFrame(Frame(static_cast<int>(k)).data(), delays[k], reason))
            return false;
    return writer->Finish(reason);
}

// Makes files beyond bytes fail to grow (EFBIG) for the scope: a full disk as every user,
// root included, meets it.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_previous{};
    void (*m_handler)(int);
};

} // namespace

TEST(AnimationWriter, FormatComesFromTheExtension) {
    AnimationFormat format = AnimationFormat::Gif;
    EXPECT_TRUE(AnimationFormatOf("a/b.GIF", format) && format == AnimationFormat::Gif);
    EXPECT_TRUE(AnimationFormatOf("b.webp", format) && format == AnimationFormat::WebP);
    EXPECT_TRUE(AnimationFormatOf("b.Png", format) && format == AnimationFormat::PngSequence);
    EXPECT_FALSE(AnimationFormatOf("b.jpg", format));
    std::string reason;
    EXPECT_EQ(AnimationWriter::Create("out.mov", 4, 4, {}, reason), nullptr);
    EXPECT_NE(reason.find("extension"), std::string::npos) << reason;
}

TEST(AnimationWriter, GifKeepsFramesSizeDelaysAndColours) {
    TempWorkDir work;
    std::string reason;
    ASSERT_TRUE(WriteFrames("anim.gif", std::vector<double>(12, 0.1), reason)) << reason;
    const AnimationContent gif = ReadGif("anim.gif");
    ASSERT_TRUE(gif.readable);
    EXPECT_EQ(gif.width, kWidth);
    EXPECT_EQ(gif.height, kHeight);
    EXPECT_EQ(gif.loops, 0); // for ever
    ASSERT_EQ(gif.frames.size(), 12u);
    for (size_t k = 0; k < gif.frames.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(gif.frames[k].delayMilliseconds, 100);
        const Image expected{kWidth, kHeight, Frame(static_cast<int>(k))};
        EXPECT_TRUE(CompareImages(gif.frames[k].picture, expected, 2).Matches());
    }
}

TEST(AnimationWriter, DelaysRoundWithoutDrifting) {
    TempWorkDir work;
    std::string reason;
    for (const std::string path : {"anim.gif", "anim.webp"}) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(WriteFrames(path, std::vector<double>(30, 1.0 / 30.0), reason)) << reason;
        const AnimationContent animation = path == "anim.gif" ? ReadGif(path) : ReadWebp(path);
        int total = 0;
        for (const AnimationFrame& frame : animation.frames) {
            EXPECT_GE(frame.delayMilliseconds, 30);
            EXPECT_LE(frame.delayMilliseconds, 40);
            total += frame.delayMilliseconds;
        }
        EXPECT_EQ(total, 1000); // one second, not 30 x 30 ms
    }
}

TEST(AnimationWriter, WebpKeepsFramesSizeDelaysAndAlpha) {
    TempWorkDir work;
    AnimationOptions options;
    options.lossless = true;
    options.loops = 3;
    std::string reason;
    auto writer = AnimationWriter::Create("anim.webp", kWidth, kHeight, options, reason);
    ASSERT_NE(writer, nullptr) << reason;
    for (int k = 0; k < 5; ++k)
        ASSERT_TRUE(writer->AddFrame(Frame(k, k == 4 ? 128 : 255).data(), 0.04, reason)) << reason;
    ASSERT_TRUE(writer->Finish(reason)) << reason;
    const AnimationContent webp = ReadWebp("anim.webp");
    ASSERT_TRUE(webp.readable);
    EXPECT_EQ(webp.width, kWidth);
    EXPECT_EQ(webp.height, kHeight);
    EXPECT_EQ(webp.loops, 3);
    ASSERT_EQ(webp.frames.size(), 5u);
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(webp.frames[static_cast<size_t>(k)].delayMilliseconds, 40);
        const Image expected{kWidth, kHeight, Frame(k, k == 4 ? 128 : 255)};
        EXPECT_TRUE(
            CompareImages(webp.frames[static_cast<size_t>(k)].picture, expected, 0).Matches());
    }
}

TEST(AnimationWriter, PngSequencesAreNumberedAfterTheName) {
    TempWorkDir work;
    std::string reason;
    ASSERT_TRUE(WriteFrames("run.png", {0.1, 0.1, 0.1}, reason)) << reason;
    ASSERT_TRUE(WriteFrames("old_%03d.png", {0.1, 0.1}, reason)) << reason;
    EXPECT_EQ(work.list(), (std::vector<std::string>{"old_000.png", "old_001.png", "run_0001.png",
                                                     "run_0002.png", "run_0003.png"}));
    Image second;
    ASSERT_TRUE(ReadImage("run_0002.png", second, &reason)) << reason;
    EXPECT_TRUE(CompareImages(second, {kWidth, kHeight, Frame(1)}, 0).Matches());
    EXPECT_EQ(SequenceFramePath("a.b/c", 12345), "a.b/c_12345");
}

TEST(AnimationWriter, FailedWritesLeaveNoFileUnderTheFinalNames) {
    TempWorkDir work;
    std::string reason;
    // No folder: refused before any frame.
    for (const char* path : {"missing/anim.gif", "missing/anim.webp", "missing/anim.png"}) {
        EXPECT_EQ(AnimationWriter::Create(path, kWidth, kHeight, {}, reason), nullptr) << path;
        EXPECT_NE(reason.find("No such file or directory"), std::string::npos) << reason;
    }
    // A full disk part of the way: the files already there stay as they were, and no
    // partial or temporary file is left.
    work.write("old.gif", "previous animation");
    work.write("seq_0001.png", "previous frame");
    {
        FileSizeLimit limit(3000);
        for (const char* path : {"old.gif", "new.webp", "seq.png"}) {
            SCOPED_TRACE(path);
            reason.clear();
            EXPECT_FALSE(WriteFrames(path, std::vector<double>(40, 0.1), reason));
            EXPECT_NE(reason.find("File too large"), std::string::npos) << reason;
        }
    }
    EXPECT_EQ(work.list(), (std::vector<std::string>{"old.gif", "seq_0001.png"}));
    EXPECT_EQ(work.read("old.gif"), "previous animation");
    EXPECT_EQ(work.read("seq_0001.png"), "previous frame");
    // Abandoned writers (a cancelled export) leave nothing either.
    for (const char* path : {"gone.gif", "gone.webp", "gone.png"}) {
        auto writer = AnimationWriter::Create(path, kWidth, kHeight, {}, reason);
        ASSERT_NE(writer, nullptr) << reason;
        ASSERT_TRUE(writer->AddFrame(Frame(0).data(), 0.1, reason)) << reason;
    }
    EXPECT_EQ(work.list(), (std::vector<std::string>{"old.gif", "seq_0001.png"}));
}
