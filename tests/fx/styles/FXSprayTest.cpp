// The spray's simulation: how many particles it emits, where, in which direction, with
// which dynamics, scale and first step, and how its emitter time runs.
#include "styles/FXSpray.h"

#include "runtime/FXDynamicsBasic.h"
#include "runtime/FXManager.h"
#include "runtime/FXRandom.h"
#include "support/MathExpect.h"
#include "support/TestFx.h"
#include "support/TestProperties.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr float kTolerance = 1e-5f;

constexpr int kNoDynamics = 9; // the empty preset slot

class FXSprayTest : public testing::Test {
protected:
    void SetUp() override {
        FXManager::Startup();
        RandomSeed(1);
        m_mote = &AddTestFx("mote", -1.0f); // a particle that runs until stopped
        auto spray = std::make_shared<FXTypeSpray>("emitter");
        m_spray = spray.get();
        Manager().TypeAdd(std::move(spray));
        Set("Particle_Fx", "mote");
    }
    void TearDown() override { FXManager::Shutdown(); }

    FXManager& Manager() { return *FXManager::Instance(); }

    template <typename T>
    void Set(const char* name, const T& value) {
        SetProperty(*m_spray, name, value);
    }
    void SetCurve(const char* name, std::vector<TimeFloat> keys) { Set(name, keys); }
    template <typename T>
    void SetConstant(const char* name, const T& value) {
        SetConstantCurve(*m_spray, name, value);
    }

    FXHandle CreateSpray(const Matrix4& transform = {}) {
        const FXHandle handle = Manager().Create("emitter", nullptr);
        EXPECT_FALSE(handle.IsNull());
        Manager().SetTransform(handle, transform);
        return handle;
    }

    // The particles each of frames updates of dt adds.
    std::vector<size_t> PerFrame(const FXHandle& spray, int frames, float dt) {
        std::vector<size_t> perFrame;
        for (size_t before = 0; frames-- > 0;) {
            Manager().Update(dt);
            perFrame.push_back(Manager().Children(spray).size() - before);
            before = Manager().Children(spray).size();
        }
        return perFrame;
    }

    FXObjectSpray& Spray(const FXHandle& handle) {
        return *static_cast<FXObjectSpray*>(Manager().Resolve(handle));
    }

    Matrix4 TransformOf(const FXHandle& handle) {
        Matrix4 transform;
        EXPECT_TRUE(Manager().GetTransform(handle, transform));
        return transform;
    }

    // The dynamics clone a particle moves with.
    const FXDynamicsBasic* BasicDynamicsOf(const FXHandle& handle) {
        return dynamic_cast<const FXDynamicsBasic*>(Manager().DynamicsOf(handle));
    }

    TestFxType* m_mote = nullptr;
    FXTypeSpray* m_spray = nullptr;
};

// --- how many ------------------------------------------------------------------------------

TEST_F(FXSprayTest, CarriesTheFractionOfAParticleToTheNextFrame) {
    SetConstant("Emitter_Rate", 50.0f);
    EXPECT_EQ(PerFrame(CreateSpray(), 6, 0.05f), (std::vector<size_t>{2, 3, 2, 3, 2, 3}));
}

TEST_F(FXSprayTest, ForceFirstEmitsExactlyOneParticleOnTheFirstFrame) {
    struct Row {
        float rate;
        std::vector<size_t> perFrame;
    };
    const Row rows[] = {
        {0.0f, {1, 0, 0}},  // one particle whatever the rate
        {50.0f, {1, 5, 5}}, // one instead of five, and no remainder carried
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rate);
        SetConstant("Emitter_Rate", row.rate);
        Set("Force_First", true);
        m_mote->log.updates.clear();
        const FXHandle spray = CreateSpray();
        EXPECT_EQ(PerFrame(spray, 3, 0.1f), row.perFrame);
        // The forced particle is the oldest point of its frame's path: its first update
        // covers the whole frame.
        ASSERT_FALSE(m_mote->log.updates.empty());
        EXPECT_EQ(m_mote->log.updates[0], 0.1f);
        Manager().Destroy(spray);
    }
}

