#include "scene/DefaultTextures.h"

#include "scene/Texture.h"
#include "scene/TextureAnim.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Size {
    int width;
    int height;
};

const std::map<std::string, Size> kSizes = {
    {"point.tga", {64, 64}},         {"flare_glow.tga", {64, 64}}, {"flare_ring.tga", {64, 64}},
    {"flare_streak.tga", {128, 32}}, {"smoke.tga", {64, 64}},      {"spark.tga", {32, 8}},
    {"fire_sheet.tga", {256, 256}},
};

// RGBA of pixel (x, y), y from the bottom.
const uint8_t* PixelAt(const Texture& texture, int x, int y) {
    return &texture.pixels()[static_cast<size_t>(y * texture.width() + x) * 4];
}

// That the files come out the same on every run and machine, and are the committed
// samples, is checked by the make-assets test of the tools.
class DefaultTexturesTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(TextureRegistry::instance()->count(), 0u); }
    TempWorkDir work;
};

TEST_F(DefaultTexturesTest, EveryTextureLoadsWithItsSize) {
    ASSERT_TRUE(GenerateDefaultTextures("Data:art/fx"));
    for (const auto& [file, size] : kSizes) {
        Texture* texture = TextureRegistry::instance()->find(("Data:art/fx/" + file).c_str());
        ASSERT_NE(texture, nullptr) << file;
        EXPECT_EQ(texture->width(), size.width) << file;
        EXPECT_EQ(texture->height(), size.height) << file;
        // Sprites: clear at the corners, something visible in the middle.
        EXPECT_EQ(PixelAt(*texture, 0, 0)[3], 0) << file;
        EXPECT_EQ(PixelAt(*texture, size.width - 1, size.height - 1)[3], 0) << file;
        if (file == "flare_ring.tga") {
            EXPECT_LT(PixelAt(*texture, 32, 32)[3], 64) << "the ring is hollow";
            EXPECT_GT(PixelAt(*texture, 32 + 23, 32)[3], 200) << "bright on the ring";
        } else if (file != "fire_sheet.tga") {
            EXPECT_GT(PixelAt(*texture, size.width / 2, size.height / 2)[3], 128) << file;
        }
        // The alpha is stored uncompressed: the file holds header + pixels, no more.
        EXPECT_EQ(work.read("Data/art/fx/" + file).size(),
                  18u + static_cast<size_t>(size.width * size.height) * 4u)
            << file;
        TextureRegistry::instance()->releaseTexture(texture);
    }
}

TEST_F(DefaultTexturesTest, TheFireAnimationPlaysItsSheetFrames) {
    ASSERT_TRUE(GenerateDefaultTextures("Data/art/fx"));
    std::unique_ptr<TextureAnim> fire(TextureAnim::loadAnimation("Data:art/fx/fire.anim"));
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire->getNumTextures(), 16u);
    const Texture* sheet = fire->getTexture(0u);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->width(), 256);
    EXPECT_EQ(fire->frameAt(1.0f), 15u); // 15 frames per second

    // Each frame is a flame of its own: the frames differ, and each has a visible body.
    auto frameAlpha = [&](unsigned frame) {
        float uv[4];
        EXPECT_TRUE(fire->getUV(frame, uv));
        const int left = static_cast<int>(uv[0] * 256.0f);
        const int bottom = static_cast<int>(uv[1] * 256.0f);
        std::vector<uint8_t> alpha;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                alpha.push_back(PixelAt(*sheet, left + x, bottom + y)[3]);
        return alpha;
    };
    for (unsigned frame = 0; frame < 16; ++frame) {
        const std::vector<uint8_t> alpha = frameAlpha(frame);
        EXPECT_NE(alpha, frameAlpha((frame + 1) % 16)) << "frame " << frame;
        EXPECT_GT(alpha[10 * 64 + 32], 128) << "frame " << frame << ": bright near the base";
        EXPECT_EQ(alpha[63 * 64 + 2], 0) << "frame " << frame << ": clear in the top corner";
    }
}

} // namespace
