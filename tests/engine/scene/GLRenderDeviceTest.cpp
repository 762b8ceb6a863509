// The GL back end drawing into a headless framebuffer, checked pixel by pixel: what each
// render call must do to the picture, and reference pictures of the blend modes.
#include "scene/GLRenderDevice.h"

#include "host/HeadlessGLContext.h"
#include "image/StraightAlpha.h"
#include "scene/Image.h"
#include "support/ReferencePicture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 64;

struct Rgba {
    int r = 0, g = 0, b = 0, a = 0;
};

std::ostream& operator<<(std::ostream& out, const Rgba& c) {
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

Colour ToColour(const Rgba& c) {
    return {static_cast<float>(c.r) / 255.0f, static_cast<float>(c.g) / 255.0f,
            static_cast<float>(c.b) / 255.0f, static_cast<float>(c.a) / 255.0f};
}

// Maps pixel coordinates (x right, y up, from the lower-left corner) to the framebuffer,
// with z passed through as the normalised depth -1 (near) to 1 (far).
Matrix4 PixelProjection() {
    Matrix4 m;
    m.m[0][0] = 2.0f / kSize;
    m.m[1][1] = 2.0f / kSize;
    m.SetTranslation({-1.0f, -1.0f, 0.0f});
    return m;
}

// A perspective projection for row vectors, looking down -z, 90 degrees high.
Matrix4 Perspective(float nearDistance, float farDistance) {
    Matrix4 m;
    m.m[2][2] = (farDistance + nearDistance) / (nearDistance - farDistance);
    m.m[2][3] = -1.0f;
    m.m[3][2] = 2.0f * farDistance * nearDistance / (nearDistance - farDistance);
    m.m[3][3] = 0.0f;
    return m;
}

RenderVertex Vertex(float x, float y, float z, const Colour& colour, float u = 0.0f,
                    float v = 0.0f) {
    return {{x, y, z}, colour, u, v};
}

// A quad from (x0, y0) to (x1, y1), counter-clockwise, uv 0 to 1 unless given.
void AppendQuad(std::vector<RenderVertex>& out, float x0, float y0, float x1, float y1, float z,
                const Colour& colour, float u0 = 0.0f, float v0 = 0.0f, float u1 = 1.0f,
                float v1 = 1.0f) {
    out.push_back(Vertex(x0, y0, z, colour, u0, v0));
    out.push_back(Vertex(x1, y0, z, colour, u1, v0));
    out.push_back(Vertex(x1, y1, z, colour, u1, v1));
    out.push_back(Vertex(x0, y1, z, colour, u0, v1));
}

void DrawQuad(RenderDevice& device, float x0, float y0, float x1, float y1, float z,
              const Colour& colour, float u0 = 0.0f, float v0 = 0.0f, float u1 = 1.0f,
              float v1 = 1.0f) {
    std::vector<RenderVertex> quad;
    AppendQuad(quad, x0, y0, x1, y1, z, colour, u0, v0, u1, v1);
    device.Draw(Primitive::Quads, quad.data(), quad.size());
}

// Options with one switch set.
GLRenderDeviceOptions With(bool GLRenderDeviceOptions::*option, bool on = true) {
    GLRenderDeviceOptions options;
    options.*option = on;
    return options;
}

constexpr Colour kRed{1.0f, 0.0f, 0.0f, 1.0f};
constexpr Colour kGreen{0.0f, 1.0f, 0.0f, 1.0f};
constexpr Colour kBlue{0.0f, 0.0f, 1.0f, 1.0f};
constexpr Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr Rgba kBackground{40, 80, 160, 255};

bool Near(const Rgba& actual, const Rgba& expected, int tolerance) {
    return std::abs(actual.r - expected.r) <= tolerance &&
           std::abs(actual.g - expected.g) <= tolerance &&
           std::abs(actual.b - expected.b) <= tolerance &&
           std::abs(actual.a - expected.a) <= tolerance;
}

class GLRenderDeviceTest : public testing::Test {
protected:
    static void SetUpTestSuite() { s_context = HeadlessGLContext::Create(kSize, kSize, &s_reason); }
    static void TearDownTestSuite() { s_context.reset(); }

    void SetUp() override {
        SPARV_REQUIRE_HEADLESS_GL(s_context, s_reason);
        ASSERT_TRUE(s_context->MakeCurrent());
        m_device = MakeDevice({});
        ASSERT_NE(m_device, nullptr);
    }
    void TearDown() override { m_device.reset(); }

    // A device drawing in pixel coordinates on a cleared kBackground picture.
    static std::unique_ptr<GLRenderDevice> MakeDevice(const GLRenderDeviceOptions& options) {
        std::string reason;
        auto device = GLRenderDevice::Create(options, &reason);
        EXPECT_NE(device, nullptr) << reason;
        if (!device)
            return nullptr;
        device->SetViewport({0, 0, kSize, kSize});
        device->LoadMatrix(MatrixStack::Projection, PixelProjection());
        device->SetClearColour(ToColour(kBackground));
        device->Clear(kClearAll);
        return device;
    }

    static Image Picture() { return {kSize, kSize, s_context->ReadPixels()}; }

    // The pixel x across, y up from the lower-left corner.
    static Rgba At(const Image& picture, int x, int y) {
        const size_t at = (static_cast<size_t>(kSize - 1 - y) * kSize + static_cast<size_t>(x)) * 4;
        return {picture.rgba[at], picture.rgba[at + 1], picture.rgba[at + 2], picture.rgba[at + 3]};
    }

    // Pixels of the rectangle [x0, x1] x [y0, y1] (inclusive) that are not near expected.
    static int CountOff(const Image& picture, int x0, int y0, int x1, int y1, const Rgba& expected,
                        int tolerance = 0) {
        int off = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                off += Near(At(picture, x, y), expected, tolerance) ? 0 : 1;
        return off;
    }

    // Pixels of [x0, x1] x [y0, y1] that are not colour, and of the one-pixel ring around
    // it that are not the background.
    static int CountOffBox(const Image& picture, int x0, int y0, int x1, int y1,
                           const Rgba& colour) {
        return CountOff(picture, x0, y0, x1, y1, colour) +
               CountOff(picture, x0 - 1, y0 - 1, x1 + 1, y0 - 1, kBackground) +
               CountOff(picture, x0 - 1, y1 + 1, x1 + 1, y1 + 1, kBackground) +
               CountOff(picture, x0 - 1, y0, x0 - 1, y1, kBackground) +
               CountOff(picture, x1 + 1, y0, x1 + 1, y1, kBackground);
    }

    // 4 x 4 texels of changing colour and alpha, some transparent.
    TextureId GradientTexture(RenderDevice& device) const {
        std::vector<uint8_t> gradient;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                gradient.insert(gradient.end(),
                                {static_cast<uint8_t>(x * 85), static_cast<uint8_t>(y * 85),
                                 static_cast<uint8_t>(255 - x * 40),
                                 static_cast<uint8_t>((x + y) * 42)});
        return device.CreateTexture(4, 4, gradient.data());
    }

    TextureId SolidTexture(const Rgba& colour) {
        std::vector<uint8_t> pixels;
        for (int i = 0; i < 4; ++i)
            pixels.insert(pixels.end(),
                          {static_cast<uint8_t>(colour.r), static_cast<uint8_t>(colour.g),
                           static_cast<uint8_t>(colour.b), static_cast<uint8_t>(colour.a)});
        return m_device->CreateTexture(2, 2, pixels.data());
    }

    static inline std::unique_ptr<HeadlessGLContext> s_context;
    static inline std::string s_reason;
    std::unique_ptr<GLRenderDevice> m_device;
};

// ---- blending ----

struct BlendRow {
    BlendMode mode;
    const char* file;
    // The blend equation, per channel: source s, its alpha sa, destination d.
    std::function<float(float s, float sa, float d)> equation;
};

const BlendRow kBlendRows[] = {
    {BlendMode::None, "blend_none.png", [](float s, float, float) { return s; }},
    {BlendMode::Alpha, "blend_alpha.png",
     [](float s, float sa, float d) { return s * sa + d * (1.0f - sa); }},
    {BlendMode::Additive, "blend_additive.png", [](float s, float, float d) { return s + d; }},
    {BlendMode::Multiply, "blend_multiply.png", [](float s, float, float d) { return s * d; }},
    {BlendMode::AdditiveAlpha, "blend_additive_alpha.png",
     [](float s, float sa, float d) { return s * sa + d; }},
};

TEST_F(GLRenderDeviceTest, EachBlendModeMixesATexturedQuadByItsEquation) {
    const Rgba texel{200, 100, 50, 128};
    const TextureId texture = SolidTexture(texel);
    ASSERT_NE(texture, 0u);
    const Colour s = ToColour(texel);
    const Colour d = ToColour(kBackground);
    for (const BlendRow& row : kBlendRows) {
        SCOPED_TRACE(BlendModeName(row.mode));
        m_device->Disable(RenderState::Blending);
        m_device->Clear(kClearAll);
        m_device->Enable(RenderState::Blending);
        m_device->Enable(RenderState::Texturing);
        m_device->BindTexture(texture);
        m_device->SetBlendMode(row.mode);
        DrawQuad(*m_device, 16, 16, 48, 48, 0.0f, kWhite);

        auto channel = [&](float source, float destination) {
            const float value = std::clamp(row.equation(source, s.a, destination), 0.0f, 1.0f);
            return static_cast<int>(std::lround(value * 255.0f));
        };
        const Rgba expected{channel(s.r, d.r), channel(s.g, d.g), channel(s.b, d.b),
                            channel(s.a, d.a)};
        const Image picture = Picture();
        EXPECT_TRUE(Near(At(picture, 32, 32), expected, 2))
            << At(picture, 32, 32) << " expected " << expected;
        EXPECT_EQ(CountOff(picture, 16, 16, 47, 47, expected, 2), 0);
        EXPECT_EQ(At(picture, 8, 8).r, kBackground.r);
    }
}

// The reference pictures: a gradient texture with transparent texels, in coloured
// corners, over a background of two halves that differ in colour and alpha. Run with
// SPARV_UPDATE_REFERENCES=1 to write them anew into tests/data/render.
TEST_F(GLRenderDeviceTest, BlendModesMatchTheirReferencePictures) {
    const TextureId texture = GradientTexture(*m_device);
    ASSERT_NE(texture, 0u);
    for (const BlendRow& row : kBlendRows) {
        SCOPED_TRACE(row.file);
        m_device->Disable(RenderState::Blending);
        m_device->Disable(RenderState::Texturing);
        DrawQuad(*m_device, 0, 0, kSize / 2, kSize, 0.0f, ToColour(kBackground));
        DrawQuad(*m_device, kSize / 2, 0, kSize, kSize, 0.0f, {0.9f, 0.9f, 0.8f, 0.5f});

        m_device->Enable(RenderState::Blending);
        m_device->SetBlendMode(row.mode);
        m_device->Enable(RenderState::Texturing);
        m_device->BindTexture(texture, TextureWrap::Clamp);
        const RenderVertex quad[] = {
            Vertex(6, 6, 0, {1.0f, 1.0f, 1.0f, 1.0f}, 0, 0),
            Vertex(58, 6, 0, {1.0f, 0.5f, 0.5f, 1.0f}, 1, 0),
            Vertex(58, 58, 0, {0.5f, 1.0f, 0.5f, 0.5f}, 1, 1),
            Vertex(6, 58, 0, {0.5f, 0.5f, 1.0f, 1.0f}, 0, 1),
        };
        m_device->Draw(Primitive::Quads, quad, 4);
        ExpectMatchesReference(Picture(), row.file, 2);
    }
}

// Coverage alpha draws colour exactly as without it, and keeps coverage in alpha so that
// the frame becomes a picture with a transparent background which, laid over the same
// background, gives the opaque picture back: for every blend mode, over a draw without
// blending and under an alpha-blended one.
TEST_F(GLRenderDeviceTest, CoverageAlphaGivesPicturesThatCompositeBackForEveryBlendMode) {
    const Colour background = ToColour(kBackground);
    auto draw = [&](bool coverage, BlendMode mode) {
        auto device = MakeDevice(With(&GLRenderDeviceOptions::coverageAlpha, coverage));
        device->SetClearColour({background.r, background.g, background.b, coverage ? 0.0f : 1.0f});
        device->Clear(kClearAll);
        DrawQuad(*device, 30, 30, 60, 60, 0.0f, {0.9f, 0.2f, 0.1f, 0.6f});
        device->Enable(RenderState::Blending);
        device->SetBlendMode(mode);
        device->Enable(RenderState::Texturing);
        device->BindTexture(GradientTexture(*device), TextureWrap::Clamp);
        DrawQuad(*device, 6, 6, 50, 50, 0.0f, {1.0f, 0.8f, 0.6f, 0.9f});
        device->Disable(RenderState::Texturing);
        device->SetBlendMode(BlendMode::Alpha);
        DrawQuad(*device, 20, 10, 40, 30, 0.0f, {0.2f, 0.9f, 0.3f, 0.5f});
        return Picture();
    };
    for (const BlendRow& row : kBlendRows) {
        SCOPED_TRACE(BlendModeName(row.mode));
        Image opaque = draw(false, row.mode);
        Image transparent = draw(true, row.mode);
        for (size_t i = 0; i < opaque.rgba.size(); ++i)
            if (i % 4 != 3) {
                ASSERT_EQ(transparent.rgba[i], opaque.rgba[i]) << "colour differs at " << i / 4;
            }
        CoverageToStraightAlpha(transparent.rgba.data(), transparent.rgba.size() / 4, background);
        EXPECT_EQ(At(transparent, 2, 62).a, 0) << "the bare background is transparent";
        if (row.mode == BlendMode::Alpha || row.mode == BlendMode::None) {
            EXPECT_GE(At(transparent, 45, 45).a, 250) << "covered parts are opaque";
        }
        CompositeOverBackground(transparent.rgba.data(), transparent.rgba.size() / 4, background);
        for (size_t i = 3; i < opaque.rgba.size(); i += 4)
            opaque.rgba[i] = 255;
        const ImageDifference difference = CompareImages(transparent, opaque, 1);
        EXPECT_TRUE(difference.Matches())
            << difference.differingPixels << " pixels differ by up to "
            << difference.maxChannelDifference;
    }
}

// ---- depth ----

TEST_F(GLRenderDeviceTest, DepthFunctionsCompareWithTheStoredDepth) {
    const struct {
        DepthFunction function;
        bool nearer, equal, further; // whether a fragment at each depth passes
    } rows[] = {
        {DepthFunction::Never, false, false, false},
        {DepthFunction::Less, true, false, false},
        {DepthFunction::Equal, false, true, false},
        {DepthFunction::LessEqual, true, true, false},
        {DepthFunction::Greater, false, false, true},
        {DepthFunction::NotEqual, true, false, true},
        {DepthFunction::GreaterEqual, false, true, true},
        {DepthFunction::Always, true, true, true},
    };
    m_device->Enable(RenderState::DepthTest);
    for (const auto& row : rows) {
        SCOPED_TRACE(DepthFunctionName(row.function));
        const struct {
            float z;
            bool passes;
        } cases[] = {{-0.5f, row.nearer}, {0.0f, row.equal}, {0.5f, row.further}};
        for (const auto& test : cases) {
            SCOPED_TRACE(test.z);
            m_device->Clear(kClearAll);
            m_device->SetDepthFunction(DepthFunction::Always);
            DrawQuad(*m_device, 0, 0, kSize, kSize, 0.0f, kRed);
            m_device->SetDepthFunction(row.function);
            DrawQuad(*m_device, 16, 16, 48, 48, test.z, kGreen);
            const Rgba expected = test.passes ? Rgba{0, 255, 0, 255} : Rgba{255, 0, 0, 255};
            EXPECT_EQ(CountOff(Picture(), 16, 16, 47, 47, expected), 0);
        }
    }
}

TEST_F(GLRenderDeviceTest, DepthWritesOffKeepTheDepthBufferButClearingItStillWorks) {
    m_device->Enable(RenderState::DepthTest);
    DrawQuad(*m_device, 0, 0, kSize, kSize, 0.0f, kRed);
    DrawQuad(*m_device, 0, 0, kSize, kSize, 0.5f, kGreen); // behind: hidden
    EXPECT_EQ(CountOff(Picture(), 0, 0, kSize - 1, kSize - 1, {255, 0, 0, 255}), 0);

    m_device->SetDepthWrite(false);
    DrawQuad(*m_device, 0, 0, kSize, kSize, -0.5f, kBlue);    // in front, writes no depth
    DrawQuad(*m_device, 0, 32, kSize, kSize, -0.25f, kGreen); // behind blue, before red
    const Image picture = Picture();
    EXPECT_EQ(CountOff(picture, 0, 0, kSize - 1, 31, {0, 0, 255, 255}), 0);
    EXPECT_EQ(CountOff(picture, 0, 32, kSize - 1, kSize - 1, {0, 255, 0, 255}), 0);

    // Clearing depth needs no depth writes, and leaves them off.
    m_device->Clear(kClearDepth);
    DrawQuad(*m_device, 0, 0, kSize, kSize, 0.5f, kRed);   // passes only a cleared buffer
    DrawQuad(*m_device, 0, 0, kSize, kSize, 0.75f, kBlue); // passes: red wrote nothing
    EXPECT_EQ(CountOff(Picture(), 0, 0, kSize - 1, kSize - 1, {0, 0, 255, 255}), 0);
}

TEST_F(GLRenderDeviceTest, JoinsDrawsOfOneStateAndDrawsThemBeforeTheStateChanges) {
    // Two triangles per quad, as the particle styles submit them.
    const auto triangles = [](float x0, float x1, const Colour& colour) {
        return std::vector<RenderVertex>{
            Vertex(x0, 0, 0, colour), Vertex(x0, kSize, 0, colour), Vertex(x1, 0, 0, colour),
            Vertex(x1, 0, 0, colour), Vertex(x0, kSize, 0, colour), Vertex(x1, kSize, 0, colour)};
    };
    const auto left = triangles(0, 32, {0.5f, 0.0f, 0.0f, 1.0f});
    const auto right = triangles(32, kSize, {0.5f, 0.0f, 0.0f, 1.0f});
    const uint64_t before = m_device->MergedDraws();
    m_device->Enable(RenderState::Blending);
    m_device->SetBlendMode(BlendMode::Additive);
    m_device->Draw(Primitive::Triangles, left.data(), left.size());
    m_device->SetBlendMode(BlendMode::Additive); // the same state: the draws join
    m_device->Draw(Primitive::Triangles, right.data(), right.size());
    m_device->Draw(Primitive::Triangles, left.data(), left.size());
    // The joined draw is made before blending changes, so it adds, and what follows
    // replaces.
    m_device->SetBlendMode(BlendMode::None);
    EXPECT_EQ(m_device->MergedDraws(), before + 1);
    const auto top = triangles(0, 16, kBlue);
    m_device->Draw(Primitive::Triangles, top.data(), top.size());
    EXPECT_EQ(m_device->GetCounters().drawCalls, 4u); // every submission still counts
    const Image picture = Picture();                  // reading back draws what waits
    EXPECT_EQ(CountOff(picture, 0, 0, 15, kSize - 1, {0, 0, 255, 255}), 0);
    EXPECT_EQ(CountOff(picture, 16, 0, 31, kSize - 1, {255, 80, 160, 255}, 2), 0);
    EXPECT_EQ(CountOff(picture, 32, 0, kSize - 1, kSize - 1, {168, 80, 160, 255}, 2), 0);
}

TEST_F(GLRenderDeviceTest, PolygonOffsetPullsACoplanarQuadInFront) {
    m_device->Enable(RenderState::DepthTest);
    DrawQuad(*m_device, 0, 0, kSize, kSize, 0.0f, kRed);
    DrawQuad(*m_device, 0, 0, kSize / 2, kSize, 0.0f, kGreen); // fails Less
    m_device->SetPolygonOffset(-1.0f, -4.0f);
    DrawQuad(*m_device, kSize / 2, 0, kSize, kSize, 0.0f, kBlue); // passes
    m_device->SetPolygonOffset(0.0f, 0.0f);
    DrawQuad(*m_device, kSize / 2, 0, kSize, kSize / 2, 0.0f, kGreen); // fails again
    const Image picture = Picture();
    EXPECT_EQ(CountOff(picture, 0, 0, kSize / 2 - 1, kSize - 1, {255, 0, 0, 255}), 0);
    EXPECT_EQ(CountOff(picture, kSize / 2, 0, kSize - 1, kSize - 1, {0, 0, 255, 255}), 0);
}

// ---- textures and the shader's switches ----

TEST_F(GLRenderDeviceTest, TextureRowsGoBottomFirstAndWrapAsBound) {
    // Two texels across (red, green) and two rows up (the top row dimmed to half).
    const uint8_t pixels[] = {255, 0, 0, 255, 0, 255, 0, 255, 128, 0, 0, 255, 0, 128, 0, 255};
    const TextureId texture = m_device->CreateTexture(2, 2, pixels);
    ASSERT_NE(texture, 0u);
    m_device->Enable(RenderState::Texturing);

    // Twice across: repeated, the right half shows red then green again; clamped, green.
    for (TextureWrap wrap : {TextureWrap::Repeat, TextureWrap::Clamp}) {
        SCOPED_TRACE(wrap == TextureWrap::Repeat ? "Repeat" : "Clamp");
        m_device->BindTexture(texture, wrap);
        DrawQuad(*m_device, 0, 0, kSize, kSize, 0.0f, kWhite, 0.0f, 0.0f, 2.0f, 1.0f);
        // Sampled near texel centres: rows a quarter and three quarters up.
        const Image picture = Picture();
        const Rgba bottomLeft = At(picture, 8, 16);
        const Rgba topLeft = At(picture, 8, 48);
        EXPECT_GT(bottomLeft.r, 200) << bottomLeft;
        EXPECT_LT(bottomLeft.g, 40) << bottomLeft;
        EXPECT_NEAR(topLeft.r, 128, 12) << topLeft;
        EXPECT_GT(At(picture, 24, 16).g, 200);
        const Rgba rightQuarter = At(picture, 40, 16);
        if (wrap == TextureWrap::Repeat) {
            EXPECT_GT(rightQuarter.r, 200) << rightQuarter;
        } else {
            EXPECT_EQ(rightQuarter.r, 0) << rightQuarter;
            EXPECT_GT(rightQuarter.g, 240) << rightQuarter;
        }
    }
}

TEST_F(GLRenderDeviceTest, TexturingNeedsTheSwitchAndABoundTexture) {
    const TextureId texture = SolidTexture({255, 255, 0, 255});
    const Colour tint{0.5f, 1.0f, 1.0f, 1.0f};
    const Rgba tinted{128, 255, 0, 255};
    const Rgba untextured{128, 255, 255, 255};

    m_device->BindTexture(texture);
    DrawQuad(*m_device, 0, 0, kSize, kSize, 0.0f, tint);
    EXPECT_TRUE(Near(At(Picture(), 32, 32), untextured, 1)) << "switch off";

    m_device->Enable(RenderState::Texturing);
    DrawQuad(*m_device, 0, 0, kSize, kSize, 0.0f, tint);
    EXPECT_TRUE(Near(At(Picture(), 32, 32), tinted, 1)) << "switch on, texture bound";

    m_device->BindTexture(0);
    DrawQuad(*m_device, 0, 0, kSize, kSize, 0.0f, tint);
    EXPECT_TRUE(Near(At(Picture(), 32, 32), untextured, 1)) << "no texture bound";

    m_device->BindTexture(texture);
    m_device->DestroyTexture(texture);
    DrawQuad(*m_device, 0, 0, kSize, kSize, 0.0f, tint);
    EXPECT_TRUE(Near(At(Picture(), 32, 32), untextured, 1)) << "bound texture destroyed";
}

TEST_F(GLRenderDeviceTest, AlphaTestDropsTransparentFragmentsColourAndDepth) {
    // Left texel transparent, right opaque; clamped, so each covers a half.
    const uint8_t pixels[] = {255, 0, 0, 0, 255, 0, 0, 255};
    const TextureId texture = m_device->CreateTexture(2, 1, pixels);
    m_device->Enable(RenderState::Texturing);
    m_device->BindTexture(texture, TextureWrap::Clamp);
    m_device->Enable(RenderState::DepthTest);
    m_device->Enable(RenderState::AlphaTest);
    DrawQuad(*m_device, 0, 0, kSize, kSize, 0.0f, kWhite);
    m_device->Disable(RenderState::Texturing);
    DrawQuad(*m_device, 0, 0, kSize, kSize, 0.5f, kGreen); // behind what was written
    Image picture = Picture();
    EXPECT_EQ(CountOff(picture, 0, 0, 15, kSize - 1, {0, 255, 0, 255}), 0);
    EXPECT_EQ(CountOff(picture, 48, 0, kSize - 1, kSize - 1, {255, 0, 0, 255}), 0);

    m_device->Disable(RenderState::AlphaTest);
    m_device->Enable(RenderState::Texturing);
    DrawQuad(*m_device, 0, 0, kSize, kSize, -0.5f, kWhite);
    picture = Picture();
    EXPECT_EQ(CountOff(picture, 0, 0, 15, kSize - 1, {255, 0, 0, 0}), 0);
}

TEST_F(GLRenderDeviceTest, FaceCullingDropsClockwiseQuads) {
    const RenderVertex clockwise[] = {Vertex(0, 0, 0, kRed), Vertex(0, kSize, 0, kRed),
                                      Vertex(kSize, kSize, 0, kRed), Vertex(kSize, 0, 0, kRed)};
    m_device->Enable(RenderState::FaceCulling);
    m_device->Draw(Primitive::Quads, clockwise, 4);
    DrawQuad(*m_device, 0, 0, kSize / 2, kSize, 0.0f, kGreen); // counter-clockwise: kept
    Image picture = Picture();
    EXPECT_EQ(CountOff(picture, 0, 0, kSize / 2 - 1, kSize - 1, {0, 255, 0, 255}), 0);
    EXPECT_EQ(CountOff(picture, kSize / 2, 0, kSize - 1, kSize - 1, kBackground), 0);

    m_device->Disable(RenderState::FaceCulling);
    m_device->Draw(Primitive::Quads, clockwise, 4);
    EXPECT_EQ(CountOff(Picture(), 0, 0, kSize - 1, kSize - 1, {255, 0, 0, 255}), 0);
}

// ---- matrices ----

TEST_F(GLRenderDeviceTest, MatricesMapRowVectorsModelViewFirst) {
    // A quarter turn about z, then a move: the point (8, 0) turns to (0, 8) and moves to
    // (10, 13). Applied in the other order, or transposed, it lands elsewhere.
    Matrix4 turn;
    turn.SetRow(0, {0.0f, 1.0f, 0.0f});
    turn.SetRow(1, {-1.0f, 0.0f, 0.0f});
    Matrix4 move;
    move.SetTranslation({10.0f, 5.0f, 0.0f});
    m_device->LoadMatrix(MatrixStack::ModelView, move);
    m_device->PushMatrix(MatrixStack::ModelView);
    m_device->MultiplyMatrix(MatrixStack::ModelView, turn);
    const RenderVertex point = Vertex(8.5f, -0.5f, 0, kRed); // a pixel centre once moved
    m_device->Draw(Primitive::Points, &point, 1);
    m_device->PopMatrix(MatrixStack::ModelView);
    m_device->Draw(Primitive::Points, &point, 1); // moved only: (18.5, 4.5)

    const Image picture = Picture();
    EXPECT_TRUE(Near(At(picture, 10, 13), {255, 0, 0, 255}, 0)) << At(picture, 10, 13);
    EXPECT_TRUE(Near(At(picture, 18, 4), {255, 0, 0, 255}, 0)) << At(picture, 18, 4);
    EXPECT_EQ(CountOff(picture, 0, 0, kSize - 1, kSize - 1, kBackground), 2); // nothing else
}

// ---- points and lines ----

TEST_F(GLRenderDeviceTest, PointsAreSquaresOfThePointSize) {
    const RenderVertex big = Vertex(20, 20, 0, kRed);
    const RenderVertex small = Vertex(40.5f, 40.5f, 0, kGreen);
    m_device->SetPointSize(4.0f);
    m_device->Draw(Primitive::Points, &big, 1);
    m_device->SetPointSize(1.0f);
    m_device->Draw(Primitive::Points, &small, 1);
    const Image picture = Picture();
    EXPECT_EQ(CountOffBox(picture, 18, 18, 21, 21, {255, 0, 0, 255}), 0);
    EXPECT_EQ(CountOffBox(picture, 40, 40, 40, 40, {0, 255, 0, 255}), 0);
}

// Every wide-line check runs twice: as the driver draws them, and expanded into quads.
class GLRenderDeviceLineTest : public GLRenderDeviceTest, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        GLRenderDeviceTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (GetParam()) {
            m_device = MakeDevice(With(&GLRenderDeviceOptions::expandWideLines));
            ASSERT_NE(m_device, nullptr);
            EXPECT_EQ(m_device->NativeLineWidthLimit(), 1.0f);
        } else if (m_device->NativeLineWidthLimit() < 5.0f) {
            GTEST_SKIP() << "the driver draws no lines wider than "
                         << m_device->NativeLineWidthLimit();
        }
    }
};

