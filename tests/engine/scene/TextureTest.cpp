#include "scene/Texture.h"

#include "scene/RecordingRenderDevice.h"
#include "support/TempWorkDir.h"
#include "support/TextureFiles.h"
#include "support/TraceCatcher.h"

#include <gtest/gtest.h>
#include <optional>
#include <stb/stb_image_write.h>
#include <string>
#include <vector>

namespace {

// A 2 × 3 picture, top row first, every pixel different.
std::vector<uint8_t> Pattern() {
    std::vector<uint8_t> rgba;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            rgba.insert(rgba.end(),
                        {static_cast<uint8_t>(10 + 100 * x), static_cast<uint8_t>(20 + 80 * y), 7,
                         static_cast<uint8_t>(250 - x - 2 * y)});
    return rgba;
}

// The same picture as the device takes it: bottom row first.
std::vector<uint8_t> PatternBottomFirst() {
    const std::vector<uint8_t> top = Pattern();
    std::vector<uint8_t> bottom;
    for (int y = 2; y >= 0; --y)
        bottom.insert(bottom.end(), top.begin() + y * 8, top.begin() + y * 8 + 8);
    return bottom;
}

void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::string*>(context);
    out->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

std::string PngFile(int width, int height, const std::vector<uint8_t>& rgba) {
    std::string file;
    stbi_write_png_to_func(AppendBytes, &file, width, height, 4, rgba.data(), width * 4);
    return file;
}

class TextureRegistryTest : public testing::Test {
protected:
    TextureRegistry& registry = *TextureRegistry::instance();
    TempWorkDir work;

    void TearDown() override { EXPECT_EQ(registry.count(), 0u) << "a test left textures loaded"; }
};

TEST_F(TextureRegistryTest, FindSharesOneTextureUntilTheLastRelease) {
    work.write("Data/art/fx/point.tga", SolidTga(4, 2));
    Texture* first = registry.find("Data:art/fx/point.tga", true, true, false, "def");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->width(), 4);
    EXPECT_EQ(first->height(), 2);
    EXPECT_EQ(first->pixels().size(), 4u * 2u * 4u);
    EXPECT_EQ(first->name(), "Data:art/fx/point.tga");

    Texture* second = registry.find("Data:art/fx/point.tga");
    EXPECT_EQ(second, first);
    EXPECT_EQ(registry.count(), 1u);

    registry.releaseTexture(first);
    EXPECT_EQ(registry.count(), 1u) << "one reference is still held";
    registry.releaseTexture(second);
    EXPECT_EQ(registry.count(), 0u);

    // Loaded anew after the last release; a null release is ignored.
    Texture* again = registry.find("Data:art/fx/point.tga");
    ASSERT_NE(again, nullptr);
    registry.releaseTexture(nullptr);
    EXPECT_EQ(registry.count(), 1u);
    registry.releaseTexture(again);
}

TEST_F(TextureRegistryTest, FindIgnoresTheCaseOfAliasFoldersAndFile) {
    work.write("Data/art/fx/point.tga", SolidTga(2, 2));
    work.write("Data/art/fx/other.tga", SolidTga(2, 2));
    Texture* exact = registry.find("Data:art/fx/point.tga");
    ASSERT_NE(exact, nullptr);
    for (const char* name :
         {"DATA:ART/FX/POINT.TGA", "data:Art\\Fx\\Point.tga", "data/ART/fx/point.TGA"}) {
        Texture* same = registry.find(name);
        EXPECT_EQ(same, exact) << name;
        registry.releaseTexture(same);
    }
    Texture* other = registry.find("DATA:ART/FX/OTHER.TGA");
    EXPECT_NE(other, exact);
    EXPECT_EQ(registry.count(), 2u);
    registry.releaseTexture(exact);
    registry.releaseTexture(other);
}

