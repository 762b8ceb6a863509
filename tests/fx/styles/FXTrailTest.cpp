// The trail's points and the strip the manager's drawing pass records through them: cut
// exactly at the trail's length, coloured head to tail, never twisting, fading out at the
// end of the trail's life.
#include "styles/FXTrail.h"

#include "support/TestStyleScene.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// A trail type one second long and 1 wide, red at the head and blue at the tail, without
// fade-out, seen from (0, 0, 50) looking down -Z.
class FXTrailTest : public testing::Test {
protected:
    void SetUp() override {
        m_scene.WriteTexture("Data/art/fx/trail.tga");
        auto type = std::make_shared<FXTypeTrail>("trail");
        m_type = type.get();
        m_scene.Manager().TypeAdd(std::move(type));
        SetProperty(*m_type, "Texture", "Data:art/fx/trail.tga");
        SetProperty(*m_type, "FadeOutTime", 0.0f);
        SetProperty(*m_type, "ColourHead", Colour{1.0f, 0.0f, 0.0f, 1.0f});
        SetProperty(*m_type, "ColourTail", Colour{0.0f, 0.0f, 1.0f, 1.0f});
        m_scene.LookAt({0.0f, 0.0f, 50.0f}, {0.0f, 0.0f, 0.0f});
    }

    // Creates the trail and moves it along path(time) until seconds, placing it before
    // each update of dt. Null once the trail has ended.
    template <typename Path>
    const FXObjectTrail* Run(Path path, float seconds, float dt) {
        FXManager& manager = m_scene.Manager();
        if (m_trail.IsNull())
            m_trail = manager.Create("trail", nullptr);
        for (; m_time < seconds - dt * 0.5f; m_time += dt) {
            manager.SetTransform(m_trail, At(path(m_time + dt)));
            manager.Update(dt);
        }
        return static_cast<const FXObjectTrail*>(manager.Resolve(m_trail));
    }

    // The strip of a drawing pass.
    const std::vector<RenderVertex>& Strip() {
        m_scene.Render();
        const auto& draws = m_scene.Device().Draws();
        EXPECT_EQ(draws.size(), 1u);
        return draws.at(0).vertices;
    }

    TestStyleScene m_scene;
    FXTypeTrail* m_type = nullptr;
    FXHandle m_trail;
    float m_time = 0.0f;
};

TEST_F(FXTrailTest, KeepsTheLastLengthSecondsAndOneOlderPointAndCutsTheStripThere) {
    // Along +X at 10 units a second for three seconds.
    const FXObjectTrail& trail = *Run(
        [](float time) {
            return Vector3{10.0f * time, 0.0f, 0.0f};
        },
        3.0f, 0.05f);
    const auto points = trail.GetPoints();
    ASSERT_GE(points.size(), 3u);
    EXPECT_LE(points.size(), 12u); // about one every 0.1 s, not one per update
    EXPECT_GE(trail.GetAge() - points[0].time, 1.0f);
    EXPECT_LT(trail.GetAge() - points[1].time, 1.0f);

    const auto& v = Strip();
    ASSERT_EQ(v.size(), 2 * points.size());
    ExpectNear(v[0].position, {30.0f, 0.5f, 0.0f}, 1e-3f);
    ExpectNear(v[1].position, {30.0f, -0.5f, 0.0f}, 1e-3f);
    ExpectNear(v[v.size() - 2].position, {20.0f, 0.5f, 0.0f}, 1e-3f); // one second back
    ExpectNear(v[v.size() - 1].position, {20.0f, -0.5f, 0.0f}, 1e-3f);
    for (size_t i = 0; i < v.size(); i += 2) {
        const float f = (30.0f - v[i].position.x) / 10.0f; // fraction of the length back
        EXPECT_NEAR(v[i].u, f, 1e-3f) << i;
        EXPECT_EQ(v[i + 1].u, v[i].u) << i;
        EXPECT_EQ(v[i].v + v[i + 1].v, 1.0f) << i;
        EXPECT_NEAR(v[i].colour.r, 1.0f - f, 1e-3f) << i;
        EXPECT_NEAR(v[i].colour.b, f, 1e-3f) << i;
        EXPECT_EQ(v[i].colour.a, 1.0f) << i;
    }
    EXPECT_EQ(v.back().u, 1.0f);
}

TEST_F(FXTrailTest, BillboardedStripNeverTwistsWhereThePathTurnsBack) {
    SetProperty(*m_type, "Length", 5.0f);
    // Out along +X and back, climbing slowly: the motion reverses at one second.
    const FXObjectTrail& trail = *Run(
        [](float time) {
            return Vector3{time <= 1.0f ? 5.0f * time : 10.0f - 5.0f * time, time, 0.0f};
        },
        2.0f, 0.05f);
    const auto points = trail.GetPoints();
    ASSERT_LT(points.front().direction.x, -0.5f);
    ASSERT_GT(points.back().direction.x, 0.5f);

    const auto& v = Strip();
    ASSERT_EQ(v.size(), 2 * points.size());
    for (size_t i = 2; i < v.size(); i += 2) {
        const Vector3 across = v[i].position - v[i + 1].position;
        const Vector3 before = v[i - 2].position - v[i - 1].position;
        EXPECT_GT(across.Dot(before), 0.0f) << "pair " << i / 2;
    }
}

