// The beam's strip as the manager's drawing pass records it: the points of the
// subdivision, the bow, the end fade, texture coordinates, line mode, what draws nothing
// and the random length.
#include "styles/FXBeam.h"

#include "math/Random.h"
#include "support/TestStyleScene.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr Colour kColour{1.0f, 0.5f, 0.25f, 0.8f};

// The point of the beam a ribbon's vertex pair i stands for.
Vector3 PointOf(const RecordedDraw& draw, size_t i) {
    return (draw.vertices.at(2 * i).position + draw.vertices.at(2 * i + 1).position) * 0.5f;
}

// A beam along world +Z from the origin, 10 long (instance length 10 × Length 1) and 1
// wide, seen from (20, 0, 5): its side is along -Y, so point p draws at p ∓ (0, 0.5, 0).
class FXBeamTest : public testing::Test {
protected:
    void SetUp() override {
        m_scene.WriteTexture("Data/art/fx/beam.tga");
        auto type = std::make_shared<FXTypeBeam>("beam");
        m_type = type.get();
        m_scene.Manager().TypeAdd(std::move(type));
        SetProperty(*m_type, "Texture", "Data:art/fx/beam.tga");
        SetProperty(*m_type, "Duration", 10.0f);
        SetConstantCurve(*m_type, "Length", 1.0f);
        SetConstantCurve(*m_type, "Noise", 0.0f);
        SetConstantCurve(*m_type, "Texture_U_Offset", 0.5f);
        SetConstantCurve(*m_type, "Texture_U_Repeat", 3.0f);
        SetConstantCurve(*m_type, "Colour", kColour);
        m_scene.LookAt({20.0f, 0.0f, 5.0f}, {0.0f, 0.0f, 5.0f});
    }

    // A beam of segments, updated once (so that it has an age), then drawn.
    const RecordedDraw* DrawBeam(float segments, float length = 10.0f, float scale = 1.0f,
                                 float endFade = 1.0f) {
        SetConstantCurve(*m_type, "Segments", segments);
        FXManager& manager = m_scene.Manager();
        m_beam = manager.Create("beam", nullptr);
        manager.SetLength(m_beam, length);
        manager.SetScale(m_beam, scale);
        manager.SetParamFade(m_beam, endFade);
        manager.Update(0.1f);
        m_scene.Render();
        manager.Destroy(m_beam);
        EXPECT_LE(m_scene.Device().Draws().size(), 1u);
        return m_scene.Device().LastDraw();
    }

    TestStyleScene m_scene;
    FXTypeBeam* m_type = nullptr;
    FXHandle m_beam;
};

TEST_F(FXBeamTest, WithoutNoiseOrArcThePointsLieOnTheBeamWhereTheSubdivisionPutsThem) {
    struct Row {
        float segments;
        std::vector<float> t; // of each point along the beam, in drawing order
    };
    const Row rows[] = {
        {1.0f, {0, 1}},
        {3.0f, {0, 0.5f, 0.75f, 1}},
        {10.0f, {0, 0.125f, 0.25f, 0.375f, 0.4375f, 0.5f, 0.625f, 0.75f, 0.875f, 0.9375f, 1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.segments);
        const RenderStates before = m_scene.Device().GetStates();
        const RecordedDraw* draw = DrawBeam(row.segments);
        ASSERT_NE(draw, nullptr);
        EXPECT_EQ(draw->primitive, Primitive::TriangleStrip);
        ASSERT_EQ(draw->vertices.size(), 2 * row.t.size());
        for (size_t i = 0; i < row.t.size(); ++i) {
            SCOPED_TRACE(i);
            const RenderVertex& upper = draw->vertices[2 * i];
            const RenderVertex& lower = draw->vertices[2 * i + 1];
            ExpectNear(upper.position, {0.0f, -0.5f, 10.0f * row.t[i]});
            ExpectNear(lower.position, {0.0f, 0.5f, 10.0f * row.t[i]});
            // u from minus the offset over Repeat widths of the texture.
            EXPECT_NEAR(upper.u, -0.5f + 3.0f * row.t[i], 1e-5f);
            EXPECT_EQ(lower.u, upper.u);
            EXPECT_EQ(upper.v, 1.0f);
            EXPECT_EQ(lower.v, 0.0f);
            EXPECT_EQ(upper.colour, kColour);
        }
        EXPECT_EQ(draw->states.blendMode, BlendMode::Alpha);
        EXPECT_EQ(draw->binding.wrap, TextureWrap::Clamp);
        EXPECT_EQ(m_scene.SizeOfBound(*draw), 2);
        EXPECT_EQ(m_scene.Device().GetStates(), before);
    }
}

TEST_F(FXBeamTest, ArcBowsTheMiddleAndLeavesTheEndsInPlace) {
    SetConstantCurve(*m_type, "Arc", Vector3{0.0f, 2.0f, 0.0f});
    const RecordedDraw* draw = DrawBeam(4.0f);
    ASSERT_NE(draw, nullptr);
    ExpectNear(PointOf(*draw, 0), {0.0f, 0.0f, 0.0f});
    EXPECT_GT(PointOf(*draw, 1).y, 0.0f);
    ExpectNear(PointOf(*draw, 2), {0.0f, 2.0f, 5.0f});
    EXPECT_GT(PointOf(*draw, 3).y, 0.0f);
    ExpectNear(PointOf(*draw, 4), {0.0f, 0.0f, 10.0f});
}

TEST_F(FXBeamTest, EndFadeKeepsThePointsBeforeItOpaqueAndFadesTheRestToTheEnd) {
    struct Row {
        float segments, endFade;
        std::vector<float> alpha; // factor of each point, in drawing order
    };
    const Row rows[] = {
        {10.0f, 0.5f, {1, 1, 1, 1, 1, 1, 0.75f, 0.5f, 0.25f, 0.125f, 0}},
        {1.0f, 0.5f, {1, 0}},
        {3.0f, 1.0f, {1, 1, 1, 1}}, // the initial value: no fade
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.segments);
        const RecordedDraw* draw = DrawBeam(row.segments, 10.0f, 1.0f, row.endFade);
        ASSERT_NE(draw, nullptr);
        ASSERT_EQ(draw->vertices.size(), 2 * row.alpha.size());
        for (size_t i = 0; i < row.alpha.size(); ++i) {
            EXPECT_NEAR(draw->vertices[2 * i].colour.a, kColour.a * row.alpha[i], 1e-5f) << i;
            EXPECT_EQ(draw->vertices[2 * i + 1].colour, draw->vertices[2 * i].colour) << i;
        }
    }
}

