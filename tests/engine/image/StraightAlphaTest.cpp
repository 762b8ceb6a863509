// Straight alpha recovered from coverage: laid over the background it was drawn on, it
// gives back the frame, whatever the frame's colours.
#include "image/StraightAlpha.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<uint8_t> Pixel(int r, int g, int b, int a) {
    return {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b),
            static_cast<uint8_t>(a)};
}

} // namespace

TEST(StraightAlpha, BackgroundBecomesTransparentAndCoverageKeepsItsColour) {
    const Colour grey{0.25f, 0.25f, 0.25f, 1.0f};
    // The bare background: nothing drawn.
    std::vector<uint8_t> p = Pixel(64, 64, 64, 0);
    CoverageToStraightAlpha(p.data(), 1, grey);
    EXPECT_EQ(p, Pixel(0, 0, 0, 0));
    // Red drawn at half coverage over grey: the frame is the mix, the picture red at half.
    p = Pixel(159, 32, 32, 128);
    CoverageToStraightAlpha(p.data(), 1, grey);
    EXPECT_NEAR(p[0], 255, 2);
    EXPECT_NEAR(p[1], 0, 2);
    EXPECT_EQ(p[3], 128);
    // Light added without coverage: alpha grows until a colour within 0..1 explains it.
    p = Pixel(255, 64, 64, 0);
    CoverageToStraightAlpha(p.data(), 1, grey);
    EXPECT_EQ(p, Pixel(255, 64, 64, 255));
    // Red light only: half way to white in red needs half alpha; green and blue keep the
    // background's value.
    p = Pixel(160, 64, 64, 0);
    CoverageToStraightAlpha(p.data(), 1, grey);
    EXPECT_EQ(p, Pixel(254, 64, 64, 129));
}

TEST(StraightAlpha, CompositesBackToTheFrameOverItsBackground) {
    for (const Colour background : {Colour{0.25f, 0.25f, 0.25f, 1}, Colour{0, 0, 0, 1},
                                    Colour{1, 1, 1, 1}, Colour{0.1f, 0.6f, 0.9f, 1}}) {
        std::vector<uint8_t> frame;
        for (int r = 0; r < 256; r += 15)
            for (int g = 0; g < 256; g += 51)
                for (int a = 0; a < 256; a += 17)
                    frame.insert(frame.end(),
                                 {static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                                  static_cast<uint8_t>(255 - r), static_cast<uint8_t>(a)});
        std::vector<uint8_t> picture = frame;
        const size_t pixels = frame.size() / 4;
        CoverageToStraightAlpha(picture.data(), pixels, background);
        for (size_t i = 0; i < pixels; ++i)
            EXPECT_GE(picture[i * 4 + 3], frame[i * 4 + 3]) << "coverage is never lowered";
        CompositeOverBackground(picture.data(), pixels, background);
        for (size_t i = 0; i < frame.size(); ++i)
            if (i % 4 != 3) {
                ASSERT_NEAR(picture[i], frame[i], 1) << "pixel " << i / 4;
            }
    }
}