TEST_F(TextureRegistryTest, EveryFormatLoadsWithTheBottomRowFirst) {
    work.write("Data/bottom.tga", TgaFile(2, 3, Pattern(), false));
    work.write("Data/top.tga", TgaFile(2, 3, Pattern(), true));
    work.write("Data/pattern.png", PngFile(2, 3, Pattern()));
    // BMP and JPG keep no alpha: opaque versions of the picture.
    std::vector<uint8_t> rgb;
    const std::vector<uint8_t> pattern = Pattern();
    for (size_t i = 0; i < pattern.size(); i += 4)
        rgb.insert(rgb.end(), {pattern[i], pattern[i + 1], pattern[i + 2]});
    ASSERT_TRUE(stbi_write_bmp("Data/pattern.bmp", 2, 3, 3, rgb.data()));
    const std::vector<uint8_t> flat(16 * 8 * 3, 90);
    ASSERT_TRUE(stbi_write_jpg("Data/flat.jpg", 16, 8, 3, flat.data(), 95));

    // Bytes after the pixels (a TGA footer) do no harm.
    work.write("Data/footer.tga", TgaFile(2, 3, Pattern()) + std::string(26, '\0'));
    for (const char* name :
         {"Data:bottom.tga", "Data:top.tga", "Data:footer.tga", "Data:pattern.png"}) {
        Texture* texture = registry.find(name);
        ASSERT_NE(texture, nullptr) << name;
        EXPECT_EQ(texture->pixels(), PatternBottomFirst()) << name;
        registry.releaseTexture(texture);
    }

    Texture* bmp = registry.find("Data:pattern.bmp");
    ASSERT_NE(bmp, nullptr);
    std::vector<uint8_t> opaque = PatternBottomFirst();
    for (size_t i = 3; i < opaque.size(); i += 4)
        opaque[i] = 255;
    EXPECT_EQ(bmp->pixels(), opaque);
    registry.releaseTexture(bmp);

    Texture* jpg = registry.find("Data:flat.jpg");
    ASSERT_NE(jpg, nullptr);
    EXPECT_EQ(jpg->width(), 16);
    EXPECT_EQ(jpg->height(), 8);
    EXPECT_NEAR(jpg->pixels()[0], 90, 3);
    EXPECT_EQ(jpg->pixels()[3], 255);
    registry.releaseTexture(jpg);
}

TEST_F(TextureRegistryTest, MissingAndCorruptFilesGiveNullWithOneTrace) {
    const std::string good = TgaFile(2, 3, Pattern());
    std::string zeroSize(18, '\0');
    zeroSize[2] = 2;
    zeroSize[16] = 32;
    std::string huge = zeroSize + std::string(64, '\x7f');
    huge[12] = huge[13] = huge[14] = huge[15] = '\xff';
    std::string tooWide = SolidTga(TextureRegistry::kMaxSide + 1, 1);
    // Run-length packets: one pixel repeated 4 times, then the data ends 12 pixels early.
    std::string rleCut = SolidTga(4, 4).substr(0, 18) + "\x83" + std::string(4, '\x40');
    rleCut[2] = 10;
    // A colour-mapped image whose palette runs past the end.
    std::string paletteCut(18, '\0');
    paletteCut[1] = 1;
    paletteCut[2] = 1;
    paletteCut[5] = '\x00';
    paletteCut[6] = 1; // 256 entries
    paletteCut[7] = 24;
    paletteCut[12] = paletteCut[14] = 2;
    paletteCut[16] = 8;
    paletteCut += std::string(30, '\x01');
    const std::string png = PngFile(2, 3, Pattern());

    struct Case {
        const char* file;
        std::string content; // nothing is written for "missing.tga"
    };
    const std::vector<Case> cases = {
        {"missing.tga", ""},
        {"empty.tga", ""},
        {"garbage.tga", "this is not an image, whatever its name says"},
        {"zero-size.tga", zeroSize},
        {"huge.tga", huge},
        {"too-wide.tga", tooWide},
        {"truncated.tga", good.substr(0, good.size() - 5)},
        {"header-only.tga", good.substr(0, 18)},
        {"short-header.tga", good.substr(0, 11)},
        {"rle-cut.tga", rleCut},
        {"palette-cut.tga", paletteCut},
        {"truncated.png", png.substr(0, png.size() / 2)},
        {"png-signature.png", "\x89PNG\r\n\x1a\n and nothing that follows is a chunk"},
    };
    for (const Case& test : cases) {
        const std::string file = test.file;
        if (file != "missing.tga")
            work.write("Data/bad/" + file, test.content);
        TraceCatcher traces;
        EXPECT_EQ(registry.find(("Data:bad/" + file).c_str()), nullptr) << file;
        ASSERT_EQ(traces.lines.size(), 1u) << file;
        EXPECT_NE(traces.lines[0].find(file), std::string::npos) << traces.lines[0];
    }
    EXPECT_EQ(registry.count(), 0u);

    TraceCatcher traces;
    EXPECT_EQ(registry.find("Nowhere:point.tga"), nullptr) << "unknown alias";
    EXPECT_EQ(registry.find(""), nullptr);
    EXPECT_EQ(traces.lines.size(), 2u);
}