TEST_F(FXTrailTest, FadesOutOverTheFadeOutFractionOfItsDurationThenEnds) {
    SetProperty(*m_type, "FadeOutTime", 0.25f);
    SetProperty(*m_type, "Duration", 8.0f);
    const auto slow = [](float time) { return Vector3{time, 0.0f, 0.0f}; };
    struct Row {
        float age; // the last quarter, two seconds, fades
        float alpha;
    };
    const Row rows[] = {{5.9f, 1.0f}, {6.5f, 0.75f}, {7.0f, 0.5f}, {7.9f, 0.05f}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.age);
        Run(slow, row.age, 0.1f);
        for (const RenderVertex& vertex : Strip())
            EXPECT_NEAR(vertex.colour.a, row.alpha, 1e-3f);
    }
    EXPECT_EQ(Run(slow, 8.2f, 0.1f), nullptr);
}

TEST_F(FXTrailTest, AStillTrailDrawsNothingUntilItMoves) {
    Run([](float) { return Vector3{2.0f, 1.0f, 0.0f}; }, 1.0f, 0.1f);
    m_scene.Render();
    EXPECT_TRUE(m_scene.Device().Draws().empty());
    Run([](float time) { return Vector3{2.0f + 10.0f * (time - 1.0f), 1.0f, 0.0f}; }, 1.5f, 0.1f);
    EXPECT_FALSE(Strip().empty());
}

TEST_F(FXTrailTest, DurationEpsilonSpreadsEachTrailsDurationAroundItsDuration) {
    SetProperty(*m_type, "Duration", 4.0f);
    SetProperty(*m_type, "DurationEpsilon", 0.5f);
    float shortest = 1e9f;
    float longest = 0.0f;
    for (int i = 0; i < 200; ++i) {
        const FXHandle handle = m_scene.Manager().Create("trail", nullptr);
        const auto* trail = static_cast<const FXObjectTrail*>(m_scene.Manager().Resolve(handle));
        shortest = std::min(shortest, trail->GetTrailDuration());
        longest = std::max(longest, trail->GetTrailDuration());
        m_scene.Manager().Destroy(handle);
    }
    EXPECT_GE(shortest, 2.0f);
    EXPECT_LT(shortest, 2.2f);
    EXPECT_LE(longest, 6.0f);
    EXPECT_GT(longest, 5.8f);
}

TEST_F(FXTrailTest, FarAwayItIsOneLineThroughItsPoints) {
    SetProperty(*m_type, "LineDistance", 40.0f); // the camera is 50 away
    Run([](float time) { return Vector3{10.0f * time, 0.0f, 0.0f}; }, 1.0f, 0.05f);
    m_scene.Render();
    const auto& draws = m_scene.Device().Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].primitive, Primitive::LineStrip);
    for (const RenderVertex& vertex : draws[0].vertices) {
        EXPECT_EQ(vertex.position.y, 0.0f); // on the path, not beside it
        EXPECT_EQ(vertex.v, 0.5f);
    }
}

TEST_F(FXTrailTest, WithoutBillboardTheStripRunsAlongTheInstancesSideAxis) {
    SetProperty(*m_type, "Billboard", false);
    FXManager& manager = m_scene.Manager();
    m_trail = manager.Create("trail", nullptr);
    for (int step = 1; step <= 10; ++step) {
        // Moving along +X with the instance's X axis turned to world Z.
        Matrix4 transform;
        transform.SetRow(0, {0.0f, 0.0f, 1.0f});
        transform.SetRow(2, {-1.0f, 0.0f, 0.0f});
        transform.SetTranslation({static_cast<float>(step), 0.0f, 0.0f});
        manager.SetTransform(m_trail, transform);
        manager.Update(0.1f);
    }
    const auto& v = Strip();
    ASSERT_GE(v.size(), 4u);
    for (size_t i = 0; i < v.size(); i += 2)
        ExpectNear(v[i].position - v[i + 1].position, {0.0f, 0.0f, 1.0f}, 1e-4f); // width 1
}

TEST_F(FXTrailTest, AdditiveTrailsFadeEveryComponentAndLinesAlsoWithAdditiveAlpha) {
    SetProperty(*m_type, "FadeOutTime", 0.5f);
    SetProperty(*m_type, "Duration", 2.0f);
    const auto path = [](float time) { return Vector3{10.0f * time, 0.0f, 0.0f}; };
    struct Row {
        int blending;
        float lineDistance;
        bool allComponents; // every component is 1 - fade, not the alpha alone
    };
    const Row rows[] = {{2, -1.0f, true}, {4, -1.0f, false}, {4, 40.0f, true}, {1, 40.0f, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << "blending " << row.blending << ", line distance " << row.lineDistance);
        SetProperty(*m_type, "Blending", row.blending);
        SetProperty(*m_type, "LineDistance", row.lineDistance);
        m_trail = {};
        m_time = 0.0f;
        Run(path, 1.5f, 0.1f); // half way through the fade-out: fade 0.5
        m_scene.Render();
        const RenderVertex& head = m_scene.Device().Draws().at(0).vertices.at(0);
        EXPECT_NEAR(head.colour.a, 0.5f, 1e-3f);
        if (row.allComponents)
            EXPECT_EQ(head.colour,
                      (Colour{head.colour.a, head.colour.a, head.colour.a, head.colour.a}));
        else
            EXPECT_EQ(head.colour.r, 1.0f); // the head colour, red
        m_scene.Manager().Destroy(m_trail);
    }
}

} // namespace