INSTANTIATE_TEST_SUITE_P(, GLRenderDeviceLineTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& row) {
                             return row.param ? "Expanded" : "Native";
                         });

TEST_P(GLRenderDeviceLineTest, WideLinesCoverTheirWidthAcross) {
    m_device->SetLineWidth(5.0f);
    const RenderVertex across[] = {Vertex(8, 32.5f, 0, kRed), Vertex(56, 32.5f, 0, kRed)};
    m_device->Draw(Primitive::Lines, across, 2);
    m_device->SetLineWidth(3.0f);
    const RenderVertex up[] = {Vertex(20.5f, 40, 0, kGreen), Vertex(20.5f, 60, 0, kGreen)};
    m_device->Draw(Primitive::Lines, up, 2);

    const Image picture = Picture();
    EXPECT_EQ(CountOff(picture, 12, 30, 52, 34, {255, 0, 0, 255}), 0); // rows 30 to 34
    EXPECT_EQ(CountOff(picture, 12, 29, 52, 29, kBackground), 0);
    EXPECT_EQ(CountOff(picture, 12, 35, 52, 35, kBackground), 0);
    EXPECT_EQ(CountOff(picture, 0, 30, 5, 34, kBackground), 0);
    EXPECT_EQ(CountOff(picture, 59, 30, 63, 34, kBackground), 0);
    EXPECT_EQ(CountOff(picture, 19, 44, 21, 56, {0, 255, 0, 255}), 0); // columns 19 to 21
    EXPECT_EQ(CountOff(picture, 18, 44, 18, 56, kBackground), 0);
    EXPECT_EQ(CountOff(picture, 22, 44, 22, 56, kBackground), 0);
}

