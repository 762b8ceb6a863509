#include "runtime/FXRendererGL.h"

#include "host/HeadlessGLContext.h"
#include "host/HeadlessWindow.h"
#include "math/Random.h"
#include "runtime/FXManager.h"
#include "runtime/FXPreview.h"
#include "scene/DefaultMeshes.h"
#include "scene/DefaultTextures.h"
#include "scene/LensFlareManager.h"
#include "scene/RecordingRenderDevice.h"
#include "scene/StatMonitor.h"
#include "support/ReferencePicture.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

namespace {

// A window that is always ready: the recording device needs no context.
class NullWindow : public WindowInterface {
public:
    bool AttachGL() override { return true; }
    int GetWidth() const override { return 160; }
    int GetHeight() const override { return 90; }
    void Present() override { ++presented; }
    int presented = 0;
};

class FXRendererRecording : public testing::Test {
protected:
    FXRendererRecording()
        : m_renderer([this] {
              auto device = std::make_unique<RecordingRenderDevice>();
              m_device = device.get();
              return device;
          }) {
        m_renderer.Startup();
        m_renderer.Attach(&m_window);
    }

    NullWindow m_window;
    RecordingRenderDevice* m_device = nullptr;
    FXRendererGL m_renderer;
};

TEST_F(FXRendererRecording, GridSpacingFollowsTheCameraDistance) {
    EXPECT_FLOAT_EQ(FXGridSpacing(0.001f), 1e-5f);
    EXPECT_FLOAT_EQ(FXGridSpacing(5.0f), 0.1f);
    EXPECT_FLOAT_EQ(FXGridSpacing(20.0f), 1.0f);
    EXPECT_FLOAT_EQ(FXGridSpacing(0.0f), 1e-5f);
}

TEST_F(FXRendererRecording, TheGridDrawsItsLinesWithTheirWidthsAndGreys) {
    m_renderer.DrawGrid(5.0f, {1, 0, 0}, {0, 0, 1});
    const auto& draws = m_device->Draws();
    ASSERT_EQ(draws.size(), 3u);
    // Centre lines: width 2, grey 0.06 in all four components, 50 spacings out.
    EXPECT_EQ(draws[0].states.lineWidth, 2.0f);
    ASSERT_EQ(draws[0].vertices.size(), 4u);
    EXPECT_FLOAT_EQ(draws[0].vertices[0].position.x, -5.0f);
    EXPECT_FLOAT_EQ(draws[0].vertices[1].position.x, 5.0f);
    EXPECT_EQ(draws[0].vertices[0].colour, (Colour{0.06f, 0.06f, 0.06f, 0.06f}));
    // 49 lines each side in both directions, width 1; every tenth lighter.
    EXPECT_EQ(draws[1].states.lineWidth, 1.0f);
    ASSERT_EQ(draws[1].vertices.size(), 49u * 4u * 2u);
    int light = 0;
    for (size_t i = 0; i < draws[1].vertices.size(); i += 2) {
        const Colour& c = draws[1].vertices[i].colour;
        EXPECT_TRUE(c.r == 0.188f || c.r == 0.37f) << c.r;
        EXPECT_EQ(c.a, c.r);
        light += c.r == 0.37f;
    }
    EXPECT_EQ(light, 4 * 4); // i = 10, 20, 30, 40 on four sides
    // The first line across: 0.1 from the centre along V, spanning -5..5 along U.
    EXPECT_FLOAT_EQ(draws[1].vertices[0].position.z, 0.1f);
    EXPECT_FLOAT_EQ(draws[1].vertices[0].position.x, -5.0f);
    // The axes, as long as one spacing, red, green, blue.
    ASSERT_EQ(draws[2].vertices.size(), 6u);
    EXPECT_FLOAT_EQ(draws[2].vertices[1].position.x, 0.1f);
    EXPECT_EQ(draws[2].vertices[0].colour, (Colour{1, 0, 0, 1}));
    EXPECT_FLOAT_EQ(draws[2].vertices[3].position.y, 0.1f);
    EXPECT_EQ(draws[2].vertices[5].colour, (Colour{0, 0, 1, 1}));
    EXPECT_FALSE(draws[0].states.depthWrite);
    EXPECT_EQ(draws[0].states.depthFunction, DepthFunction::Less);
}

TEST_F(FXRendererRecording, FramesClearToTheBackgroundAndPresent) {
    EXPECT_EQ(*m_renderer.GetClearColour(), (Colour{0.25f, 0.25f, 0.25f, 1.0f}));
    m_renderer.BeginFrame();
    EXPECT_EQ(m_device->GetClearColour(), (Colour{0.25f, 0.25f, 0.25f, 1.0f}));
    EXPECT_EQ(m_device->CountCalls(RenderCallKind::Clear), 1u);
    m_renderer.EndFrame();
    EXPECT_EQ(m_window.presented, 1);
}

TEST_F(FXRendererRecording, StatsWithoutAMonitorDrawNothingAndKeepTheMatrices) {
    m_renderer.SetProjection(2.0f, 100.0f);
    const Matrix4 projection = m_device->GetMatrix(MatrixStack::Projection);
    m_renderer.DrawStats(nullptr);
    EXPECT_TRUE(m_device->Draws().empty());
    EXPECT_EQ(m_device->GetMatrix(MatrixStack::Projection), projection);
    StatMonitor monitor("RENDER", 0.0f, 0.8f, 0.3f, 0.15f);
    monitor.Add("Update", 5.0f);
    monitor.Report("Update");
    m_renderer.DrawStats(&monitor);
    EXPECT_EQ(m_device->Draws().size(), 2u); // the backing and one channel
}

TEST_F(FXRendererRecording, TheProjectionTakesTheWindowsAspect) {
    m_renderer.SetProjection(2.0f, 100.0f);
    const Matrix4& p = *m_renderer.GetProjection();
    EXPECT_NEAR(p.m[1][1] / p.m[0][0], 160.0f / 90.0f, 1e-5f);
    EXPECT_NEAR(p.m[1][1], 1.0f / std::tan(75.0f * 0.017453292f / 2.0f), 1e-5f);
}

TEST(FXRendererDeathTest, AWindowThatCannotBeAttachedStopsTheProgram) {
    class DeadWindow : public NullWindow {
        bool AttachGL() override { return false; }
    };
    EXPECT_DEATH(
        {
            DeadWindow window;
            FXRendererGL renderer([] { return std::make_unique<RecordingRenderDevice>(); });
            renderer.Attach(&window);
        },
        "FXRendererGL\\(130\\): Error: GL could not be attached to the window.  Perhaps your "
        "'devstats.dat' file is missing from the bin directory.");
}

// Headless pictures of the preview, compared with their references.
class FXPreviewPictures : public testing::Test {
protected:
    void SetUp() override {
        m_context = HeadlessGLContext::Create(160, 90, &m_reason);
        SPARV_REQUIRE_HEADLESS_GL(m_context, m_reason);
        ASSERT_TRUE(GenerateDefaultTextures("Data/art/fx") && GenerateDefaultMeshes("Data/art/fx"));
        FXManager::Startup();
        m_window = std::make_unique<HeadlessWindow>(*m_context);
        m_renderer = std::make_unique<FXRendererGL>();
        m_preview = std::make_unique<FXPreview>(*m_renderer);
        m_preview->Initialise(m_window.get());
        m_preview->Resize(160, 90);
        m_preview->Camera().SetDistance(8.0f);
        RandomSeed(0);
    }
    void TearDown() override {
        m_preview.reset();
        m_renderer.reset();
        FXManager::Shutdown();
    }

