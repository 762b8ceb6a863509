// The review verbs of sparv-fx end to end: animations by extension, transparent frames,
// failed writes, flip-book baking and review snapshots, on a copy of the sample library.
#include "SparvFx.h"
#include "image/ImageRegion.h"
#include "image/StraightAlpha.h"
#include "scene/Image.h"
#include "support/AnimationFiles.h"
#include "support/ReferencePicture.h"
#include "support/TempWorkDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// A working directory holding a copy of the samples, for verbs that write into the
// library or tests that change it.
class ReviewCommands : public testing::Test {
protected:
    void SetUp() override { m_dir.copySamples(); }

    CommandResult Fx(const std::string& args) const {
        return SparvFx(args + " --wkdir " + ShellQuote(m_dir.root().string()));
    }

    // Runs a verb that draws; false (the test then skips or fails) without headless GL.
    bool Draws(const std::string& args, CommandResult* out = nullptr) const {
        const CommandResult result = Fx(args);
        if (out)
            *out = result;
        if (result.status != 0 && result.err.find("OpenGL") != std::string::npos) {
            if (std::getenv("SPARV_REQUIRE_GL"))
                ADD_FAILURE() << "no headless OpenGL: " << result.err;
            return false;
        }
        EXPECT_EQ(result.status, 0) << args << "\n" << result.err;
        return result.status == 0;
    }

    Image Picture(const std::string& file) const {
        Image image;
        std::string reason;
        EXPECT_TRUE(ReadImage((m_dir.root() / file).string(), image, &reason)) << reason;
        return image;
    }

    TempWorkDir m_dir;
};

// The number after "key": in a line of JSON.
double JsonNumber(const std::string& json, const std::string& key, size_t index = 0) {
    size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos)
        return -1;
    at += key.size() + 3;
    for (size_t i = 0; i < index; ++i)
        at = json.find(',', at) + 1;
    while (at < json.size() && (json[at] == ' ' || json[at] == '['))
        ++at;
    return std::strtod(json.c_str() + at, nullptr);
}

} // namespace

TEST_F(ReviewCommands, AnAnimationHoldsTheFramesSizeAndRateAskedForInTheFormatOfItsName) {
    for (const std::string output : {"out.gif", "out.webp"}) {
        SCOPED_TRACE(output);
        CommandResult result;
        if (!Draws("render explosion --frames 12 --fps 24 --size 160x90 -o " + output, &result))
            return;
        EXPECT_EQ(result.out + result.err, "") << "quiet when not on a terminal";
        const std::string path = (m_dir.root() / output).string();
        const AnimationContent animation = output == "out.gif" ? ReadGif(path) : ReadWebp(path);
        ASSERT_TRUE(animation.readable);
        EXPECT_EQ(animation.width, 160);
        EXPECT_EQ(animation.height, 90);
        ASSERT_EQ(animation.frames.size(), 12u);
        int total = 0;
        for (const AnimationFrame& frame : animation.frames)
            total += frame.delayMilliseconds;
        EXPECT_EQ(total, 500);
    }
}

// Straight alpha composited over the preview's background gives back the opaque frames:
// effects drawn replacing (debris), alpha-blended (dust), added (flash, sparks) and added
// by alpha (ripples), over the grid.
TEST_F(ReviewCommands, TransparentFramesCompositeBackToTheOpaqueRender) {
    const Colour background{0.25f, 0.25f, 0.25f, 1.0f};
    for (const char* effect : {"explosion", "ground_dust", "ripples"}) {
        SCOPED_TRACE(effect);
        const std::string common =
            std::string("render ") + effect + " --frames 4 --fps 5 --size 200x120 --grid xz ";
        if (!Draws(common + "-o opaque.png") || !Draws(common + "--transparent -o clear.png"))
            return;
        for (int frame = 1; frame <= 4; ++frame) {
            SCOPED_TRACE(frame);
            const std::string number = "_000" + std::to_string(frame) + ".png";
            const Image opaque = Picture("opaque" + number);
            Image clear = Picture("clear" + number);
            size_t bare = 0;
            for (size_t i = 3; i < clear.rgba.size(); i += 4)
                bare += clear.rgba[i] == 0 ? 1 : 0;
            EXPECT_GT(bare, clear.rgba.size() / 4 / 4) << "most of the background is transparent";
            CompositeOverBackground(clear.rgba.data(), clear.rgba.size() / 4, background);
            const ImageDifference difference = CompareImages(clear, opaque, 2);
            EXPECT_TRUE(difference.Matches())
                << difference.differingPixels << " pixels differ by up to "
                << difference.maxChannelDifference;
        }
    }
}

