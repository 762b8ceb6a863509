// The hyperspace window as the manager's drawing pass records it: the window quad, its two
// edge loops, how offset, length, scale and height factor place it, that a stopped window
// vanishes at once, and the batch's textures.
#include "styles/FXHyperspace.h"

#include "scene/Texture.h"
#include "support/TestStyleScene.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr Colour kColour{0.2f, 0.4f, 0.6f, 0.8f};
constexpr Colour kEdgeColour{1.0f, 0.9f, 0.8f, 0.7f};

// Half extents 2 × 1, offset 1 along the instance's Z, placed by a quarter turn about Y at
// (1, 2, 3) with scale 1.5 and length 2: the offset goes by the length, the width by the
// scale, so the centre is (-1, 2, 3), X = (0, 0, 3) and Y = (0, 1, 0).
constexpr Vector3 kCentre{-1.0f, 2.0f, 3.0f};
constexpr Vector3 kX{0.0f, 0.0f, 3.0f};
constexpr Vector3 kY{0.0f, 1.0f, 0.0f};

class FXHyperspaceTest : public testing::Test {
protected:
    void SetUp() override {
        m_scene.WriteTexture("Data/art/fx/window.tga", 2);
        m_scene.WriteTexture("Data/art/fx/edge1.tga", 4);
        m_scene.WriteTexture("Data/art/fx/edge2.tga", 8);
        auto type = std::make_shared<FXTypeHyperspace>("window");
        m_type = type.get();
        m_scene.Manager().TypeAdd(std::move(type));
        SetProperty(*m_type, "Texture", "Data:art/fx/window.tga");
        SetProperty(*m_type, "EdgeTexture", "Data:art/fx/edge1.tga");
        SetProperty(*m_type, "EdgeTexture2", "Data:art/fx/edge2.tga");
        SetConstantCurve(*m_type, "Width", 2.0f);
        SetConstantCurve(*m_type, "Offset", Vector3{0.0f, 0.0f, 1.0f});
        SetConstantCurve(*m_type, "LineWidth", 3.0f);
        SetConstantCurve(*m_type, "EdgeTexture_U_Offset", 0.25f);
        SetConstantCurve(*m_type, "EdgeTexture_U_Repeat", 2.0f);
        SetConstantCurve(*m_type, "EdgeTexture2_U_Offset", 0.5f);
        SetConstantCurve(*m_type, "EdgeTexture2_U_Repeat", 4.0f);
        SetConstantCurve(*m_type, "Colour", kColour);
        SetConstantCurve(*m_type, "EdgeColour", kEdgeColour);
        m_scene.LookAt({-20.0f, 2.0f, 3.0f}, kCentre);

        FXManager& manager = m_scene.Manager();
        m_window = manager.Create("window", nullptr);
        Matrix4 transform;
        transform.SetRow(0, {0.0f, 0.0f, 1.0f});
        transform.SetRow(2, {-1.0f, 0.0f, 0.0f});
        transform.SetTranslation({1.0f, 2.0f, 3.0f});
        manager.SetTransform(m_window, transform);
        manager.SetScale(m_window, 1.5f);
        manager.SetLength(m_window, 2.0f);
        manager.Update(0.1f);
    }

    // The draws of the last pass with a primitive.
    std::vector<RecordedDraw> DrawsOf(Primitive primitive) const {
        std::vector<RecordedDraw> draws;
        for (const RecordedDraw& draw : m_scene.Device().Draws())
            if (draw.primitive == primitive)
                draws.push_back(draw);
        return draws;
    }

    TestStyleScene m_scene;
    FXTypeHyperspace* m_type = nullptr;
    FXHandle m_window;
};

