// The trail's points and the strip the manager's drawing pass records through them: cut
// exactly at the trail's length, coloured head to tail, never twisting, fading out at the
// end of the trail's life.
#include "styles/FXTrail.h"

#include "support/TestStyleScene.h"

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
            manager.SetTransform(m_trail, TranslationMatrix(path(m_time + dt)));
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

    static Matrix4 TranslationMatrix(const Vector3& position) {
        Matrix4 transform;
        transform.SetTranslation(position);
        return transform;
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

} // namespace