TEST_P(GLRenderDeviceLineTest, WideLineStripsKeepColoursAndTextureAlongTheLine) {
    // Red at u = 0 to blue at u = 1, clamped; the vertex colours fade white to half grey.
    const uint8_t pixels[] = {255, 0, 0, 255, 0, 0, 255, 255};
    const TextureId texture = m_device->CreateTexture(2, 1, pixels);
    m_device->Enable(RenderState::Texturing);
    m_device->BindTexture(texture, TextureWrap::Clamp);
    m_device->SetLineWidth(4.0f);
    const Colour grey{0.5f, 0.5f, 0.5f, 1.0f};
    const RenderVertex strip[] = {Vertex(8, 10, 0, kWhite, 0.0f, 0.5f),
                                  Vertex(56, 10, 0, kWhite, 1.0f, 0.5f),
                                  Vertex(56, 58, 0, grey, 1.0f, 0.5f)};
    m_device->Draw(Primitive::LineStrip, strip, 3);

    const Image picture = Picture();
    const Rgba start = At(picture, 12, 10);
    const Rgba end = At(picture, 50, 10);
    EXPECT_GT(start.r, 200) << start;
    EXPECT_LT(start.b, 50) << start;
    EXPECT_GT(end.b, 200) << end;
    EXPECT_LT(end.r, 50) << end;
    const Rgba up = At(picture, 56, 34); // blue, halfway to grey
    EXPECT_NEAR(up.b, 191, 6) << up;
    for (int y = 16; y <= 52; ++y)
        for (int x = 55; x <= 57; ++x)
            EXPECT_GT(At(picture, x, y).b, 120) << x << ", " << y;
    EXPECT_EQ(CountOff(picture, 20, 20, 44, 50, kBackground), 0);
}