// ---- Texture on render devices ----

TEST(Texture, UploadsOncePerDeviceAndBindsWithTheWrapAsked) {
    Texture texture("t", 2, 3, PatternBottomFirst());
    RecordingRenderDevice first;
    RecordingRenderDevice second;
    {
        ScopedRenderTable current(&first);
        texture.bind(TextureWrap::Clamp);
        texture.bind();
        ASSERT_EQ(first.Textures().size(), 1u);
        const RecordedTexture& uploaded = first.Textures()[0];
        EXPECT_EQ(uploaded.width, 2);
        EXPECT_EQ(uploaded.height, 3);
        EXPECT_EQ(uploaded.rgba, PatternBottomFirst());
        ASSERT_EQ(first.CountCalls(RenderCallKind::BindTexture), 2u);
        EXPECT_EQ(first.Calls()[0].binding, (TextureBinding{uploaded.texture, TextureWrap::Clamp}));
        EXPECT_EQ(first.Calls()[1].binding,
                  (TextureBinding{uploaded.texture, TextureWrap::Repeat}));
        EXPECT_EQ(texture.deviceId(), uploaded.texture);
    }
    {
        ScopedRenderTable current(&second);
        // Another texture first, so that the ids on the two devices differ.
        second.CreateTexture(1, 1, std::vector<uint8_t>(4).data());
        EXPECT_EQ(texture.deviceId(), 2u) << "a second device gets its own copy";
        EXPECT_EQ(second.Textures().size(), 2u);
    }
    EXPECT_EQ(first.Textures().size(), 1u);
}

TEST(Texture, DestroyingReleasesTheCopyOfTheCurrentDeviceOnly) {
    RecordingRenderDevice first;
    RecordingRenderDevice second;
    {
        ScopedRenderTable current(&first);
        Texture texture("t", 1, 1, std::vector<uint8_t>(4, 1));
        {
            ScopedRenderTable other(&second);
            texture.bind();
        }
        texture.bind();
        EXPECT_EQ(first.GetBoundTexture().texture, first.Textures()[0].texture);
    }
    ASSERT_EQ(first.Textures().size(), 1u);
    EXPECT_TRUE(first.Textures()[0].destroyed);
    EXPECT_EQ(first.GetBoundTexture().texture, 0u) << "a destroyed texture is no longer bound";
    ASSERT_EQ(second.Textures().size(), 1u);
    EXPECT_FALSE(second.Textures()[0].destroyed) << "not current: left to its device";
}

TEST(Texture, ADeviceMadeWhereAnOldOneWasGetsItsOwnUpload) {
    Texture texture("t", 1, 1, std::vector<uint8_t>(4, 1));
    std::optional<RecordingRenderDevice> device;
    device.emplace();
    {
        ScopedRenderTable current(&*device);
        texture.bind();
        texture.bind();
    }
    device.reset();
    device.emplace(); // same storage, so the same address
    ScopedRenderTable current(&*device);
    texture.bind();
    ASSERT_EQ(device->Textures().size(), 1u);
    EXPECT_EQ(device->GetBoundTexture().texture, device->Textures()[0].texture);
}

} // namespace