    Image Draw(float seconds) {
        for (int i = 0; i < 10; ++i)
            m_preview->Frame(seconds / 10.0f, 160, 90);
        Image picture{160, 90, m_context->ReadPixels()};
        return picture;
    }

    TempWorkDir m_dir;
    std::string m_reason;
    std::unique_ptr<HeadlessGLContext> m_context;
    std::unique_ptr<HeadlessWindow> m_window;
    std::unique_ptr<FXRendererGL> m_renderer;
    std::unique_ptr<FXPreview> m_preview;
};

TEST_F(FXPreviewPictures, TheBareGrid) {
    ExpectMatchesReference(Draw(0.0f), "preview_grid.png");
}

TEST_F(FXPreviewPictures, AMeshRing) {
    m_dir.write("Data/art/fx/cube.lua", R"(fx = { style = "STYLE_RING", properties = {
    { name = "Radius", type = "VARTYPE_ARRAY_TIMEFLOAT", value = {0, 1.5, 1, 1.5} },
    { name = "SpinY", type = "VARTYPE_ARRAY_TIMEFLOAT", value = {0, 5, 1, 5} },
    { name = "Colour", type = "VARTYPE_ARRAY_TIMECOLOUR",
      value = { entry_00 = {0, 0.9, 0.5, 0.2, 1}, entry_01 = {1, 0.9, 0.5, 0.2, 1} } },
    { name = "UseMesh", type = "VARTYPE_BOOL", value = 1 },
    { name = "UseDepthTest", type = "VARTYPE_BOOL", value = 1 },
    { name = "Blending", type = "VARTYPE_INT", value = 0 },
} })");
    ASSERT_FALSE(FXManager::Instance()->Create("cube", nullptr).IsNull());
    ExpectMatchesReference(Draw(0.5f), "preview_mesh.png");
}

TEST_F(FXPreviewPictures, ALensFlare) {
    m_dir.write("Data/art/fx/sun.flare", R"(flare = { elements = {
    { texture = "Data:art/fx/flare_glow.tga", position = 0, size = 0.5, colour = {1, 0.9, 0.6, 1} },
    { texture = "Data:art/fx/flare_ring.tga", position = 1.5, size = 0.3, colour = {0.5, 0.8, 1, 1} },
} })");
    m_dir.write("Data/art/fx/sun.lua", R"(fx = { style = "STYLE_LENSFLARE", properties = {
    { name = "LensFlare", type = "VARTYPE_STRING", value = "Data:art/fx/sun.flare" },
    { name = "Colour", type = "VARTYPE_ARRAY_TIMECOLOUR",
      value = { entry_00 = {0, 1, 1, 1, 1}, entry_01 = {1, 1, 1, 1, 1} } },
} })");
    const FXHandle sun = FXManager::Instance()->Create("sun", nullptr);
    ASSERT_FALSE(sun.IsNull());
    Matrix4 place;
    place.SetTranslation({-3.0f, 1.0f, 0.0f});
    FXManager::Instance()->SetTransform(sun, place);
    ExpectMatchesReference(Draw(0.5f), "preview_flare.png");
}

} // namespace