TEST_P(GLRenderDeviceLineTest, WideLinesPassingBehindTheEyeDrawOnlyTheirVisiblePart) {
    // 90 degrees high: a point at depth 2 and x = -1 is a quarter of the way in from the
    // left edge; the line runs from there past the eye, leaving the picture on the left.
    m_device->LoadMatrix(MatrixStack::Projection, Perspective(0.1f, 100.0f));
    m_device->SetLineWidth(4.0f);
    const RenderVertex line[] = {Vertex(-1, 0, -2, kRed), Vertex(-1, 0, 2, kRed)};
    m_device->Draw(Primitive::Lines, line, 2);

    const Image picture = Picture();
    EXPECT_EQ(CountOff(picture, 0, 30, 14, 33, {255, 0, 0, 255}), 0); // rows 30 to 33
    EXPECT_EQ(CountOff(picture, 18, 0, kSize - 1, kSize - 1, kBackground), 0);
    EXPECT_EQ(CountOff(picture, 0, 0, kSize - 1, 29, kBackground), 0);
    EXPECT_EQ(CountOff(picture, 0, 34, kSize - 1, kSize - 1, kBackground), 0);
}

// ---- batches and the streaming buffer ----

TEST_F(GLRenderDeviceTest, SixtyFourQuadsInOneDrawEachLandInTheirCell) {
    std::vector<RenderVertex> quads;
    auto colourOf = [](int column, int row) {
        return Rgba{column * 32, row * 32, 255 - column * 16, 255};
    };
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column)
            AppendQuad(quads, column * 8.0f + 2, row * 8.0f + 2, column * 8.0f + 6, row * 8.0f + 6,
                       0.0f, ToColour(colourOf(column, row)));
    m_device->ResetCounters();
    m_device->Draw(Primitive::Quads, quads.data(), quads.size());
    EXPECT_EQ(m_device->GetCounters().drawCalls, 1u);
    EXPECT_EQ(m_device->GetCounters().primitives, 128u);

    const Image picture = Picture();
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column) {
            SCOPED_TRACE(testing::Message() << "cell " << column << ", " << row);
            EXPECT_EQ(CountOff(picture, column * 8 + 2, row * 8 + 2, column * 8 + 5, row * 8 + 5,
                               colourOf(column, row), 1),
                      0);
            EXPECT_EQ(
                CountOff(picture, column * 8, row * 8, column * 8 + 1, row * 8 + 7, kBackground),
                0);
        }
}

