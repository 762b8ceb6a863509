#include "runtime/FXDynamicsAttached.h"
#include "runtime/FXDynamicsBasic.h"
#include "runtime/FXDynamicsCommon.h"
#include "runtime/FXDynamicsGravwell.h"
#include "runtime/FXDynamicsPlane.h"
#include "runtime/FXLookAlong.h"
#include "runtime/FXManager.h"
#include "support/MathExpect.h"
#include "support/TestFx.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>

namespace {

constexpr float kTolerance = 1e-5f;

// A parent for the dynamics that follow a target: it answers the gravity-well strength
// and the attachment point its type holds at the moment of the query.
class AnchorType : public FXType {
public:
    explicit AnchorType(const char* name) : FXType(name) {}
    int GetStyle() const override { return STYLE_RING; }
    float GetDuration() const override { return -1.0f; }
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t) override;

    float strength = 0.0f;
    std::optional<Vector3> attachment;
};

class AnchorObject : public FXObject {
public:
    AnchorObject(AnchorType* type, const FXHandle& self, const FXHandle& parent)
        : FXObject(type, self, parent), m_anchorType(type) {}
    bool Update(float) override { return false; }
    void Render(float) override {}
    float GetGravwellStrength() const override { return m_anchorType->strength; }
    bool GetParamVector(Vector3& out) const override {
        if (!m_anchorType->attachment)
            return false;
        out = *m_anchorType->attachment;
        return true;
    }

private:
    AnchorType* m_anchorType;
};

FXObject* AnchorType::CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                                     uintptr_t) {
    return FXConstructInstance<AnchorObject>(memory, this, self, parent);
}

class FXDynamicsTest : public testing::Test {
protected:
    void SetUp() override {
        FXManager::Startup();
        m_gravity = *FXGetGravity();
        m_wind = *FXGetWind();
        auto anchor = std::make_shared<AnchorType>("anchor");
        m_anchor = anchor.get();
        Manager().TypeAdd(std::move(anchor));
        m_rider = &AddTestFx("rider", -1.0f);
    }
    void TearDown() override {
        FXManager::Shutdown();
        FXSetGravity(m_gravity);
        FXSetWind(m_wind);
    }

    FXManager& Manager() { return *FXManager::Instance(); }

    FXHandle CreateAnchor(const Matrix4& transform) {
        const FXHandle handle = Manager().Create("anchor", nullptr);
        Manager().SetTransform(handle, transform);
        return handle;
    }

    Vector3 Translation(const FXHandle& handle) {
        Matrix4 transform;
        EXPECT_TRUE(Manager().GetTransform(handle, transform));
        return transform.Translation();
    }

    AnchorType* m_anchor = nullptr;
    TestFxType* m_rider = nullptr;
    Vector3 m_gravity;
    Vector3 m_wind;
};

// --- shared pieces ------------------------------------------------------------------------

TEST(FXDampingFactorTest, ScalesTheVelocityByTheStepAndTheDamping) {
    struct Row {
        float dt;
        float damping;
        float factor;
    };
    const Row rows[] = {
        {0.05f, 0.0f, 0.5f},  // D = 0 halves the velocity every twentieth of a second
        {0.1f, 0.0f, 0.0f},   // and removes it over a tenth
        {0.5f, 0.0f, 0.0f},   // longer steps are clamped, not negative
        {0.05f, 1.0f, 1.0f},  // D = 1 keeps it
        {0.05f, 0.5f, 0.75f}, //
        {0.1f, 2.0f, 2.0f},   // D above 1 speeds up
        {0.1f, -1.0f, 0.0f},  // an unchecked negative D gives a negative k: none
        {0.0f, 0.0f, 1.0f},   // no time, no damping
        {-0.1f, 0.0f, 1.0f},  // nor for a negative step
    };
    for (const Row& row : rows)
        EXPECT_FLOAT_EQ(FXDampingFactor(row.dt, row.damping), row.factor)
            << "dt " << row.dt << " D " << row.damping;
}

