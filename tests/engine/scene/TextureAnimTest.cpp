#include "scene/TextureAnim.h"

#include "scene/Texture.h"
#include "support/TempWorkDir.h"
#include "support/TextureFiles.h"
#include "support/TraceCatcher.h"

#include <array>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

using UV = std::array<float, 4>;

UV UVOf(const TextureAnim& animation, unsigned frame) {
    UV uv{-1.0f, -1.0f, -1.0f, -1.0f};
    EXPECT_TRUE(animation.getUV(frame, uv.data()));
    return uv;
}

class TextureAnimTest : public testing::Test {
protected:
    TextureAnimTest() {
        work.write("Data/art/fx/sheet.tga", SolidTga(8, 4));
        work.write("Data/art/fx/a.tga", SolidTga(2, 2, 10));
        work.write("Data/art/fx/b.tga", SolidTga(2, 2, 20));
    }
    void TearDown() override {
        EXPECT_EQ(TextureRegistry::instance()->count(), 0u) << "textures left loaded";
    }

    std::unique_ptr<TextureAnim> load(const std::string& file, const std::string& script) {
        work.write("Data/art/fx/" + file, script);
        return std::unique_ptr<TextureAnim>(
            TextureAnim::loadAnimation(("Data:art/fx/" + file).c_str()));
    }

    TempWorkDir work;
};

TEST_F(TextureAnimTest, SheetFramesRunLeftToRightFromTheTopRow) {
    auto animation = load("sheet.anim", "anim = { texture = 'DATA:ART/FX/SHEET.TGA', columns = 4, "
                                        "rows = 2, frames = 7, fps = 10 }");
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(animation->getNumTextures(), 7u);
    Texture* sheet = animation->getTexture(0u);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->width(), 8);
    EXPECT_EQ(animation->getTexture(6u), sheet);

    // v = 0 is the bottom of the texture, so the top row is the upper half.
    EXPECT_EQ(UVOf(*animation, 0), (UV{0.0f, 0.5f, 0.25f, 1.0f}));
    EXPECT_EQ(UVOf(*animation, 1), (UV{0.25f, 0.5f, 0.5f, 1.0f}));
    EXPECT_EQ(UVOf(*animation, 3), (UV{0.75f, 0.5f, 1.0f, 1.0f}));
    EXPECT_EQ(UVOf(*animation, 4), (UV{0.0f, 0.0f, 0.25f, 0.5f}));
    EXPECT_EQ(UVOf(*animation, 6), (UV{0.5f, 0.0f, 0.75f, 0.5f}));
    // Frame indices wrap: the eighth cell of the sheet is never shown.
    EXPECT_EQ(UVOf(*animation, 7), UVOf(*animation, 0));
    EXPECT_EQ(UVOf(*animation, 11), UVOf(*animation, 4));
}