TEST_F(GLRenderDeviceTest, TheVertexRingAllocatesNothingAfterWarmUpAndDrawsRightAfterWrapping) {
    // Expanded wide lines stream vertices of another size through the same ring.
    m_device = MakeDevice(With(&GLRenderDeviceOptions::expandWideLines));
    ASSERT_NE(m_device, nullptr);
    const uint64_t warm = m_device->BufferAllocations();
    const size_t capacity = m_device->VertexBufferCapacity();

    std::vector<RenderVertex> batches[2];
    for (int colour = 0; colour < 2; ++colour)
        for (int quad = 0; quad < 64; ++quad)
            AppendQuad(batches[colour], static_cast<float>(quad % 8) * 8, 0,
                       static_cast<float>(quad % 8) * 8 + 8, 32, 0.0f, colour == 0 ? kRed : kGreen);
    const RenderVertex line[] = {Vertex(0, 48.5f, 0, kBlue), Vertex(kSize, 48.5f, 0, kBlue)};
    m_device->SetLineWidth(3.0f);
    const size_t perRound = batches[0].size() * sizeof(RenderVertex) + 2 * 40;
    const size_t rounds = capacity / perRound * 2 + 10; // wraps the ring twice
    for (size_t round = 0; round < rounds; ++round) {
        m_device->Draw(Primitive::Quads, batches[round % 2].data(), batches[round % 2].size());
        m_device->Draw(Primitive::Lines, line, 2);
    }
    EXPECT_EQ(m_device->BufferAllocations(), warm);
    EXPECT_GE(m_device->BufferOrphans(), 2u);
    Image picture = Picture();
    const Rgba last = rounds % 2 == 1 ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 0, 255};
    EXPECT_EQ(CountOff(picture, 0, 0, kSize - 1, 31, last), 0);
    EXPECT_EQ(CountOff(picture, 0, 47, kSize - 1, 49, {0, 0, 255, 255}), 0);

    // A draw bigger than the ring grows it once; the same draw again allocates nothing.
    std::vector<RenderVertex> huge;
    while (huge.size() * sizeof(RenderVertex) <= capacity)
        AppendQuad(huge, 0, 0, kSize, 32, 0.0f, kBlue);
    m_device->Draw(Primitive::Quads, huge.data(), huge.size());
    const uint64_t grown = m_device->BufferAllocations();
    EXPECT_GT(grown, warm);
    EXPECT_GT(m_device->VertexBufferCapacity(), capacity);
    m_device->Draw(Primitive::Quads, batches[0].data(), batches[0].size());
    m_device->Draw(Primitive::Quads, huge.data(), huge.size());
    EXPECT_EQ(m_device->BufferAllocations(), grown);
    EXPECT_EQ(CountOff(Picture(), 0, 0, kSize - 1, 31, {0, 0, 255, 255}), 0);
}

