// The two grouping styles: a combo runs up to eight effects as one and lives until all
// have died; a conditional runs two and ends them together.
#include "definitions/FXStyle.h"
#include "definitions/FXTypeFactory.h"
#include "runtime/FXManager.h"
#include "runtime/FXObject.h"
#include "support/TempWorkDir.h"
#include "support/TestFx.h"
#include "support/TestProperties.h"

#include <cmath>
#include <cstddef>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <utility>

namespace {

// A test instance that, once stopped, plays out for a second before it finishes, and
// takes a fade.
class PlayingOutObject : public TestFxObject {
public:
    using TestFxObject::TestFxObject;
    bool Update(float dt) override {
        if (!m_stopped)
            return TestFxObject::Update(dt);
        m_sinceStop += dt;
        return m_sinceStop >= 1.0f;
    }
    bool SetParamFade(float fade) override {
        m_fade = fade;
        return true;
    }
    float Fade() const { return m_fade; }

private:
    float m_sinceStop = 0.0f;
    float m_fade = -1.0f; // none given
};

class PlayingOutType : public TestFxType {
public:
    using TestFxType::TestFxType;
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t) override {
        return FXConstructInstance<PlayingOutObject>(memory, this, self, parent);
    }
};

class FXGroupStyleTest : public testing::Test {
protected:
    void SetUp() override {
        FXManager::Startup();
        AddTestFx("one", 1.0f);
        AddTestFx("two", 2.0f);
        AddTestFx("five", 5.0f);
        Manager().TypeAdd(std::make_shared<PlayingOutType>("loop", -1.0f));
    }
    void TearDown() override { FXManager::Shutdown(); }

    static FXManager& Manager() { return *FXManager::Instance(); }

    // Registers a combo or conditional type with the given child names.
    static FXType& AddGroup(int style, const char* name,
                            std::initializer_list<std::pair<const char*, const char*>> children) {
        FXType& type = AddStyleType(style, name);
        for (const auto& [property, child] : children)
            SetProperty(type, property, child);
        return type;
    }

    static bool Alive(const FXHandle& handle) { return Manager().IsAlive(handle); }
    static const FXObject& Object(const FXHandle& handle) { return *Manager().Resolve(handle); }

    TempWorkDir m_dir; // names that are not registered find no file
};

TEST_F(FXGroupStyleTest, AGroupWithoutChildrenFinishesAtItsFirstUpdate) {
    // Children fail when their type cannot be had and, with the light level at -1, for
    // light types.
    Manager().TypeAdd(FXNewType(STYLE_LIGHT, "lamp"));
    AddGroup(STYLE_COMBO, "combo.empty", {});
    AddGroup(STYLE_COMBO, "combo.failed", {{"Fx1", "nosuch"}, {"FX8", "lamp"}});
    AddGroup(STYLE_CONDITIONAL, "conditional.empty", {});
    AddGroup(STYLE_CONDITIONAL, "conditional.failed", {{"Fx1", "lamp"}, {"Fx2", "nosuch"}});
    for (const char* name :
         {"combo.empty", "combo.failed", "conditional.empty", "conditional.failed"}) {
        SCOPED_TRACE(name);
        const FXHandle group = Manager().Create(name, nullptr);
        ASSERT_TRUE(Alive(group));
        EXPECT_TRUE(Manager().Children(group).empty());
        Manager().Update(0.01f);
        EXPECT_FALSE(Alive(group));
        EXPECT_EQ(Manager().LiveCount(), 0u);
    }
}

TEST_F(FXGroupStyleTest, AComboLastsAsLongAsItsLongestChild) {
    // FX3 is spelt in capitals: the child must come from the third name as well.
    FXType& combo = AddGroup(STYLE_COMBO, "combo", {{"Fx1", "two"}, {"FX3", "five"}});
    EXPECT_EQ(combo.GetDuration(), 5.0f);
    const FXHandle handle = Manager().Create("combo", nullptr);
    const auto children = Manager().Children(handle);
    ASSERT_EQ(children.size(), 2u);
    const FXHandle two = children[0];
    const FXHandle five = children[1];
    EXPECT_EQ(Manager().Resolve(two)->GetType()->GetName(), "two");

    RunFrames(1.9f);
    EXPECT_TRUE(Alive(two));
    RunFrames(0.3f);
    EXPECT_FALSE(Alive(two));
    EXPECT_TRUE(Alive(handle));
    RunFrames(2.6f); // 4.8 s
    EXPECT_TRUE(Alive(five));
    EXPECT_TRUE(Alive(handle));
    RunFrames(0.4f); // 5.2 s
    EXPECT_FALSE(Alive(five));
    EXPECT_FALSE(Alive(handle));
    EXPECT_EQ(Manager().LiveCount(), 0u);
}

