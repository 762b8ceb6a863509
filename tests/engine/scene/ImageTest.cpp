#include "scene/Image.h"

#include "support/TempWorkDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Three across, two down: every pixel different, alpha included.
std::vector<uint8_t> SamplePixels() {
    std::vector<uint8_t> rgba;
    for (int pixel = 0; pixel < 6; ++pixel)
        rgba.insert(rgba.end(),
                    {static_cast<uint8_t>(pixel * 40), static_cast<uint8_t>(255 - pixel),
                     static_cast<uint8_t>(pixel * 7), static_cast<uint8_t>(pixel * 50)});
    return rgba;
}

TEST(Image, PngRoundTripKeepsEveryByteAndTheRowOrder) {
    TempWorkDir dir;
    const std::vector<uint8_t> pixels = SamplePixels();
    std::string reason;
    ASSERT_TRUE(WritePng("picture.png", 3, 2, pixels, &reason)) << reason;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> read;
    ASSERT_TRUE(ReadImage("picture.png", width, height, read, &reason)) << reason;
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(read, pixels);
}

TEST(Image, FailuresSayWhyAndLeaveThingsAlone) {
    TempWorkDir dir;
    std::string reason;
    EXPECT_FALSE(WritePng("short.png", 3, 2, std::vector<uint8_t>(20), &reason));
    EXPECT_NE(reason.find("3 x 2"), std::string::npos) << reason;
    EXPECT_FALSE(WritePng("missing/folder/x.png", 3, 2, SamplePixels(), &reason));
    EXPECT_FALSE(reason.empty());

    Image image{7, 7, {1, 2, 3}};
    EXPECT_FALSE(ReadImage("nothing.png", image, &reason));
    EXPECT_NE(reason.find("nothing.png"), std::string::npos) << reason;
    dir.write("text.png", "not an image at all");
    EXPECT_FALSE(ReadImage("text.png", image, &reason));
    EXPECT_EQ(image.width, 7);
    EXPECT_EQ(image.rgba.size(), 3u);

    // A failed write keeps the picture that was there.
    ASSERT_TRUE(WritePng("kept.png", 3, 2, SamplePixels()));
    EXPECT_FALSE(WritePng("kept.png", 3, 3, SamplePixels()));
    ASSERT_TRUE(ReadImage("kept.png", image));
    EXPECT_EQ(image.rgba, SamplePixels());
}

TEST(Image, ComparisonCountsPixelsBeyondTheTolerance) {
    const Image a{3, 2, SamplePixels()};
    Image b = a;
    EXPECT_TRUE(CompareImages(a, b, 0).Matches());

    b.rgba[3] += 2;  // alpha of the first pixel
    b.rgba[10] += 3; // blue of the third
    b.rgba[11] += 1; // and its alpha: still one pixel
    ImageDifference difference = CompareImages(a, b, 2);
    EXPECT_EQ(difference.maxChannelDifference, 3);
    EXPECT_EQ(difference.differingPixels, 1u);
    EXPECT_FALSE(difference.Matches());
    EXPECT_TRUE(CompareImages(a, b, 3).Matches());
    EXPECT_EQ(CompareImages(a, b, 0).differingPixels, 2u);

    const Image wide{6, 1, SamplePixels()};
    EXPECT_FALSE(CompareImages(a, wide, 255).sameSize);
    EXPECT_FALSE(CompareImages(a, wide, 255).Matches());
}

} // namespace