TEST_F(GLRenderDeviceTest, EveryDrawLandsWhereItWasWrittenWhenTheRingEntersAHalf) {
    // The ring's halves are not whole vertices long: a draw that enters the second half must
    // start at a vertex boundary, or it reads its vertices shifted.
    const size_t capacity = m_device->VertexBufferCapacity();
    ASSERT_NE(capacity / 2 % sizeof(RenderVertex), 0u);
    std::vector<RenderVertex> cover;
    for (int quad = 0; quad < 40; ++quad)
        AppendQuad(cover, 0, 0, kSize, kSize, 0.0f, kRed);
    const size_t draws = capacity / (cover.size() * sizeof(RenderVertex)) * 2 + 2;
    int wrong = 0;
    for (size_t draw = 0; draw < draws; ++draw) {
        const Colour colour = draw % 2 == 0 ? kRed : kGreen;
        for (RenderVertex& vertex : cover)
            vertex.colour = colour;
        m_device->Draw(Primitive::Quads, cover.data(), cover.size());
        const Rgba expected = draw % 2 == 0 ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 0, 255};
        if (CountOff(Picture(), 0, 0, kSize - 1, kSize - 1, expected) != 0)
            ++wrong;
    }
    EXPECT_GE(m_device->BufferOrphans(), 1u); // both halves were entered
    EXPECT_EQ(wrong, 0);
}

} // namespace