TEST_F(TextureAnimTest, TheFrameAtATimeLoops) {
    auto animation = load("sheet.anim", "anim = { texture = 'Data:art/fx/sheet.tga', columns = 4, "
                                        "rows = 2, frames = 7, fps = 10 }");
    ASSERT_NE(animation, nullptr);
    struct Row {
        float time;
        unsigned frame;
    };
    const std::vector<Row> rows = {
        {0.0f, 0},
        {0.05f, 0},
        {0.15f, 1},
        {0.65f, 6},
        {0.75f, 0},  // 7 mod 7
        {1.25f, 5},  // 12 mod 7
        {1.0e9f, 4}, // 10^10 mod 7
        {-0.3f, 0},
        {-1.0e9f, 0},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {std::numeric_limits<float>::infinity(), 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(animation->frameAt(row.time), row.frame) << "time " << row.time;

    float uv[4];
    ASSERT_TRUE(animation->getUV(1.25f, uv));
    EXPECT_EQ((UV{uv[0], uv[1], uv[2], uv[3]}), UVOf(*animation, 5));
}

TEST_F(TextureAnimTest, AListShowsOneTextureAFrameAndSkipsMissingOnes) {
    TraceCatcher traces;
    auto animation = load("list.anim", "anim = { textures = { 'Data:art/fx/a.tga', "
                                       "'Data:art/fx/gone.tga', 'Data:art/fx/b.tga' }, fps = 4 }");
    ASSERT_NE(animation, nullptr);
    ASSERT_EQ(traces.lines.size(), 1u);
    EXPECT_NE(traces.lines[0].find("gone.tga"), std::string::npos);

    EXPECT_EQ(animation->getNumTextures(), 2u);
    Texture* a = animation->getTexture(0u);
    Texture* b = animation->getTexture(1u);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->pixels()[0], 10);
    EXPECT_EQ(b->pixels()[0], 20);
    EXPECT_EQ(animation->getTexture(2u), a);
    EXPECT_EQ(animation->getTexture(0.3f), b); // frame 1 at 4 frames per second
    EXPECT_EQ(animation->getTexture(0.5f), a);
    EXPECT_EQ(UVOf(*animation, 1), (UV{0.0f, 0.0f, 1.0f, 1.0f}));
    EXPECT_EQ(TextureRegistry::instance()->count(), 2u);
    animation.reset();
    EXPECT_EQ(TextureRegistry::instance()->count(), 0u) << "the animation releases its textures";
}

TEST_F(TextureAnimTest, MalformedAnimationsAreRefusedWithATrace) {
    struct Row {
        const char* what;
        const char* script;
    };
    const std::vector<Row> rows = {
        {"empty file", ""},
        {"syntax error", "anim = {"},
        {"no anim table", "animation = { texture = 'Data:art/fx/sheet.tga' }"},
        {"anim not a table", "anim = 'Data:art/fx/sheet.tga'"},
        {"no texture", "anim = { fps = 10 }"},
        {"both forms",
         "anim = { texture = 'Data:art/fx/a.tga', textures = { 'Data:art/fx/b.tga' } }"},
        {"texture not a string", "anim = { texture = 5 }"},
        {"missing texture", "anim = { texture = 'Data:art/fx/gone.tga', columns = 2 }"},
        {"no list texture loads", "anim = { textures = { 'Data:art/fx/gone.tga' } }"},
        {"empty list", "anim = { textures = {} }"},
        {"list of numbers", "anim = { textures = { 1, 2 } }"},
        {"zero columns", "anim = { texture = 'Data:art/fx/sheet.tga', columns = 0 }"},
        {"fractional rows", "anim = { texture = 'Data:art/fx/sheet.tga', rows = 1.5 }"},
        {"too many frames",
         "anim = { texture = 'Data:art/fx/sheet.tga', columns = 2, rows = 2, frames = 5 }"},
        {"zero frames", "anim = { texture = 'Data:art/fx/sheet.tga', frames = 0 }"},
        {"zero fps", "anim = { texture = 'Data:art/fx/sheet.tga', fps = 0 }"},
        {"negative fps", "anim = { texture = 'Data:art/fx/sheet.tga', fps = -5 }"},
        {"fps not a number", "anim = { texture = 'Data:art/fx/sheet.tga', fps = 'fast' }"},
    };
    for (const Row& row : rows) {
        TraceCatcher traces;
        EXPECT_EQ(load("bad.anim", row.script), nullptr) << row.what;
        EXPECT_FALSE(traces.lines.empty()) << row.what;
        EXPECT_EQ(TextureRegistry::instance()->count(), 0u) << row.what << ": texture kept";
    }
    TraceCatcher traces;
    EXPECT_EQ(TextureAnim::loadAnimation("Data:art/fx/none.anim"), nullptr);
    ASSERT_EQ(traces.lines.size(), 1u);
    EXPECT_NE(traces.lines[0].find("none.anim"), std::string::npos);
}

} // namespace