TEST_F(FXSprayTest, ForceFirstMakesNoOtherParticleInStepsOfNoTime) {
    // The editor runs frames of no time while paused: the age stays 0 through them.
    SetConstant("Emitter_Rate", 0.0f);
    Set("Force_First", true);
    const FXHandle spray = CreateSpray();
    for (int frame = 0; frame < 5; ++frame)
        Manager().Update(0.0f);
    EXPECT_EQ(Manager().Children(spray).size(), 1u);
    Manager().Update(0.1f);
    EXPECT_EQ(Manager().Children(spray).size(), 1u);
}

// --- where ---------------------------------------------------------------------------------

TEST_F(FXSprayTest, LaysAFramesParticlesAlongThePathOfTheEmitter) {
    SetConstant("Emitter_Rate", 50.0f);
    Set("Particle_Dynamics", kNoDynamics);
    const FXHandle spray = CreateSpray();
    Manager().Update(0.1f); // five at the origin
    Manager().SetTransform(spray, At({10, 0, 0}));
    m_mote->log.updates.clear();
    Manager().Update(0.1f);

    const std::vector<FXHandle> particles = Manager().Children(spray);
    ASSERT_EQ(particles.size(), 10u);
    for (size_t i = 0; i < 5; ++i) {
        // Without dynamics a particle stays where it was laid, facing +Z.
        const Matrix4 transform = TransformOf(particles[5 + i]);
        EXPECT_EQ(transform.Translation(), (Vector3{2.0f * static_cast<float>(i), 0, 0}));
        EXPECT_EQ(transform.Row(2), (Vector3{0, 0, 1}));
    }
    // The oldest point gets the longest first step, one interval (1 / rate) less each.
    ASSERT_EQ(m_mote->log.updates.size(), 10u); // five old particles, then the new ones
    const float expected[] = {0.1f, 0.08f, 0.06f, 0.04f, 0.02f};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_NEAR(m_mote->log.updates[5 + i], expected[i], 1e-6f);
}

TEST_F(FXSprayTest, EmitsFromTheOffsetScaledAndTurnedWithTheEmitter) {
    SetConstant("Emitter_Rate", 50.0f);
    SetConstant("Emitter_Offset", Vector3{1, 0, 0});
    Set("Particle_Dynamics", kNoDynamics);
    const FXHandle spray = CreateSpray(QuarterTurnAt({3, 4, 5}));
    Manager().SetScale(spray, 2.0f);
    Manager().Update(0.1f); // the first frame's path starts at the emitter itself
    const std::vector<FXHandle> first = Manager().Children(spray);
    ASSERT_EQ(first.size(), 5u);
    EXPECT_EQ(TransformOf(first[0]).Translation(), (Vector3{3, 4, 5}));
    Manager().Update(0.1f);
    const std::vector<FXHandle> particles = Manager().Children(spray);
    ASSERT_EQ(particles.size(), 10u);
    for (size_t i = 5; i < 10; ++i)
        ExpectNear(TransformOf(particles[i]).Translation(), {3, 4, 7});
}

TEST_F(FXSprayTest, SpreadsParticlesOverTheVolumeAlongTheEmittersAxes) {
    struct Row {
        float scale;
        float halfExtent;
    };
    // Volume (2, 0, 0) on an emitter whose local X is world Z.
    for (const Row row : {Row{1.0f, 1.0f}, Row{2.0f, 2.0f}}) {
        SCOPED_TRACE(row.scale);
        SetConstant("Emitter_Rate", 1000.0f);
        SetConstant("Emitter_Volume", Vector3{2, 0, 0});
        Set("Particle_Dynamics", kNoDynamics);
        const FXHandle spray = CreateSpray(QuarterTurnAt({3, 4, 5}));
        Manager().SetScale(spray, row.scale);
        Manager().Update(0.1f);
        const std::vector<FXHandle> particles = Manager().Children(spray);
        ASSERT_EQ(particles.size(), 100u);
        float lowest = 1e9f;
        float highest = -1e9f;
        for (const FXHandle& particle : particles) {
            const Vector3 position = TransformOf(particle).Translation();
            EXPECT_EQ(position.x, 3.0f); // flat axes stay on the emission point
            EXPECT_EQ(position.y, 4.0f);
            lowest = std::min(lowest, position.z);
            highest = std::max(highest, position.z);
        }
        EXPECT_GE(lowest, 5.0f - row.halfExtent);
        EXPECT_LE(highest, 5.0f + row.halfExtent);
        EXPECT_LT(lowest, 5.0f - 0.9f * row.halfExtent);
        EXPECT_GT(highest, 5.0f + 0.9f * row.halfExtent);
        Manager().Destroy(spray);
    }
}

