// Square crops scaled with alpha weighting, as flip-book frames are cut.
#include "image/ImageRegion.h"

#include <algorithm>
#include <gtest/gtest.h>

TEST(ImageRegion, AWholeSquareAtItsOwnSizeIsTheSamePicture) {
    Image picture{3, 3, {}};
    for (int i = 0; i < 9; ++i)
        picture.rgba.insert(picture.rgba.end(),
                            {static_cast<uint8_t>(i * 20), 7, static_cast<uint8_t>(200 - i), 255});
    EXPECT_TRUE(CompareImages(CropAndScale(picture, {0, 0, 3}, 3), picture, 0).Matches());
}

TEST(ImageRegion, TransparentPixelsLendNoColourAndOutsideIsTransparent) {
    // Opaque red beside transparent green: the average is red at half alpha, not brown.
    const Image picture{2, 1, {255, 0, 0, 255, 0, 255, 0, 0}};
    const Image half = CropAndScale(picture, {0, -0.5, 2}, 1);
    ASSERT_EQ(half.rgba.size(), 4u);
    EXPECT_EQ(half.rgba[0], 255);
    EXPECT_EQ(half.rgba[1], 0);
    EXPECT_EQ(half.rgba[3], 64); // a quarter of the square holds the red pixel
    // A square wholly outside the picture.
    const Image outside = CropAndScale(picture, {10, 10, 4}, 2);
    EXPECT_EQ(outside.rgba, std::vector<uint8_t>(16, 0));
}

TEST(ImageRegion, PasteKeepsInsideTheTarget) {
    Image target{3, 2, std::vector<uint8_t>(24, 0)};
    PasteImage(target, {2, 1, {1, 2, 3, 4, 5, 6, 7, 8}}, 2, 1);
    EXPECT_EQ(std::vector<uint8_t>(target.rgba.begin() + 20, target.rgba.end()),
              (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(std::count(target.rgba.begin(), target.rgba.end(), 0), 20);
}
