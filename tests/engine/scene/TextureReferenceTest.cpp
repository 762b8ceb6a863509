#include "scene/TextureReference.h"

#include "scene/RecordingRenderDevice.h"
#include "scene/Texture.h"
#include "scene/TextureAnim.h"
#include "support/TempWorkDir.h"
#include "support/TextureFiles.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

constexpr TextureCorners kWhole = {{{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}}};

class TextureReferenceTest : public testing::Test {
protected:
    TextureReferenceTest() {
        work.write("Data/sheet.tga", SolidTga(8, 4));
        work.write("Data/a.tga", SolidTga(2, 2, 10));
        work.write("Data/b.tga", SolidTga(2, 2, 20));
        work.write("Data/sheet.anim",
                   "anim = { texture = 'Data:sheet.tga', columns = 4, rows = 2, fps = 10 }");
        work.write("Data/list.anim",
                   "anim = { textures = { 'Data:a.tga', 'Data:b.tga' }, fps = 4 }");
        TextureReference::ResetBindCount();
    }
    ~TextureReferenceTest() override {
        EXPECT_EQ(TextureRegistry::instance()->count(), 0u) << "textures left loaded";
    }

    static std::unique_ptr<TextureAnim> animation(const char* name) {
        return std::unique_ptr<TextureAnim>(TextureAnim::loadAnimation(name));
    }

    TempWorkDir work;
};

TEST_F(TextureReferenceTest, APlainTextureCoversTheWholeQuad) {
    Texture* texture = TextureRegistry::instance()->find("Data:a.tga");
    ASSERT_NE(texture, nullptr);
    const TextureReference reference(texture, nullptr, BlendMode::Alpha, false);
    EXPECT_FALSE(reference.hasAnimation());
    EXPECT_EQ(reference.frameCount(), 1u);
    EXPECT_EQ(reference.textureAt(3.7f), texture);
    EXPECT_EQ(reference.textureOfFrame(5), texture);
    EXPECT_EQ(reference.cornersAt(3.7f), kWhole);
    EXPECT_EQ(reference.cornersOfFrame(5), kWhole);
    TextureRegistry::instance()->releaseTexture(texture);

    const TextureReference nothing(nullptr, nullptr, BlendMode::Alpha, false);
    EXPECT_EQ(nothing.frameCount(), 0u);
    EXPECT_EQ(nothing.textureAt(0.0f), nullptr);
    EXPECT_EQ(nothing.cornersAt(0.0f), kWhole);
}

TEST_F(TextureReferenceTest, CornersOfASheetFrameRunLowerLeftUpperLeftUpperRightLowerRight) {
    auto sheet = animation("Data:sheet.anim");
    ASSERT_NE(sheet, nullptr);
    const TextureReference reference(nullptr, sheet.get(), BlendMode::Additive, true);
    EXPECT_TRUE(reference.hasAnimation());
    EXPECT_EQ(reference.frameCount(), 8u);
    // Frame 5: second column of the lower row, u 0.25 to 0.5, v 0 to 0.5.
    const TextureCorners frame5 = {{{0.25f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.0f}, {0.25f, 0.0f}}};
    EXPECT_EQ(reference.cornersOfFrame(5), frame5);
    EXPECT_EQ(reference.cornersOfFrame(13), frame5);
    // At 0.15 s, frame 1: the upper row.
    const TextureCorners frame1 = {{{0.25f, 1.0f}, {0.5f, 1.0f}, {0.5f, 0.5f}, {0.25f, 0.5f}}};
    EXPECT_EQ(reference.cornersAt(0.15f), frame1);
    EXPECT_EQ(reference.textureAt(0.15f), sheet->getTexture(0u));
}

TEST_F(TextureReferenceTest, BindingSetsTheBlendingAndWrapOnTheCurrentDevice) {
    Texture* texture = TextureRegistry::instance()->find("Data:a.tga");
    ASSERT_NE(texture, nullptr);
    RecordingRenderDevice device;
    ScopedRenderTable current(&device);

    const TextureReference clamped(texture, nullptr, BlendMode::Additive, true);
    clamped.bindAt(0.0f);
    ASSERT_EQ(device.Textures().size(), 1u);
    const TextureId id = device.Textures()[0].texture;
    ASSERT_EQ(device.Calls().size(), 2u);
    EXPECT_EQ(device.Calls()[0].kind, RenderCallKind::SetBlendMode);
    EXPECT_EQ(device.Calls()[0].blendMode, BlendMode::Additive);
    EXPECT_EQ(device.Calls()[1].kind, RenderCallKind::BindTexture);
    EXPECT_EQ(device.Calls()[1].binding, (TextureBinding{id, TextureWrap::Clamp}));

    const TextureReference repeated(texture, nullptr, BlendMode::Multiply, false);
    repeated.bindFrame(0);
    EXPECT_EQ(device.GetStates().blendMode, BlendMode::Multiply);
    EXPECT_EQ(device.GetBoundTexture(), (TextureBinding{id, TextureWrap::Repeat}));
    EXPECT_EQ(device.Textures().size(), 1u) << "uploaded once";

    const TextureReference untextured(nullptr, nullptr, BlendMode::AdditiveAlpha, true);
    untextured.bindAt(1.0f);
    EXPECT_EQ(device.GetStates().blendMode, BlendMode::AdditiveAlpha);
    EXPECT_EQ(device.GetBoundTexture(), (TextureBinding{0, TextureWrap::Repeat}));

    {
        ScopedRenderTable none(nullptr);
        untextured.bindFrame(0);
    }
    EXPECT_EQ(TextureReference::BindCount(), 4u) << "binds count with or without a device";
    TextureReference::ResetBindCount();
    EXPECT_EQ(TextureReference::BindCount(), 0u);
    TextureRegistry::instance()->releaseTexture(texture);
}

TEST_F(TextureReferenceTest, AListAnimationBindsTheTextureOfTheFrame) {
    auto list = animation("Data:list.anim");
    ASSERT_NE(list, nullptr);
    RecordingRenderDevice device;
    ScopedRenderTable current(&device);
    const TextureReference reference(nullptr, list.get(), BlendMode::Alpha, false);

    reference.bindAt(0.3f); // frame 1: b
    const RecordedTexture* bound = device.FindTexture(device.GetBoundTexture().texture);
    ASSERT_NE(bound, nullptr);
    EXPECT_EQ(bound->rgba[0], 20);
    reference.bindFrame(2); // wraps to frame 0: a
    bound = device.FindTexture(device.GetBoundTexture().texture);
    ASSERT_NE(bound, nullptr);
    EXPECT_EQ(bound->rgba[0], 10);
    EXPECT_EQ(reference.cornersAt(0.3f), kWhole);
}

} // namespace