TEST_F(FXGroupStyleTest, EachGroupPassesItsOwnSetOfSettingsToItsChildren) {
    // Called on the instances themselves: the manager spreads visibility and Stop over
    // a family anyway.
    struct Row {
        int style;
        bool velocity, visibilityAndStop;
    };
    for (const Row row : {Row{STYLE_COMBO, true, false}, Row{STYLE_CONDITIONAL, false, true}}) {
        SCOPED_TRACE(FXStyleName(row.style));
        AddGroup(row.style, FXStyleName(row.style), {{"Fx1", "loop"}, {"Fx2", "loop"}});
        const FXHandle handle = Manager().Create(FXStyleName(row.style), nullptr);
        Matrix4 placement;
        placement.SetRow(0, {0.0f, 1.0f, 0.0f});
        placement.SetTranslation({3.0f, 4.0f, 5.0f});
        FXObject* group = Manager().Resolve(handle);
        group->SetTransform(placement);
        group->SetVelocity({1.0f, 2.0f, 3.0f});
        group->SetScale(2.5f);
        group->SetLength(0.5f);
        EXPECT_EQ(group->SetParamFade(0.25f), row.style == STYLE_COMBO);
        group->SetVisible(false);
        group->Stop();
        const auto children = Manager().Children(handle);
        ASSERT_EQ(children.size(), 2u);
        for (const FXHandle& child : children) {
            const auto& object = dynamic_cast<const PlayingOutObject&>(Object(child));
            EXPECT_EQ(object.GetTransform(), placement);
            EXPECT_EQ(object.GetScale(), 2.5f);
            EXPECT_EQ(object.GetLength(), 0.5f);
            EXPECT_EQ(object.GetVelocity() == (Vector3{1.0f, 2.0f, 3.0f}), row.velocity);
            EXPECT_EQ(object.Fade() == 0.25f, row.style == STYLE_COMBO);
            EXPECT_EQ(object.IsVisible(), !row.visibilityAndStop);
            EXPECT_EQ(object.IsStopped(), row.visibilityAndStop);
        }
    }
}

TEST_F(FXGroupStyleTest, AConditionalWithOnlyFx2LastsAsLongAsIt) {
    AddGroup(STYLE_CONDITIONAL, "conditional", {{"Fx2", "loop"}});
    const FXHandle handle = Manager().Create("conditional", nullptr);
    const auto children = Manager().Children(handle);
    ASSERT_EQ(children.size(), 1u);
    RunFrames(10.0f);
    EXPECT_TRUE(Alive(handle));
    EXPECT_TRUE(Alive(children[0]));

    Manager().Resolve(handle)->Stop(); // passed on by the conditional itself
    EXPECT_TRUE(Object(children[0]).IsStopped());
    RunFrames(0.7f);
    EXPECT_TRUE(Alive(handle)); // the loop plays out for 1.0 s
    RunFrames(0.8f);
    EXPECT_FALSE(Alive(children[0]));
    EXPECT_FALSE(Alive(handle));
}

TEST_F(FXGroupStyleTest, AConditionalStopsFx2WhenFx1DiesAndEndsWhenFx2HasPlayedOut) {
    AddGroup(STYLE_CONDITIONAL, "conditional", {{"Fx1", "two"}, {"Fx2", "loop"}});
    const FXHandle handle = Manager().Create("conditional", nullptr);
    const auto children = Manager().Children(handle);
    ASSERT_EQ(children.size(), 2u);
    RunFrames(1.9f);
    EXPECT_FALSE(Object(children[1]).IsStopped());
    RunFrames(0.5f); // 2.4 s: the two-second child has died
    EXPECT_FALSE(Alive(children[0]));
    ASSERT_TRUE(Alive(children[1]));
    EXPECT_TRUE(Object(children[1]).IsStopped());
    EXPECT_TRUE(Alive(handle));
    RunFrames(1.1f); // 3.5 s: one second of play-out has passed since the stop
    EXPECT_FALSE(Alive(children[1]));
    EXPECT_FALSE(Alive(handle));
}

TEST_F(FXGroupStyleTest, AConditionalDestroysItsChildrenWhereAComboLeavesThem) {
    // Through the manager every family dies together: children go first.
    AddGroup(STYLE_COMBO, "combo", {{"Fx1", "loop"}, {"Fx2", "five"}});
    AddGroup(STYLE_CONDITIONAL, "conditional", {{"Fx1", "loop"}, {"Fx2", "five"}});
    for (const char* name : {"combo", "conditional"}) {
        const FXHandle handle = Manager().Create(name, nullptr);
        Manager().Destroy(handle);
        EXPECT_EQ(Manager().LiveCount(), 0u) << name;
    }

    // The instances' own destructors differ. Built in place of their own, with the
    // children attached to a holder instance, only the conditional takes them along.
    struct Row {
        const char* type;
        bool childrenSurvive;
    };
    for (const Row row : {Row{"combo", true}, Row{"conditional", false}}) {
        SCOPED_TRACE(row.type);
        const FXHandle holder = Manager().Create("loop", nullptr);
        alignas(kFXBlockPayloadAlignment) std::byte memory[kFXBlockPayloadSize];
        FXObject* group =
            Manager().TypeFind(row.type)->CreateInstance(memory, holder, kNullFXHandle, 0);
        ASSERT_NE(group, nullptr);
        const auto children = Manager().Children(holder);
        ASSERT_EQ(children.size(), 2u);
        group->~FXObject();
        for (const FXHandle& child : children)
            EXPECT_EQ(Alive(child), row.childrenSurvive);
        EXPECT_EQ(Manager().Children(holder).size(), row.childrenSurvive ? 2u : 0u);
        Manager().Destroy(holder);
        EXPECT_EQ(Manager().LiveCount(), 0u);
    }
}

} // namespace