TEST_F(ReviewCommands, AFailedWriteReportsAndLeavesNoPartialFile) {
    const CommandResult missing = Fx("render explosion --frames 3 -o nowhere/out.gif");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("nowhere/out.gif: No such file or directory"), std::string::npos)
        << missing.err;
    EXPECT_FALSE(fs::exists(m_dir.root() / "nowhere"));

    // A disk that fills up part of the way: files may grow to 8 KiB only.
    fs::create_directory(m_dir.root() / "out");
    m_dir.write("out/keep.gif", "the previous export");
    for (const char* output : {"out/keep.gif", "out/new.webp", "out/frames.png"}) {
        SCOPED_TRACE(output);
        const CommandResult full =
            RunCommand("ulimit -f 16 && trap '' XFSZ && " + std::string(SPARV_FX_EXE) +
                       " render explosion --frames 12 --size 320x180 --wkdir " +
                       ShellQuote(m_dir.root().string()) + " -o " + output);
        if (full.err.find("OpenGL") != std::string::npos)
            return;
        EXPECT_EQ(full.status, 1);
        EXPECT_NE(full.err.find("File too large"), std::string::npos) << full.err;
    }
    EXPECT_EQ(m_dir.list("out"), std::vector<std::string>{"keep.gif"});
    EXPECT_EQ(m_dir.read("out/keep.gif"), "the previous export");
}

// The sheet's cell k is the render at k / fps, cut and scaled as the baker reports; a ring
// plays the written animation, and the library still lints clean.
TEST_F(ReviewCommands, ABakedSheetHoldsTheRendersAndARingPlaysIt) {
    CommandResult bake;
    const std::string camera = " --camera 0,-20,14 ";
    if (!Draws("bake explosion --grid 4x3 --fps 20 --size 48" + camera + "-o Data/art/fx/baked.png",
               &bake))
        return;
    const int renderSize = static_cast<int>(JsonNumber(bake.out, "render"));
    const ImageSquare square{JsonNumber(bake.out, "square", 0), JsonNumber(bake.out, "square", 1),
                             JsonNumber(bake.out, "square", 2)};
    ASSERT_GT(renderSize, 0) << bake.out;
    EXPECT_NE(bake.out.find("\"texture\": \"DATA:art/fx/baked.png\""), std::string::npos)
        << bake.out;
    EXPECT_NE(m_dir.read("Data/art/fx/baked.anim")
                  .find("anim = { texture = \"DATA:art/fx/baked.png\", columns = 4, rows = 3, "
                        "frames = 12, fps = 20 }"),
              std::string::npos)
        << m_dir.read("Data/art/fx/baked.anim");

    const std::string size = std::to_string(renderSize);
    if (!Draws("render explosion --frames 12 --fps 20 --size " + size + "x" + size + camera +
               "--transparent --background 0,0,0 --grid none -o frame.png"))
        return;
    const Image sheet = Picture("Data/art/fx/baked.png");
    ASSERT_EQ(sheet.width, 4 * 48);
    ASSERT_EQ(sheet.height, 3 * 48);
    for (int k = 0; k < 12; ++k) {
        SCOPED_TRACE(k);
        const std::string number = k + 1 < 10 ? "0" + std::to_string(k + 1) : std::to_string(k + 1);
        const Image expected = CropAndScale(Picture("frame_00" + number + ".png"), square, 48);
        Image cell{48, 48, {}};
        for (int y = 0; y < 48; ++y) {
            const auto row = sheet.rgba.begin() + ((k / 4 * 48 + y) * sheet.width + k % 4 * 48) * 4;
            cell.rgba.insert(cell.rgba.end(), row, row + 48 * 4);
        }
        EXPECT_TRUE(CompareImages(cell, expected, 1).Matches());
    }

    m_dir.write(
        "Data/art/fx/baked_ring.lua",
        "fx = { style = \"STYLE_RING\", properties = {\n"
        "  { name = \"Texture\", type = \"VARTYPE_STRING\", value = "
        "\"Data:art/fx/baked.anim\" },\n"
        "  { name = \"Blending\", type = \"VARTYPE_INT\", value = 1 },\n"
        "  { name = \"Radius\", type = \"VARTYPE_ARRAY_TIMEFLOAT\", value = {0, 4, 1, 4} },\n"
        "  { name = \"Duration\", type = \"VARTYPE_FLOAT\", value = 0.6 } } }\n");
    const CommandResult lint = Fx("lint");
    EXPECT_EQ(lint.status, 0) << lint.out;
    EXPECT_EQ(lint.out, "");
    if (!Draws("render baked_ring --time 0.3 --grid none --size 96x96 -o ring.png") ||
        !Draws("render - --grid none --size 96x96 -o empty.png"))
        return;
    const ImageDifference difference = CompareImages(Picture("ring.png"), Picture("empty.png"), 8);
    EXPECT_GT(difference.differingPixels, 50u) << "the ring shows the baked frames";
}

