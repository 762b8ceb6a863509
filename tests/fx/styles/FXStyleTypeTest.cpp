// The behaviour of the nine style types beyond their parameter tables: style flags,
// durations (including those measured through child types), child-type lists and the
// preparation of child types.
#include "definitions/FXStyle.h"
#include "definitions/FXTypeFactory.h"
#include "diag/Diag.h"
#include "runtime/FXManager.h"
#include "styles/FXBeam.h"
#include "support/TempWorkDir.h"
#include "support/TestFx.h"
#include "support/TestProperties.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

namespace {

constexpr float kLargest = std::numeric_limits<float>::max();

std::vector<std::string> Children(const FXType& type) {
    std::vector<std::string> list = {"left over"};
    type.GetChildTypes(list);
    return list;
}

TEST(FXNewType, BuildsEachStyleWithItsFlags) {
    struct Row {
        int style;
        bool renderable;
    };
    const Row rows[] = {
        {STYLE_SPRAY, false}, {STYLE_RING, true},       {STYLE_BEAM, true},
        {STYLE_TRAIL, true},  {STYLE_COMBO, false},     {STYLE_CONDITIONAL, false},
        {STYLE_LIGHT, true},  {STYLE_HYPERSPACE, true}, {STYLE_LENSFLARE, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(FXStyleName(row.style));
        const auto type = FXNewType(row.style, "Some/Type");
        ASSERT_NE(type, nullptr);
        EXPECT_EQ(type->GetStyle(), row.style);
        EXPECT_EQ(type->GetName(), "some/type");
        EXPECT_EQ(type->IsRenderable(), row.renderable);
        // With its defaults no style opts out of fading by size (a ring only does when
        // it draws far rings as points).
        EXPECT_FALSE(type->NoSizeFade());
    }
    EXPECT_EQ(FXNewType(-1, "t"), nullptr);
    EXPECT_EQ(FXNewType(kStyleNone, "t"), nullptr);
    EXPECT_EQ(FXNewType(1000, "t"), nullptr);
}

TEST(FXTypeRing, NoSizeFadeWhileRingsBecomePoints) {
    const auto ring = FXNewType(STYLE_RING, "r");
    SetProperty(*ring, "PointDistance", 0.0f);
    EXPECT_TRUE(ring->NoSizeFade());
    SetProperty(*ring, "PointDistance", 250.0f);
    EXPECT_TRUE(ring->NoSizeFade());
    SetProperty(*ring, "PointDistance", -0.5f);
    EXPECT_FALSE(ring->NoSizeFade());
}

TEST(FXStyleDuration, StylesWithoutChildrenFollowTheirOwnRule) {
    const auto spray = FXNewType(STYLE_SPRAY, "s");
    SetProperty(*spray, "Emitter_Duration", 2.5f);
    EXPECT_EQ(spray->GetDuration(), 2.5f);
    SetProperty(*spray, "Emitter_Loop", true);
    EXPECT_EQ(spray->GetDuration(), kLargest);

    const auto ring = FXNewType(STYLE_RING, "r");
    EXPECT_EQ(ring->GetDuration(), 5.0f);
    SetProperty(*ring, "Loop", true);
    EXPECT_EQ(ring->GetDuration(), kLargest);

    const auto trail = FXNewType(STYLE_TRAIL, "t");
    SetProperty(*trail, "Duration", 7.0f);
    EXPECT_EQ(trail->GetDuration(), 0.5f);

    // Beam and light report Duration even while looping; the others have no loop.
    for (const int style : {STYLE_BEAM, STYLE_LIGHT, STYLE_HYPERSPACE, STYLE_LENSFLARE}) {
        SCOPED_TRACE(FXStyleName(style));
        const auto type = FXNewType(style, "d");
        EXPECT_EQ(type->GetDuration(), 5.0f);
        SetProperty(*type, "Duration", 3.0f);
        if (type->FindParam("Loop"))
            SetProperty(*type, "Loop", true);
        EXPECT_EQ(type->GetDuration(), 3.0f);
    }
}

TEST(FXStyleDuration, WithoutAManagerChildTypesCountNothing) {
    ASSERT_EQ(FXManager::Instance(), nullptr);
    const auto combo = FXNewType(STYLE_COMBO, "c");
    SetProperty(*combo, "Fx1", "beam");
    EXPECT_EQ(combo->GetDuration(), 0.5f);
    const auto conditional = FXNewType(STYLE_CONDITIONAL, "c");
    SetProperty(*conditional, "Fx2", "beam");
    EXPECT_EQ(conditional->GetDuration(), 0.5f);
    const auto ring = FXNewType(STYLE_RING, "r");
    SetProperty(*ring, "Spawn_Fx", "beam");
    EXPECT_EQ(ring->GetDuration(), 5.0f);
    EXPECT_TRUE(ring->Prepare());
}

// A running manager in an empty working directory: only types added by the test exist.
class FXStyleWithChildren : public testing::Test {
protected:
    void SetUp() override {
        FXManager::Startup();
        m_previousSink = dbSetTraceSink([](const std::string&) {});
    }
    void TearDown() override {
        dbSetTraceSink(std::move(m_previousSink));
        FXManager::Shutdown();
    }

    // Registers a beam of the given duration.
    FXType& AddBeam(const char* name, float duration) {
        FXType& beam = AddStyleType(STYLE_BEAM, name);
        SetProperty(beam, "Duration", duration);
        return beam;
    }

    TempWorkDir m_dir;
    DiagTraceSink m_previousSink;
};

TEST_F(FXStyleWithChildren, ComboTakesTheLongestChildAndAtLeastHalfASecond) {
    AddBeam("two", 2.0f);
    AddBeam("five", 5.0f);
    AddBeam("short", 0.2f);
    FXType& combo = AddStyleType(STYLE_COMBO, "combo");
    EXPECT_EQ(combo.GetDuration(), 0.5f);
    SetProperty(combo, "FX8", "Short");
    EXPECT_EQ(combo.GetDuration(), 0.5f);
    SetProperty(combo, "Fx2", "two");
    SetProperty(combo, "FX5", "FIVE");
    EXPECT_EQ(combo.GetDuration(), 5.0f);
    SetProperty(combo, "Fx1", "missing"); // cannot be had: counts nothing
    EXPECT_EQ(combo.GetDuration(), 5.0f);
}

TEST_F(FXStyleWithChildren, ConditionalTakesTheLongerChild) {
    AddBeam("two", 2.0f);
    AddBeam("three", 3.0f);
    SetProperty(AddStyleType(STYLE_SPRAY, "looping"), "Emitter_Loop", true);
    FXType& conditional = AddStyleType(STYLE_CONDITIONAL, "cond");
    SetProperty(conditional, "Fx1", "three");
    SetProperty(conditional, "Fx2", "two");
    EXPECT_EQ(conditional.GetDuration(), 3.0f);
    SetProperty(conditional, "Fx1", "");
    EXPECT_EQ(conditional.GetDuration(), 2.0f);
    SetProperty(conditional, "Fx2", "looping");
    EXPECT_EQ(conditional.GetDuration(), kLargest);
}

TEST_F(FXStyleWithChildren, RingAddsItsDeathSpawnAndABirthSpawnReplacesThat) {
    AddBeam("two", 2.0f);
    AddBeam("three", 3.0f);
    AddBeam("eight", 8.0f);
    FXType& ring = AddStyleType(STYLE_RING, "ring");
    SetProperty(ring, "Spawn_Fx", "two");
    EXPECT_EQ(ring.GetDuration(), 7.0f);
    SetProperty(ring, "BirthSpawn_Fx", "three");
    EXPECT_EQ(ring.GetDuration(), 5.0f);
    SetProperty(ring, "BirthSpawn_Fx", "eight");
    EXPECT_EQ(ring.GetDuration(), 8.0f);
    SetProperty(ring, "BirthSpawn_Fx", "missing");
    EXPECT_EQ(ring.GetDuration(), 7.0f);
    SetProperty(ring, "Loop", true);
    EXPECT_EQ(ring.GetDuration(), kLargest);
}

TEST_F(FXStyleWithChildren, ReferenceCyclesEndAndCountTheRepeatedTypeAsNothing) {
    AddBeam("three", 3.0f);
    AddBeam("four", 4.0f);

    FXType& self = AddStyleType(STYLE_COMBO, "self");
    SetProperty(self, "Fx1", "self");
    SetProperty(self, "Fx2", "three");
    EXPECT_EQ(self.GetDuration(), 3.0f);

    // a -> b -> a, with a 3-second beam under a and a 4-second beam under b.
    FXType& a = AddStyleType(STYLE_COMBO, "a");
    FXType& b = AddStyleType(STYLE_CONDITIONAL, "b");
    SetProperty(a, "Fx1", "b");
    SetProperty(a, "Fx2", "three");
    SetProperty(b, "Fx1", "a");
    SetProperty(b, "Fx2", "four");
    EXPECT_EQ(a.GetDuration(), 4.0f);
    EXPECT_EQ(b.GetDuration(), 4.0f);
    EXPECT_EQ(a.GetDuration(), 4.0f); // no measurement is left marked as running

    // A ring that spawns itself at death and at birth: the repeat adds nothing.
    FXType& ring = AddStyleType(STYLE_RING, "ring");
    SetProperty(ring, "Spawn_Fx", "ring");
    EXPECT_EQ(ring.GetDuration(), 5.0f);
    SetProperty(ring, "BirthSpawn_Fx", "ring");
    EXPECT_EQ(ring.GetDuration(), 5.0f);
}

TEST(FXStyleChildTypes, EachStyleListsWhatItSpawns) {
    const auto spray = FXNewType(STYLE_SPRAY, "s");
    EXPECT_EQ(Children(*spray), std::vector<std::string>{"dot"});
    SetProperty(*spray, "Particle_Fx", "");
    EXPECT_EQ(Children(*spray), std::vector<std::string>{""});

    // The ring names both spawn slots, death spawn first, empty or not.
    const auto ring = FXNewType(STYLE_RING, "r");
    EXPECT_EQ(Children(*ring), (std::vector<std::string>{"", ""}));
    SetProperty(*ring, "Spawn_Fx", "death");
    SetProperty(*ring, "BirthSpawn_Fx", "birth");
    EXPECT_EQ(Children(*ring), (std::vector<std::string>{"death", "birth"}));

    const auto combo = FXNewType(STYLE_COMBO, "c");
    EXPECT_TRUE(Children(*combo).empty());
    SetProperty(*combo, "FX7", "seventh");
    SetProperty(*combo, "Fx2", "second");
    SetProperty(*combo, "FX3", "third");
    EXPECT_EQ(Children(*combo), (std::vector<std::string>{"second", "third", "seventh"}));

    const auto conditional = FXNewType(STYLE_CONDITIONAL, "c");
    EXPECT_TRUE(Children(*conditional).empty());
    SetProperty(*conditional, "Fx2", "only");
    EXPECT_EQ(Children(*conditional), std::vector<std::string>{"only"});
    SetProperty(*conditional, "Fx1", "first");
    EXPECT_EQ(Children(*conditional), (std::vector<std::string>{"first", "only"}));

    for (const int style :
         {STYLE_BEAM, STYLE_TRAIL, STYLE_LIGHT, STYLE_HYPERSPACE, STYLE_LENSFLARE}) {
        SCOPED_TRACE(FXStyleName(style));
        EXPECT_TRUE(Children(*FXNewType(style, "t")).empty());
    }
}

// A beam that counts how often it is prepared.
class CountingBeam : public FXTypeBeam {
public:
    using FXTypeBeam::FXTypeBeam;
    bool Prepare() override {
        ++prepared;
        return true;
    }
    int prepared = 0;
};

TEST_F(FXStyleWithChildren, PrepareReachesEveryNamedChildType) {
    std::vector<std::shared_ptr<CountingBeam>> beams;
    for (const char* name : {"dot", "death", "birth", "one", "two", "eight"}) {
        beams.push_back(std::make_shared<CountingBeam>(name));
        FXManager::Instance()->TypeAdd(beams.back());
    }
    FXType& spray = AddStyleType(STYLE_SPRAY, "spray");
    FXType& ring = AddStyleType(STYLE_RING, "ring");
    SetProperty(ring, "Spawn_Fx", "death");
    SetProperty(ring, "BirthSpawn_Fx", "birth");
    FXType& combo = AddStyleType(STYLE_COMBO, "combo");
    SetProperty(combo, "Fx1", "one");
    SetProperty(combo, "FX8", "eight");
    SetProperty(combo, "FX4", "combo"); // itself: preparation must still end
    FXType& conditional = AddStyleType(STYLE_CONDITIONAL, "cond");
    SetProperty(conditional, "Fx2", "two");

    // Through the manager, as the runtime prepares a type.
    for (FXType* type : {&spray, &ring, &combo, &conditional})
        EXPECT_TRUE(FXManager::Instance()->TypePrepare(type->GetName().c_str())) << type->GetName();
    for (const auto& beam : beams)
        EXPECT_EQ(beam->prepared, 1) << beam->GetName();
}

} // namespace