TEST_F(FXBeamTest, BecomesALineAtLineDistanceFromTheCameraAndDrawsNothingWithoutSize) {
    struct Row {
        float lineDistance; // the camera is 20 from the beam
        float length, scale;
        size_t vertices; // 0: nothing drawn
        Primitive primitive;
    };
    const Row rows[] = {
        {-1.0f, 10.0f, 1.0f, 8, Primitive::TriangleStrip},
        {20.1f, 10.0f, 1.0f, 8, Primitive::TriangleStrip},
        {19.9f, 10.0f, 1.0f, 4, Primitive::LineStrip},
        {0.0f, 10.0f, 1.0f, 4, Primitive::LineStrip},
        {-1.0f, 0.0f, 1.0f, 0, Primitive::TriangleStrip},
        {-1.0f, 10.0f, 0.0f, 0, Primitive::TriangleStrip},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << row.lineDistance << ", length " << row.length << ", scale " << row.scale);
        SetProperty(*m_type, "LineDistance", row.lineDistance);
        const RecordedDraw* draw = DrawBeam(3.0f, row.length, row.scale);
        ASSERT_EQ(draw != nullptr, row.vertices > 0);
        if (!draw)
            continue;
        EXPECT_EQ(draw->primitive, row.primitive);
        ASSERT_EQ(draw->vertices.size(), row.vertices);
        if (row.primitive == Primitive::LineStrip) {
            ExpectNear(draw->vertices[1].position, {0.0f, 0.0f, 5.0f});
            EXPECT_EQ(draw->vertices[1].v, 0.5f);
        }
    }
}

TEST_F(FXBeamTest, LengthEpsilonSpreadsEachBeamsLengthFactorAroundOne) {
    SetProperty(*m_type, "LengthEpsilon", 0.2f);
    std::vector<FXHandle> beams;
    for (int i = 0; i < 200; ++i)
        beams.push_back(m_scene.Manager().Create("beam", nullptr));
    m_scene.Manager().Update(0.1f);
    std::vector<float> lengths;
    for (const FXHandle& beam : beams)
        lengths.push_back(
            static_cast<FXObjectBeam*>(m_scene.Manager().Resolve(beam))->GetBeamLength());
    const auto [lowest, highest] = std::minmax_element(lengths.begin(), lengths.end());
    EXPECT_GE(*lowest, 0.8f);
    EXPECT_LT(*lowest, 0.85f);
    EXPECT_LE(*highest, 1.2f);
    EXPECT_GT(*highest, 1.15f);
}

TEST_F(FXBeamTest, NoiseJittersTheInnerPointsByUpToItsAmplitudeAndLeavesTheEnds) {
    // Segments 2: one inner point, jittered by up to instance length x Noise x Length (here
    // 10 x Noise x 1) on each axis. The same seed draws the same numbers, so twice the
    // noise moves it exactly twice as far.
    std::vector<Vector3> offsets;
    for (const float noise : {0.125f, 0.25f}) {
        SetConstantCurve(*m_type, "Noise", noise);
        RandomSeed(7);
        const RecordedDraw* draw = DrawBeam(2.0f);
        ASSERT_NE(draw, nullptr);
        ASSERT_EQ(draw->vertices.size(), 6u);
        ExpectNear(PointOf(*draw, 0), {0.0f, 0.0f, 0.0f});
        ExpectNear(PointOf(*draw, 2), {0.0f, 0.0f, 10.0f});
        const Vector3 offset = PointOf(*draw, 1) - Vector3{0.0f, 0.0f, 5.0f};
        const float amplitude = 10.0f * noise;
        EXPECT_LE(std::fabs(offset.x), amplitude);
        EXPECT_LE(std::fabs(offset.y), amplitude);
        EXPECT_LE(std::fabs(offset.z), amplitude);
        EXPECT_GT(offset.Length(), 0.0f);
        offsets.push_back(offset);
    }
    ExpectNear(offsets[1], offsets[0] * 2.0f, 1e-4f);
}

} // namespace