TEST_F(FXHyperspaceTest, DrawsTheWindowAsTwoTrianglesWithItsCornersColourAndTexture) {
    const RenderStates before = m_scene.Device().GetStates();
    m_scene.Render();
    const auto windows = DrawsOf(Primitive::Triangles);
    ASSERT_EQ(windows.size(), 1u);
    const RecordedDraw& draw = windows[0];
    const RenderVertex lowerLeft{kCentre - kX - kY, kColour, 0.0f, 1.0f};
    const RenderVertex upperLeft{kCentre - kX + kY, kColour, 1.0f, 1.0f};
    const RenderVertex lowerRight{kCentre + kX - kY, kColour, 0.0f, 0.0f};
    const RenderVertex upperRight{kCentre + kX + kY, kColour, 1.0f, 0.0f};
    EXPECT_EQ(draw.vertices, (std::vector<RenderVertex>{lowerLeft, upperLeft, lowerRight,
                                                        lowerRight, upperLeft, upperRight}));
    EXPECT_TRUE(draw.IsEnabled(RenderState::DepthTest));
    EXPECT_FALSE(draw.IsEnabled(RenderState::FaceCulling));
    EXPECT_FALSE(draw.states.depthWrite);
    EXPECT_EQ(draw.states.polygonOffsetFactor, -2.0f);
    EXPECT_EQ(draw.states.polygonOffsetUnits, -2.0f);
    EXPECT_EQ(draw.states.blendMode, BlendMode::Alpha);
    EXPECT_EQ(draw.binding.wrap, TextureWrap::Repeat);
    EXPECT_EQ(m_scene.SizeOfBound(draw), 2);
    EXPECT_EQ(m_scene.Device().GetStates(), before);
}

TEST_F(FXHyperspaceTest, FramesTheWindowWithOneLineLoopPerEdgeTexture) {
    m_scene.Render();
    const auto edges = DrawsOf(Primitive::LineStrip);
    ASSERT_EQ(edges.size(), 2u);
    const Vector3 loop[] = {kCentre + kY,      kCentre + kX + kY, kCentre + kX - kY,
                            kCentre - kX - kY, kCentre - kX + kY, kCentre + kY};
    struct Row {
        int textureSize;
        float u[6]; // offset + repeat × 0, 1/8, 3/8, 5/8, 7/8, 1
    };
    const Row rows[] = {{4, {0.25f, 0.5f, 1.0f, 1.5f, 2.0f, 2.25f}},
                        {8, {0.5f, 1.0f, 2.0f, 3.0f, 4.0f, 4.5f}}};
    for (size_t pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        const RecordedDraw& draw = edges[pass];
        EXPECT_EQ(m_scene.SizeOfBound(draw), rows[pass].textureSize);
        EXPECT_EQ(draw.binding.wrap, TextureWrap::Clamp);
        EXPECT_EQ(draw.states.blendMode, BlendMode::AdditiveAlpha);
        EXPECT_EQ(draw.states.lineWidth, 3.0f);
        EXPECT_TRUE(draw.IsEnabled(RenderState::LineSmoothing));
        EXPECT_FALSE(draw.states.depthWrite);
        ASSERT_EQ(draw.vertices.size(), 6u);
        for (size_t i = 0; i < 6; ++i) {
            ExpectNear(draw.vertices[i].position, loop[i]);
            EXPECT_EQ(draw.vertices[i].u, rows[pass].u[i]) << i;
            EXPECT_EQ(draw.vertices[i].v, 0.5f) << i;
            EXPECT_EQ(draw.vertices[i].colour, kEdgeColour) << i;
        }
    }
}

TEST_F(FXHyperspaceTest, ZeroHeightFactorHidesTheWindow) {
    EXPECT_TRUE(m_scene.Manager().Resolve(m_window)->SetParamFloat(0.0f));
    m_scene.Render();
    EXPECT_TRUE(m_scene.Device().Draws().empty());
}

TEST_F(FXHyperspaceTest, AStoppedWindowVanishesAtItsNextUpdate) {
    m_scene.Manager().Stop(m_window);
    m_scene.Manager().Update(0.1f);
    EXPECT_FALSE(m_scene.Manager().IsAlive(m_window));
    m_scene.Render();
    EXPECT_TRUE(m_scene.Device().Draws().empty());
}

TEST_F(FXHyperspaceTest, BatchGivesItsTexturesBackWhenReleasedWithoutWindows) {
    TextureRegistry& registry = *TextureRegistry::instance();
    const size_t loaded = registry.count();
    m_type->Release(); // a window lives: the batch stays
    EXPECT_EQ(registry.count(), loaded);
    m_scene.Manager().Destroy(m_window);
    EXPECT_EQ(m_type->GetLiveCount(), 0);
    m_type->Release();
    EXPECT_FALSE(m_type->HasBatch());
    EXPECT_EQ(registry.count(), loaded - 3);
}

} // namespace