TEST_F(FXSprayTest, DrawsRandomNumbersOnlyForAxesWithAnExtent) {
    // The same seed gives the same offsets whichever single axis has the extent.
    SetConstant("Emitter_Rate", 50.0f);
    Set("Particle_Dynamics", kNoDynamics);
    auto offsets = [&](const Vector3& volume, int axis) {
        SetConstant("Emitter_Volume", volume);
        RandomSeed(42);
        const FXHandle spray = CreateSpray();
        Manager().Update(0.1f);
        std::vector<float> values;
        for (const FXHandle& particle : Manager().Children(spray)) {
            const Vector3 position = TransformOf(particle).Translation();
            values.push_back(axis == 0 ? position.x : axis == 1 ? position.y : position.z);
        }
        Manager().Destroy(spray);
        return values;
    };
    const std::vector<float> alongX = offsets({2, 0, 0}, 0);
    ASSERT_EQ(alongX.size(), 5u);
    EXPECT_EQ(offsets({0, 2, 0}, 1), alongX);
    EXPECT_EQ(offsets({0, 0, 2}, 2), alongX);
}

// --- in which direction --------------------------------------------------------------------

TEST_F(FXSprayTest, EmitsAlongTheChosenDirectionExactlyWithoutDeviation) {
    struct Row {
        int32_t mode;
        Vector3 direction;
    };
    // The emitter's local Z is world -X.
    const Row rows[] = {{0, {-1, 0, 0}}, {1, {0, 1, 0}}, {2, {0, -1, 0}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        SetConstant("Emitter_Rate", 50.0f);
        SetConstant("Emitter_Deviation", 0.0f);
        Set("Emitter_Direction", row.mode);
        const FXHandle spray = CreateSpray(QuarterTurnAt({0, 0, 0}));
        Manager().Update(0.1f);
        const std::vector<FXHandle> particles = Manager().Children(spray);
        ASSERT_EQ(particles.size(), 5u);
        for (const FXHandle& particle : particles) {
            EXPECT_EQ(TransformOf(particle).Row(2), row.direction);
            EXPECT_EQ(BasicDynamicsOf(particle)->GetVelocity(), row.direction * 10.0f);
        }
        Manager().Destroy(spray);
    }
}

TEST_F(FXSprayTest, DeviationIsTheFullOpeningAngleOfTheCone) {
    struct Row {
        float deviation;
        float lowestDotAtLeast; // every direction is inside the cone
        float lowestDotBelow;   // and some reach its edge
    };
    const Row rows[] = {
        {0.0f, 1.0f - 1e-6f, 1.0f + 1e-6f},
        {90.0f, std::cos(0.7853982f) - 1e-5f, 0.75f},
        {180.0f, -1e-5f, 0.1f}, // a hemisphere
        {360.0f, -1.0f - 1e-5f, -0.9f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.deviation);
        SetConstant("Emitter_Rate", 1000.0f);
        SetConstant("Emitter_Deviation", row.deviation);
        Set("Emitter_Direction", 1);
        const FXHandle spray = CreateSpray();
        Manager().Update(0.1f);
        const std::vector<FXHandle> particles = Manager().Children(spray);
        ASSERT_EQ(particles.size(), 100u);
        float lowest = 2.0f;
        for (const FXHandle& particle : particles) {
            const Vector3 direction = TransformOf(particle).Row(2);
            lowest = std::min(lowest, direction.y);
            EXPECT_NEAR(BasicDynamicsOf(particle)->GetVelocity().Length(), 10.0f, 1e-4f);
        }
        EXPECT_GE(lowest, row.lowestDotAtLeast);
        EXPECT_LT(lowest, row.lowestDotBelow);
        Manager().Destroy(spray);
    }
}

TEST_F(FXSprayTest, HandsItsDynamicsTheSpeedDragAndInheritedVelocity) {
    struct Row {
        const char* name;
        float inherit;
        bool scaleSpeed;
        float scale;
        float drag;
        Vector3 velocity; // after the particle's first step of 0.1 s
    };
    // Straight up at speed 10 from an emitter moving along +Z at 4.
    const Row rows[] = {
        {"plain", 0.0f, false, 1.0f, 1.0f, {0, 10, 0}},
        {"half inherited", 0.5f, false, 1.0f, 1.0f, {0, 10, 2}},
        {"scaled speed", 0.0f, true, 2.0f, 1.0f, {0, 20, 0}},
        {"scale alone", 0.0f, false, 2.0f, 1.0f, {0, 10, 0}},
        {"drag", 0.0f, false, 1.0f, 0.25f, {0, 2.5f, 0}}, // damped by a quarter
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetConstant("Emitter_Rate", 0.0f);
        Set("Force_First", true); // a single particle
        SetConstant("Emitter_Deviation", 0.0f);
        Set("Emitter_Direction", 1);
        Set("Emitter_InheritVelocity", row.inherit);
        Set("Emitter_ScaleSpeed", row.scaleSpeed);
        Set("Emitter_Drag", row.drag);
        const FXHandle spray = CreateSpray();
        Manager().SetVelocity(spray, {0, 0, 4});
        Manager().SetScale(spray, row.scale);
        Manager().Update(0.1f);
        const std::vector<FXHandle> particles = Manager().Children(spray);
        ASSERT_EQ(particles.size(), 1u);
        const FXDynamicsBasic* dynamics = BasicDynamicsOf(particles[0]);
        ASSERT_NE(dynamics, nullptr);
        ExpectNear(dynamics->GetVelocity(), row.velocity);
        EXPECT_EQ(dynamics->GetDamping(), row.drag);
        ExpectNear(TransformOf(particles[0]).Row(2), row.velocity.Normalised());
        Manager().Destroy(spray);
    }
}

TEST_F(FXSprayTest, ParticlesTakeTheSpraysLengthScaleAndVisibility) {
    SetConstant("Emitter_Rate", 50.0f);
    SetConstant("Particle_Scale", 0.5f);
    const FXHandle spray = CreateSpray();
    Manager().SetLength(spray, 2.0f);
    Manager().SetScale(spray, 3.0f);
    Manager().SetVisible(spray, false);
    Manager().Update(0.1f);
    const std::vector<FXHandle> particles = Manager().Children(spray);
    ASSERT_EQ(particles.size(), 5u);
    for (const FXHandle& handle : particles) {
        const FXObject* particle = Manager().Resolve(handle);
        EXPECT_EQ(particle->GetLength(), 2.0f);
        EXPECT_EQ(particle->GetScale(), 1.5f);
        EXPECT_FALSE(particle->IsVisible());
    }
}

// --- the emitter's time --------------------------------------------------------------------

TEST_F(FXSprayTest, ALoopingSprayNeverFinishes) {
    Set("Emitter_Loop", true);
    SetConstant("Emitter_Rate", 0.0f);
    EXPECT_EQ(m_spray->GetDuration(), 3.4028235e38f);
    // 0 and durations no longer than the wrap offset cannot be wrapped back: the emitter
    // time rests at the offset, at the end keys.
    for (const float duration : {1.0f, 0.3f, 0.00002f, 0.00001f, 0.0f}) {
        SCOPED_TRACE(duration);
        Set("Emitter_Duration", duration);
        const FXHandle spray = CreateSpray();
        for (int second = 0; second < 20; ++second) {
            Manager().Update(1.0f);
            ASSERT_TRUE(Manager().IsAlive(spray));
            const float age = Spray(spray).GetAge();
            if (duration > 0.00001f)
                EXPECT_LT(age, duration);
            else
                EXPECT_EQ(age, 0.00001f);
            EXPECT_GT(age, 0.0f);
        }
        Manager().Destroy(spray);
    }
}

TEST_F(FXSprayTest, ASpraysUpdateFinishesWhenItsDurationIsReached) {
    Set("Emitter_Duration", 1.0f);
    SetConstant("Emitter_Rate", 0.0f);
    const FXHandle spray = CreateSpray();
    Manager().Update(0.95f);
    EXPECT_TRUE(Manager().IsAlive(spray));
    Manager().Update(0.1f);
    EXPECT_FALSE(Manager().IsAlive(spray));
}

TEST_F(FXSprayTest, AZeroLengthSprayIsAtItsEndFromTheFirstUpdate) {
    // Even an update of 0 seconds (0 / 0) reads the end keys: a zero-length spray is a
    // Force_First burst of one.
    Set("Emitter_Duration", 0.0f);
    Set("Force_First", true);
    SetCurve("Particle_Scale", {{0.0f, 1.0f}, {1.0f, 3.0f}});
    const FXHandle spray = CreateSpray();
    Manager().Update(0.0f);
    const std::vector<FXHandle> particles = Manager().Children(spray);
    ASSERT_EQ(particles.size(), 1u);
    EXPECT_EQ(Manager().Resolve(particles[0])->GetScale(), 3.0f);
    for (int frame = 0; frame < 3; ++frame)
        Manager().Update(0.1f);
    EXPECT_EQ(Manager().Children(spray).size(), 1u); // finished: waits for its particle
    Manager().Stop(particles[0]);
    Manager().Update(0.1f);
    Manager().Update(0.1f);
    EXPECT_FALSE(Manager().IsAlive(spray));
}

TEST_F(FXSprayTest, RotationRateTurnsTheEmitterAboutWorldY) {
    // 1.0 turns by one radian per second; the rotation on the right of the transform
    // makes an emitter away from the origin circle the Y axis.
    SetConstant("Emitter_RotRate", 1.0f);
    SetConstant("Emitter_Rate", 0.0f);
    const FXHandle spray = CreateSpray(At({5, 0, 0}));
    Manager().Update(1.0f);
    const Matrix4 transform = TransformOf(spray);
    const float c = std::cos(1.0f);
    const float s = std::sin(1.0f);
    ExpectNear(transform.Translation(), {5 * c, 0, 5 * s}, 1e-4f);
    ExpectNear(transform.Row(0), {c, 0, s});
    ExpectNear(transform.Row(1), {0, 1, 0});
    ExpectNear(transform.Row(2), {-s, 0, c});
}

TEST_F(FXSprayTest, AStoppedSprayEmitsNoMoreAndFinishes) {
    SetConstant("Emitter_Rate", 50.0f);
    const FXHandle spray = CreateSpray();
    Manager().Update(0.1f);
    Manager().Stop(spray); // its particles too
    Manager().Update(0.1f);
    Manager().Update(0.1f);
    EXPECT_EQ(m_mote->log.created, 5);
    EXPECT_EQ(Manager().LiveCount(), 0u);
}

// --- gravity well and repeatability ---------------------------------------------------------

TEST_F(FXSprayTest, GravwellParticlesArePulledTowardTheSpray) {
    Set("Emitter_Duration", 1.0f);
    SetConstant("Emitter_Rate", 10.0f);
    SetConstant("Emitter_Offset", Vector3{5, 0, 0});
    SetConstant("Particle_Speed", 0.0f);
    Set("Particle_Dynamics", 10);
    SetCurve("Gravwell_Strength", {{0.0f, 10.0f}, {1.0f, 30.0f}});
    const FXHandle spray = CreateSpray();
    Manager().Update(0.05f); // half a particle
    EXPECT_TRUE(Manager().Children(spray).empty());
    Manager().Update(0.05f);
    const std::vector<FXHandle> particles = Manager().Children(spray);
    ASSERT_EQ(particles.size(), 1u);
    // Strength 12 at a tenth of the emitter's time, over the particle's first 0.05 s.
    EXPECT_NEAR(Manager().GetGravwellStrength(spray), 12.0f, 1e-4f);
    ExpectNear(TransformOf(particles[0]).Translation(), {5.0f - 12.0f * 0.05f * 0.05f, 0, 0});
    float x = TransformOf(particles[0]).Translation().x;
    for (int frame = 0; frame < 3; ++frame) {
        Manager().Update(0.05f);
        const float next = TransformOf(particles[0]).Translation().x;
        EXPECT_LT(next, x);
        x = next;
    }
}

TEST_F(FXSprayTest, TheSameSeedRepeatsARunExactly) {
    SetConstant("Emitter_Rate", 200.0f);
    SetConstant("Emitter_Volume", Vector3{1, 2, 3});
    SetConstant("Emitter_Deviation", 180.0f);
    Set("Particle_Dynamics", 1);
    auto run = [&](uint32_t seed) {
        RandomSeed(seed);
        const FXHandle spray = CreateSpray(At({1, 2, 3}));
        for (int frame = 0; frame < 3; ++frame)
            Manager().Update(0.1f);
        std::vector<Vector3> positions;
        for (const FXHandle& particle : Manager().Children(spray))
            positions.push_back(TransformOf(particle).Translation());
        Manager().Destroy(spray);
        return positions;
    };
    const std::vector<Vector3> first = run(7);
    ASSERT_EQ(first.size(), 60u);
    EXPECT_EQ(run(7), first);
    EXPECT_NE(run(8), first);
}

} // namespace