TEST(FXLookAlongTest, PointsZAlongTheVelocity) {
    struct Row {
        Vector3 velocity;
        Vector3 x, y, z;
    };
    const Row rows[] = {
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},    // at rest: the identity
        {{0, 0, 5}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},    // along world Z
        {{0, 0, -2}, {1, 0, 0}, {0, -1, 0}, {0, 0, -1}}, //
        {{3, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}},    // X stays level: (0, 0, 1) x Z
        {{0, -4, 0}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}},  //
    };
    const Vector3 position{1, 2, 3};
    for (const Row& row : rows) {
        const Matrix4 m = LookAlong(row.velocity, position);
        SCOPED_TRACE(testing::Message() << "velocity " << row.velocity.x << "," << row.velocity.y
                                        << "," << row.velocity.z);
        ExpectNear(m.Row(0), row.x);
        ExpectNear(m.Row(1), row.y);
        ExpectNear(m.Row(2), row.z);
        EXPECT_EQ(m.Translation(), position);
        EXPECT_EQ(m.m[3][3], 1.0f);
    }
}

// --- basic -------------------------------------------------------------------------------

TEST_F(FXDynamicsTest, BasicStepsFollowGravityWindAndDamping) {
    struct Row {
        const char* name;
        float gravityScale, windScale, damping;
        Vector3 wind;
        Vector3 startVelocity;
        float dt;
        int steps;
        Vector3 velocity, position;
    };
    const Row rows[] = {
        // From rest under the default gravity: v = g x 0.1, moved by v x 0.1.
        {"gravity", 1, 0, 1, {}, {}, 0.1f, 1, {0, -5.886f, 0}, {0, -0.5886f, 0}},
        {"half gravity", 0.5f, 0, 1, {}, {}, 0.1f, 1, {0, -2.943f, 0}, {0, -0.2943f, 0}},
        {"half wind", 0, 0.5f, 1, {2, 0, 4}, {}, 0.1f, 1, {0.1f, 0, 0.2f}, {0.01f, 0, 0.02f}},
        {"wind ignored", 0, 0, 1, {2, 0, 4}, {1, 0, 0}, 0.1f, 1, {1, 0, 0}, {0.1f, 0, 0}},
        // D = 0 halves the velocity each step of 0.05.
        {"halving", 0, 0, 0, {}, {4, 0, 0}, 0.05f, 2, {1, 0, 0}, {0.15f, 0, 0}},
        {"stopped at once", 0, 0, 0, {}, {4, 0, 0}, 0.1f, 1, {0, 0, 0}, {0, 0, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FXSetWind(row.wind);
        FXDynamicsBasic dynamics;
        dynamics.SetGravityScale(row.gravityScale);
        dynamics.SetWindScale(row.windScale);
        dynamics.SetDampingChecked(row.damping);
        dynamics.SetVelocity(row.startVelocity);
        TestFxObject probe(m_rider, kNullFXHandle, kNullFXHandle);
        for (int step = 0; step < row.steps; ++step)
            EXPECT_FALSE(dynamics.Update(probe, row.dt));
        ExpectNear(dynamics.GetVelocity(), row.velocity);
        ExpectNear(dynamics.GetPosition(), row.position);
        const Matrix4 expected = LookAlong(dynamics.GetVelocity(), dynamics.GetPosition());
        EXPECT_EQ(probe.GetTransform(), expected);
    }
}

// Steps that keep the axes only move the instance: every step must still leave exactly
// the transform LookAlong gives, also after someone else placed the instance.
TEST_F(FXDynamicsTest, BasicStepsLeaveLookAlongsTransformBitForBit) {
    FXSetWind({});
    const Vector3 startVelocities[] = {{}, {0, -3, 0}, {2, 0, 1}, {0, 0, -1}};
    for (const Vector3& start : startVelocities) {
        SCOPED_TRACE(testing::Message() << start.x << "," << start.y << "," << start.z);
        FXDynamicsBasic dynamics;
        dynamics.SetVelocity(start);
        TestFxObject probe(m_rider, kNullFXHandle, kNullFXHandle);
        for (int step = 0; step < 12; ++step) {
            if (step == 6) // placed by someone else: tilted axes, same place
                probe.SetTransform(Matrix4::RotationX(0.5f) *
                                   LookAlong(dynamics.GetVelocity(), dynamics.GetPosition()));
            dynamics.Update(probe, 0.05f);
            EXPECT_EQ(probe.GetTransform(),
                      LookAlong(dynamics.GetVelocity(), dynamics.GetPosition()))
                << "step " << step;
        }
    }
}

TEST(FXDynamicsBasicTest, DirectSettersIgnoreValuesOutOfRange) {
    FXDynamicsBasic dynamics;
    for (const float refused : {1.5f, -0.1f, std::nanf("")}) {
        dynamics.SetGravityScale(refused);
        dynamics.SetWindScale(refused);
    }
    dynamics.SetDampingChecked(-0.5f);
    dynamics.SetSurfaceResponse(4);
    dynamics.SetSurfaceResponse(-1);
    EXPECT_EQ(dynamics.GetGravityScale(), 1.0f);
    EXPECT_EQ(dynamics.GetWindScale(), 1.0f);
    EXPECT_EQ(dynamics.GetDamping(), 0.0f);
    EXPECT_EQ(dynamics.GetSurfaceResponse(), FXDynamicsBasic::SURFACE_IGNORE);

    dynamics.SetGravityScale(0.25f);
    dynamics.SetWindScale(0.0f);
    dynamics.SetDampingChecked(3.0f);
    dynamics.SetSurfaceResponse(3);
    EXPECT_EQ(dynamics.GetGravityScale(), 0.25f);
    EXPECT_EQ(dynamics.GetWindScale(), 0.0f);
    EXPECT_EQ(dynamics.GetDamping(), 3.0f);
    EXPECT_EQ(dynamics.GetSurfaceResponse(), FXDynamicsBasic::SURFACE_DIE);

    // The virtual setter, through which the spray hands over its drag, takes anything.
    static_cast<FXDynamics&>(dynamics).SetDamping(-2.0f);
    EXPECT_EQ(dynamics.GetDamping(), -2.0f);
}

// --- presets and the pool ------------------------------------------------------------------

TEST_F(FXDynamicsTest, StartupRegistersThePresetTable) {
    struct BasicRow {
        int slot;
        float gravityScale, windScale, damping;
        int32_t response;
    };
    const BasicRow basics[] = {
        {0, 0.0f, 0.0f, 1.0f, 0}, {1, 1.0f, 0.5f, 1.0f, 3}, {2, 1.0f, 0.5f, 1.0f, 1},
        {3, 1.0f, 0.5f, 1.0f, 2}, {4, 0.0f, 1.0f, 1.0f, 0}, {8, 1.0f, 1.0f, 1.0f, 0},
    };
    for (const BasicRow& row : basics) {
        const auto* basic = dynamic_cast<const FXDynamicsBasic*>(Manager().DynamicsFind(row.slot));
        ASSERT_NE(basic, nullptr) << "slot " << row.slot;
        EXPECT_EQ(basic->GetGravityScale(), row.gravityScale) << "slot " << row.slot;
        EXPECT_EQ(basic->GetWindScale(), row.windScale) << "slot " << row.slot;
        EXPECT_EQ(basic->GetDamping(), row.damping) << "slot " << row.slot;
        EXPECT_EQ(basic->GetSurfaceResponse(), row.response) << "slot " << row.slot;
        EXPECT_EQ(basic->GetBounce(), 0.2f);
    }
    for (const int slot : {5, 7}) {
        const auto* plane = dynamic_cast<const FXDynamicsPlane*>(Manager().DynamicsFind(slot));
        ASSERT_NE(plane, nullptr) << "slot " << slot;
        EXPECT_FALSE(plane->GetPlaneMotion());
        EXPECT_EQ(plane->GetNormal(), (Vector3{0, 1, 0}));
        EXPECT_EQ(plane->GetDistance(), 0.0f);
    }
    EXPECT_NE(Manager().DynamicsFind(5), Manager().DynamicsFind(7));
    EXPECT_NE(dynamic_cast<FXDynamicsAttached*>(Manager().DynamicsFind(6)), nullptr);
    EXPECT_NE(dynamic_cast<FXDynamicsGravwell*>(Manager().DynamicsFind(10)), nullptr);
    EXPECT_EQ(Manager().DynamicsFind(9), nullptr);
    EXPECT_EQ(Manager().DynamicsFind(11), nullptr);
    EXPECT_EQ(Manager().DynamicsFind(-1), nullptr);
}

TEST_F(FXDynamicsTest, PresetsComeFromThePoolTheirClonesLiveInBlocksAndAllGoAtShutdown) {
    MemPoolSmall& pool = FXDynamicsPool();
    EXPECT_STREQ(pool.Name(), "FXDynamics");
    const size_t presets = pool.LiveObjects();
    EXPECT_EQ(presets, 10u);

    // An instance's clone copies its preset and lives in the instance's block: it takes
    // nothing from the pool.
    FXDynamicsBasic* preset = dynamic_cast<FXDynamicsBasic*>(Manager().DynamicsFind(1));
    preset->SetVelocity({1, 2, 3});
    const FXHandle cloned = Manager().Create("rider", preset);
    const auto* basicClone = dynamic_cast<const FXDynamicsBasic*>(Manager().DynamicsOf(cloned));
    ASSERT_NE(basicClone, nullptr);
    EXPECT_NE(basicClone, preset);
    EXPECT_EQ(basicClone->GetVelocity(), (Vector3{1, 2, 3}));
    EXPECT_EQ(basicClone->GetSurfaceResponse(), FXDynamicsBasic::SURFACE_DIE);
    FXDynamicsDelete(nullptr);
    const FXHandle parent = CreateAnchor({});
    for (const int slot : {0, 5, 6, 10})
        Manager().CreateAttached("rider", Manager().DynamicsFind(slot), parent, 0.0f);
    const FXHandle single = Manager().Create("rider", Manager().DynamicsFind(8));
    EXPECT_EQ(pool.LiveObjects(), presets);
    Manager().Destroy(single);
    Manager().Update(0.1f);
    FXManager::Shutdown();
    EXPECT_EQ(pool.LiveObjects(), 0u);
}

// --- plane -------------------------------------------------------------------------------

TEST(FXDynamicsPlaneTest, PositionsAreProjectedOntoThePlane) {
    struct Row {
        Vector3 normal;
        float distance;
        Vector3 position, projected;
    };
    const Row rows[] = {
        {{0, 1, 0}, 0.0f, {1, 2, 3}, {1, 0, 3}},
        {{0, 1, 0}, -2.0f, {1, 5, 3}, {1, 2, 3}}, // the plane y = 2
        {{1, 0, 0}, 1.0f, {4, 2, 3}, {-1, 2, 3}}, // the plane x = -1
    };
    for (const Row& row : rows) {
        FXDynamicsPlane plane;
        plane.SetPlane(row.normal, row.distance);
        plane.SetPosition(row.position);
        EXPECT_EQ(plane.GetPosition(), row.projected);
    }
}

TEST(FXDynamicsPlaneTest, VelocityStaysInThePlaneOnlyWithPlaneMotion) {
    FXDynamicsPlane plane;
    plane.SetVelocity({1, 2, 3});
    EXPECT_EQ(plane.GetVelocity(), (Vector3{0, 0, 0}));
    plane.SetPlaneMotion(true);
    plane.SetVelocity({1, 2, 3});
    EXPECT_EQ(plane.GetVelocity(), (Vector3{1, 0, 3}));
    plane.SetDamping(0.0f); // no damping on a plane: nothing changes
    EXPECT_EQ(plane.GetVelocity(), (Vector3{1, 0, 3}));
}

TEST_F(FXDynamicsTest, PlaneHoldsTheInstanceStillWithYAlongTheNormal) {
    struct Row {
        Vector3 normal;
        Vector3 x, y, z;
    };
    const Row rows[] = {
        {{0, 1, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, // no normal: world up
        {{0, 0, 1}, {-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {{0, -3, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, -1}},
    };
    for (const Row& row : rows) {
        FXDynamicsPlane plane;
        plane.SetPosition({1, 0, 3});
        plane.SetPlane(row.normal, 0.0f);
        plane.SetPlaneMotion(true);
        plane.SetVelocity({5, 0, 5});
        TestFxObject probe(m_rider, kNullFXHandle, kNullFXHandle);
        EXPECT_FALSE(plane.Update(probe, 0.5f));
        EXPECT_FALSE(plane.Update(probe, 0.5f));
        const Matrix4& m = probe.GetTransform();
        ExpectNear(m.Row(0), row.x);
        ExpectNear(m.Row(1), row.y);
        ExpectNear(m.Row(2), row.z);
        EXPECT_EQ(m.Translation(), (Vector3{1, 0, 3}));
    }
}

// --- gravity well --------------------------------------------------------------------------

TEST_F(FXDynamicsTest, GravwellPullsTowardTheParentWithItsStrength) {
    struct Row {
        const char* name;
        Vector3 parent, child;
        float strength;
        Vector3 after; // one step of 0.1 from rest, damping 1
    };
    const Row rows[] = {
        {"pull", {0, 0, 0}, {10, 0, 0}, 10.0f, {9.9f, 0, 0}},
        {"push", {0, 0, 0}, {0, 0, -4}, -20.0f, {0, 0, -4.2f}},
        {"off axis", {1, 1, 1}, {1, 4, 5}, 10.0f, {1, 3.94f, 4.92f}},
        {"on top", {2, 0, 0}, {2, 0, 0}, 10.0f, {2, 0, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_anchor->strength = row.strength;
        const FXHandle parent = CreateAnchor(At(row.parent));
        FXDynamicsGravwell preset;
        preset.SetPosition(row.child);
        preset.SetDamping(1.0f);
        const FXHandle child = Manager().CreateAttached("rider", &preset, parent, 0.0f);
        Manager().SetTransform(child, QuarterTurnAt(row.child));
        Manager().Update(0.1f);
        Matrix4 transform;
        ASSERT_TRUE(Manager().GetTransform(child, transform));
        ExpectNear(transform.Translation(), row.after);
        // Only the translation follows the motion.
        EXPECT_EQ(transform.Row(2), (Vector3{-1, 0, 0}));
        Manager().Destroy(parent);
    }
}

// --- attached ------------------------------------------------------------------------------

TEST_F(FXDynamicsTest, AttachedChildKeepsItsOffsetWhenTheParentMovesAndTurns) {
    struct Row {
        const char* name;
        std::optional<Vector3> attachment; // the parent's parameter vector
        float parentLength;
        std::optional<Vector3> movedAttachment; // changed after the child attached
        Vector3 afterTurn;
    };
    // The child starts at (12, 0, 1) beside a parent at (10, 0, 0), moving along +X at 1
    // unit per second: after two steps of 0.1 its offset is (2.2, 0, 1) in the parent's
    // axes. The parent then stands at (0, 0, 5) turned a quarter about Y.
    const Row rows[] = {
        {"origin", std::nullopt, 1.0f, std::nullopt, {-1, 0, 7.2f}},
        {"fixed attachment point", Vector3{1, 0, 0}, 2.0f, Vector3{1, 0, 0}, {-1, 0, 7.2f}},
        // The point moves 1 unit along the parent's X (scaled by its length 2): so does
        // the child, in world Z after the turn.
        {"moving attachment point", Vector3{1, 0, 0}, 2.0f, Vector3{1.5f, 0, 0}, {-1, 0, 8.2f}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_anchor->attachment = row.attachment;
        const FXHandle parent = CreateAnchor(At({10, 0, 0}));
        Manager().SetLength(parent, row.parentLength);
        FXDynamicsAttached preset;
        preset.SetPosition({12, 0, 1});
        preset.SetVelocity({1, 0, 0});
        preset.SetDamping(1.0f);
        const FXHandle child = Manager().CreateAttached("rider", &preset, parent, 0.0f);
        Manager().Update(0.1f);
        ExpectNear(Translation(child), {12.1f, 0, 1});

        m_anchor->attachment = row.movedAttachment;
        Manager().SetTransform(parent, QuarterTurnAt({0, 0, 5}));
        Manager().Update(0.1f);
        Matrix4 transform;
        ASSERT_TRUE(Manager().GetTransform(child, transform));
        ExpectNear(transform.Translation(), row.afterTurn);
        // It faces along its velocity, which turned with the parent: from +X to +Z.
        ExpectNear(transform.Row(2), {0, 0, 1});
        ExpectNear(transform.Row(0), {0, 1, 0});
        Manager().Destroy(parent);
    }
}

TEST_F(FXDynamicsTest, AttachedCloneWithoutALiveParentAsksForAStop) {
    // Destroying a parent takes its children along, so the dynamics are driven by hand
    // on a probe whose parent dies.
    const FXHandle parent = CreateAnchor(At({1, 0, 0}));
    FXDynamicsAttached dynamics;
    TestFxObject probe(m_rider, kNullFXHandle, parent);
    EXPECT_FALSE(dynamics.Update(probe, 0.1f));
    EXPECT_EQ(dynamics.GetTarget(), parent);
    ExpectNear(dynamics.GetPosition(), {-1, 0, 0});
    Manager().Destroy(parent);
    EXPECT_TRUE(dynamics.Update(probe, 0.1f));

    FXDynamicsAttached neverAttached;
    EXPECT_TRUE(neverAttached.Update(probe, 0.1f)); // the parent is stale at the first update
    EXPECT_TRUE(neverAttached.GetTarget().IsNull());
}

TEST_F(FXDynamicsTest, AnInstanceWhoseAttachedDynamicsFailIsStopped) {
    // A top-level instance has no parent to ride on: the loop stops it, and the rider,
    // which otherwise runs until stopped, finishes in that same step.
    const FXHandle single = Manager().Create("rider", Manager().DynamicsFind(6));
    ASSERT_TRUE(Manager().IsAlive(single));
    Manager().Update(0.1f);
    EXPECT_FALSE(Manager().IsAlive(single));
    EXPECT_EQ(m_rider->log.updates.size(), 1u);
}

} // namespace