TEST_F(ReviewCommands, ASnapshotRendersItsFrameHeadlessEveryTime) {
    const std::string scene = " --time 0.4 --seed 3 --camera 20,-30,15 --background 0.1,0.1,0.2 "
                              "--size 200x120 ";
    const CommandResult saved =
        Fx("snapshot explosion" + scene + "--note 'too bright' -o review.sparvsnap");
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_NE(m_dir.read("review.sparvsnap").find("note = \"too bright\""), std::string::npos);
    if (!Draws("render --snapshot review.sparvsnap -o first.png") ||
        !Draws("render --snapshot review.sparvsnap -o second.png") ||
        !Draws("render explosion" + scene + "-o direct.png"))
        return;
    EXPECT_EQ(m_dir.read("first.png"), m_dir.read("second.png"));
    EXPECT_TRUE(CompareImages(Picture("first.png"), Picture("direct.png"), 0).Matches());

    // The working directory moves on; the snapshot still shows its own frame, and says so.
    fs::remove(m_dir.root() / "Data/art/fx/flash.lua");
    m_dir.write("Data/art/fx/explosion.lua", m_dir.read("Data/art/fx/explosion.lua") + "\n-- x\n");
    CommandResult later;
    if (!Draws("render --snapshot review.sparvsnap -o later.png", &later))
        return;
    EXPECT_EQ(m_dir.read("later.png"), m_dir.read("first.png"));
    EXPECT_NE(later.err.find("note: type 'flash' has no file in the working directory"),
              std::string::npos)
        << later.err;

    m_dir.write("hostile.sparvsnap", std::string("\x1bLua\x54\x00\x19\x93\r\n\x1a\n", 12));
    const CommandResult hostile = Fx("render --snapshot hostile.sparvsnap -o never.png");
    EXPECT_EQ(hostile.status, 1);
    EXPECT_NE(hostile.err.find("snapshot refused"), std::string::npos) << hostile.err;
    EXPECT_NE(hostile.err.find("binary chunk refused"), std::string::npos) << hostile.err;
    EXPECT_FALSE(fs::exists(m_dir.root() / "never.png"));
}
