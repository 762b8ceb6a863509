// FXManager: the registry of types reached through it, and the live instances with their
// creation, destruction, update loop and render pass.
#include "runtime/FXManager.h"

#include "definitions/FXFile.h"
#include "definitions/FXStyle.h"
#include "definitions/FXTypeFactory.h"
#include "diag/Diag.h"
#include "pool/MemCRT.h"
#include "pool/MemoryPoolObj.h"
#include "runtime/FXCamera.h"
#include "runtime/FXFrustum.h"
#include "scene/RecordingRenderDevice.h"
#include "support/TempWorkDir.h"
#include "support/TestFx.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// A started manager in a fresh working directory, with trace capture.
class FXManagerTest : public testing::Test {
protected:
    void SetUp() override {
        FXManager::Startup();
        m_previousSink =
            dbSetTraceSink([this](const std::string& line) { m_traces.push_back(line); });
    }
    void TearDown() override {
        dbSetTraceSink(std::move(m_previousSink));
        FXManager::Shutdown();
    }

    FXManager& Manager() { return *FXManager::Instance(); }

    void WriteRing(const std::string& name, const std::string& properties = "") {
        m_dir.write("Data/art/fx/" + name + ".lua",
                    "fx = { style = \"STYLE_RING\", properties = { " + properties + " } }\n");
    }

    static std::string Property(const std::string& name, const std::string& type,
                                const std::string& value) {
        return "{ name = \"" + name + "\", type = \"" + type + "\", value = " + value + " }, ";
    }

    static FXVariable Value(const FXType& type, const char* name) {
        FXVariable value;
        EXPECT_TRUE(type.GetPropertyValue(name, value)) << name;
        return value;
    }

    // A camera at the origin looking down -Z, with the given field of view.
    void RenderView(float fieldOfView = 70.0f) {
        FXCamera camera;
        camera.SetAspectRatio(1.0f);
        camera.SetFieldOfView(fieldOfView);
        camera.UpdateMatrices();
        FXFrustum frustum;
        camera.BuildFrustum(frustum);
        Manager().Render(frustum, camera);
    }

    FXHandle CreateAt(const char* name, const Vector3& position) {
        const FXHandle handle = Manager().Create(name, nullptr);
        Matrix4 transform;
        transform.SetTranslation(position);
        Manager().SetTransform(handle, transform);
        return handle;
    }

    TempWorkDir m_dir;
    std::vector<std::string> m_traces;
    DiagTraceSink m_previousSink;
};

TEST_F(FXManagerTest, ShutdownClearsTheSingletonAndAStartupIsKept) {
    FXManager* running = FXManager::Instance();
    FXManager::Startup();
    EXPECT_EQ(FXManager::Instance(), running);
    FXManager::Shutdown();
    EXPECT_EQ(FXManager::Instance(), nullptr);
    FXManager::Startup();
}

TEST_F(FXManagerTest, AWorldKeepsItsTypesAndInstancesApartWhileCurrent) {
    FXManager* main = FXManager::Instance();
    TestFxType& mainType = AddTestFx("shared", -1.0f);
    main->Create("shared", nullptr);

    FXManager* world = FXManager::CreateWorld();
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(FXManager::Instance(), main); // made, not current
    EXPECT_EQ(FXManager::MakeCurrent(world), main);
    EXPECT_EQ(world->TypeLookup("shared"), nullptr);
    EXPECT_NE(world->DynamicsFind(0), nullptr); // the presets come with it
    TestFxType& worldType = AddTestFx("shared", -1.0f);
    TestFxType& child = AddTestFx("child", -1.0f);
    worldType.children = {"child"}; // children are found in the current world
    world->Create("shared", nullptr);
    world->Update(0.1f);
    EXPECT_EQ(world->LiveCount(), 2u);
    EXPECT_EQ(main->LiveCount(), 1u);
    EXPECT_EQ(worldType.log.created, 1);
    EXPECT_EQ(child.log.created, 1);
    EXPECT_TRUE(mainType.log.updates.empty());

    EXPECT_EQ(FXManager::MakeCurrent(main), world);
    main->Update(0.1f);
    EXPECT_EQ(mainType.log.updates.size(), 1u);
    FXManager::DestroyWorld(world);
    EXPECT_EQ(FXManager::Instance(), main);
    EXPECT_EQ(main->LiveCount(), 1u);
}

TEST_F(FXManagerTest, FindIsCaseInsensitiveAndReadsAFileOnce) {
    WriteRing("spark", Property("Duration", "VARTYPE_FLOAT", "2.5"));
    FXType* lower = Manager().TypeFind("spark");
    ASSERT_NE(lower, nullptr);
    EXPECT_EQ(lower->GetStyle(), STYLE_RING);
    EXPECT_EQ(Value(*lower, "Duration").GetFloat(), 2.5f);
    std::filesystem::remove(m_dir.root() / "Data/art/fx/spark.lua");
    EXPECT_EQ(Manager().TypeFind("SPARK"), lower);
    EXPECT_EQ(Manager().TypeFind(""), nullptr);
    EXPECT_EQ(Manager().TypeFind(nullptr), nullptr);
}

TEST_F(FXManagerTest, AMissingTypeBecomesBadfxUnderItsOwnName) {
    EXPECT_EQ(Manager().TypeFind("ghost"), nullptr); // no badfx either
    WriteRing("badfx", Property("Duration", "VARTYPE_FLOAT", "9"));
    FXType* ghost = Manager().TypeFind("Ghost");
    ASSERT_NE(ghost, nullptr);
    EXPECT_EQ(ghost->GetName(), "ghost");
    EXPECT_EQ(Value(*ghost, "Duration").GetFloat(), 9.0f);
    EXPECT_EQ(Manager().TypeFind("ghost"), ghost);
    // A broken file is replaced the same way.
    m_dir.write("Data/art/fx/broken.lua", "fx = {");
    FXType* broken = Manager().TypeFind("broken");
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(broken->GetName(), "broken");
    EXPECT_NE(broken, ghost);
}

TEST_F(FXManagerTest, LoadingKeepsDefaultsForWhatTheStyleRefuses) {
    const auto defaults = FXNewType(STYLE_RING, "defaults");
    WriteRing("mixed",
              Property("NoSuchProperty", "VARTYPE_FLOAT", "1") +
                  Property("Blending", "VARTYPE_FLOAT", "3") +   // wrong kind
                  Property("Duration", "VARTYPE_FLOAT", "900") + // out of range
                  Property("SortOrder", "VARTYPE_INT", "4") +
                  Property("Texture", "VARTYPE_STRING", "\"Data:art\\\\fx\\\\smoke.tga\""));
    FXType* type = Manager().TypeFind("mixed");
    ASSERT_NE(type, nullptr);
    FXPropertyList loaded, fresh;
    type->GetProperties(loaded);
    defaults->GetProperties(fresh);
    ASSERT_EQ(loaded.size(), fresh.size());
    EXPECT_TRUE(Value(*type, "Blending") == Value(*defaults, "Blending"));
    EXPECT_TRUE(Value(*type, "Duration") == Value(*defaults, "Duration"));
    EXPECT_EQ(Value(*type, "SortOrder").GetInt(), 4);
    EXPECT_EQ(type->GetSortOrder(), 4);
    EXPECT_STREQ(Value(*type, "Texture").String(), "Data:art/fx/smoke.tga");
}

TEST_F(FXManagerTest, SetPropertyNormalisesPathsAndChecksKinds) {
    const auto ring = FXNewType(STYLE_RING, "ring");
    FXVariable path;
    path.SetString("C:\\Game\\Data\\Art\\FX\\Sparks_Big.LUA");
    ASSERT_TRUE(ring->SetProperty("Spawn_Fx", path));
    EXPECT_STREQ(Value(*ring, "Spawn_Fx").String(), "Sparks_Big");
    path.SetString("Data:art\\fx\\smoke.tga");
    ASSERT_TRUE(ring->SetProperty("Texture", path));
    EXPECT_STREQ(Value(*ring, "Texture").String(), "Data:art/fx/smoke.tga");
    path.SetString("plain.lua");
    ASSERT_TRUE(ring->SetProperty("Spawn_Fx", path));
    EXPECT_STREQ(Value(*ring, "Spawn_Fx").String(), "plain");

    FXVariable number;
    number.SetFloat(2.0f);
    EXPECT_FALSE(ring->SetProperty("Blending", number)); // an int parameter
    EXPECT_EQ(Value(*ring, "Blending").GetInt(), 1);
    EXPECT_FALSE(ring->SetProperty("blending", number)); // names are case-sensitive
    EXPECT_FALSE(ring->SetProperty("Nothing", number));
}

TEST_F(FXManagerTest, DuplicateNamesAreTracedAndTheFirstTypeStays) {
    auto first = FXNewType(STYLE_RING, "Twice");
    FXType* firstRaw = first.get();
    Manager().TypeAdd(std::move(first));
    Manager().TypeAdd(FXNewType(STYLE_BEAM, "twice"));
    EXPECT_EQ(Manager().TypeFind("TWICE"), firstRaw);
    ASSERT_EQ(m_traces.size(), 1u);
    EXPECT_EQ(m_traces[0], "FXManager::TypeAdd: FX-Type already in list!!");
}

TEST_F(FXManagerTest, ResetEmptiesTheRegistrySoTypesAreReadAgain) {
    WriteRing("again", Property("Duration", "VARTYPE_FLOAT", "1"));
    FXType* before = Manager().TypeFind("again");
    ASSERT_NE(before, nullptr);
    WriteRing("again", Property("Duration", "VARTYPE_FLOAT", "3"));
    Manager().Reset();
    EXPECT_EQ(Manager().TypeCount(), 0u);
    FXType* after = Manager().TypeFind("again");
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(Value(*after, "Duration").GetFloat(), 3.0f);
}

TEST_F(FXManagerTest, SavedTypesLoadBackWithTheSamePropertyList) {
    m_dir.write("Data/art/fx/.keep", "");
    for (int style = 0; style < kStyleCount; ++style) {
        const std::string name = std::string("Saved_") + std::to_string(style);
        auto type = FXNewType(style, name.c_str());
        ASSERT_NE(type, nullptr);
        ASSERT_TRUE(Manager().TypeSave(*type)) << FXStyleName(style);
        EXPECT_TRUE(std::filesystem::exists(m_dir.root() / "Data/art/fx" /
                                            (FXLowerCase(name.c_str()) + ".lua")));
        FXType* loaded = Manager().TypeFind(name.c_str());
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->GetStyle(), style);
        FXPropertyList expected, actual;
        type->GetProperties(expected);
        loaded->GetProperties(actual);
        ASSERT_EQ(actual.size(), expected.size());
        auto a = actual.begin();
        for (const FXProperty& e : expected) {
            EXPECT_EQ(a->name, e.name);
            EXPECT_EQ(a->description, e.description);
            EXPECT_TRUE(a->value == e.value) << FXStyleName(style) << " " << e.name;
            ++a;
        }
    }
}

TEST_F(FXManagerTest, PrepareSurvivesReferenceCycles) {
    m_dir.write("Data/art/fx/self.lua",
                "fx = { style = \"STYLE_SPRAY\", properties = { { name = \"Particle_Fx\", "
                "type = \"VARTYPE_STRING\", value = \"self\" } } }");
    m_dir.write("Data/art/fx/a.lua",
                "fx = { style = \"STYLE_SPRAY\", properties = { { name = \"Particle_Fx\", "
                "type = \"VARTYPE_STRING\", value = \"b\" } } }");
    m_dir.write("Data/art/fx/b.lua",
                "fx = { style = \"STYLE_SPRAY\", properties = { { name = \"Particle_Fx\", "
                "type = \"VARTYPE_STRING\", value = \"a\" } } }");
    EXPECT_TRUE(Manager().TypePrepare("self"));
    EXPECT_TRUE(Manager().TypePrepare("a"));
    EXPECT_TRUE(Manager().TypePrepare("A")); // a second pass prepares again and ends again
    EXPECT_FALSE(Manager().TypePrepare("nothing"));
}

TEST_F(FXManagerTest, UpdatesAreCutIntoStepsOfATenthAtMost) {
    TestFxType& type = AddTestFx("steady", -1.0f);
    Manager().Create("steady", nullptr);
    Manager().Update(2.5f); // cut to the maximum step of 1.0 first
    ASSERT_EQ(type.log.updates.size(), 10u);
    for (const float dt : type.log.updates)
        EXPECT_NEAR(dt, 0.1f, 1e-6f);
    type.log.updates.clear();
    Manager().Update(0.25f);
    ASSERT_EQ(type.log.updates.size(), 3u);
    EXPECT_NEAR(type.log.updates[2], 0.05f, 1e-6f);
    // Whole numbers of tenths are that many steps, not one more of a rounding sliver.
    for (const auto& [dt, steps] : {std::pair{0.3f, 3u}, {0.6f, 6u}, {1.0f, 10u}}) {
        type.log.updates.clear();
        Manager().Update(dt);
        ASSERT_EQ(type.log.updates.size(), steps) << dt;
        EXPECT_NEAR(type.log.updates.back(), 0.1f, 1e-6f) << dt;
    }
    type.log.updates.clear();
    Manager().Update(-1.0f);
    EXPECT_TRUE(type.log.updates.empty());
    Manager().SetMaxUpdateStep(3.4028235e38f);
    Manager().Update(2.5f);
    EXPECT_EQ(type.log.updates.size(), 25u);
}

TEST_F(FXManagerTest, OffScreenInstancesWaitForASecondOfTime) {
    TestFxType& type = AddTestFx("hidden", -1.0f);
    CreateAt("hidden", {0, 0, 50}); // behind the camera
    RenderView();
    Manager().Update(0.05f); // the first step always updates a new instance
    ASSERT_EQ(type.log.updates.size(), 1u);
    for (int i = 0; i < 5; ++i)
        Manager().Update(0.1f);
    EXPECT_EQ(type.log.updates.size(), 1u);
    for (int i = 0; i < 5; ++i)
        Manager().Update(0.1f);
    ASSERT_EQ(type.log.updates.size(), 2u);
    EXPECT_NEAR(type.log.updates[1], 1.0f, 1e-5f);
}

TEST_F(FXManagerTest, OffScreenUpdatesAreSpreadOverSteps) {
    TestFxType& type = AddTestFx("crowd", -1.0f);
    for (int i = 0; i < 80; ++i)
        CreateAt("crowd", {0, 0, 50});
    RenderView();
    Manager().Update(0.1f);
    type.log.updates.clear();
    for (int i = 0; i < 9; ++i)
        Manager().Update(0.1f);
    // After a second all are due, but a step takes at most live / 8 + 1 of them.
    Manager().Update(0.1f);
    EXPECT_EQ(type.log.updates.size(), 11u);
    FXStats stats;
    Manager().GetStats(stats);
    EXPECT_EQ(stats[FX_STAT_UPDATED], 11u);
}

TEST_F(FXManagerTest, DestroyTakesChildrenFirstAndUnlinksFromTheParent) {
    TestFxType& leaf = AddTestFx("leaf", -1.0f);
    TestFxType& parent = AddTestFx("parent", -1.0f);
    parent.children = {"leaf", "leaf", "leaf", "leaf"};
    const FXHandle top = Manager().Create("parent", nullptr);
    const std::vector<FXHandle> c = Manager().Children(top);
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(Manager().LiveCount(), 5u);
    // A child leaves from the middle, the end and the front; later children append.
    Manager().Destroy(c[2]);
    EXPECT_FALSE(Manager().IsAlive(c[2]));
    EXPECT_EQ(Manager().Children(top), (std::vector<FXHandle>{c[0], c[1], c[3]}));
    Manager().Destroy(c[3]);
    const FXHandle late = Manager().CreateAttached("leaf", nullptr, top, 0.0f);
    EXPECT_EQ(Manager().Children(top), (std::vector<FXHandle>{c[0], c[1], late}));
    Manager().Destroy(c[0]);
    const FXHandle later = Manager().CreateAttached("leaf", nullptr, top, 0.0f);
    EXPECT_EQ(Manager().Children(top), (std::vector<FXHandle>{c[1], late, later}));
    Manager().Destroy(top);
    for (const FXHandle& child : {c[1], late, later})
        EXPECT_FALSE(Manager().IsAlive(child));
    EXPECT_EQ(Manager().LiveCount(), 0u);
    EXPECT_EQ(leaf.log.destroyed, 6);
    Manager().Destroy(top); // stale: nothing happens
    Manager().Destroy(kNullFXHandle);
}

TEST_F(FXManagerTest, AFinishedParentWaitsForItsChildren) {
    AddTestFx("long", 1.0f);
    TestFxType& parent = AddTestFx("short", 0.2f);
    parent.children = {"long"};
    const FXHandle top = Manager().Create("short", nullptr);
    for (int i = 0; i < 5; ++i)
        Manager().Update(0.1f);
    EXPECT_TRUE(Manager().IsAlive(top));
    EXPECT_EQ(parent.log.updates.size(), 2u); // finished: never updated again
    for (int i = 0; i < 6; ++i)
        Manager().Update(0.1f);
    EXPECT_FALSE(Manager().IsAlive(top));
    EXPECT_EQ(Manager().LiveCount(), 0u);
}

TEST_F(FXManagerTest, StopReachesChildrenAndVisibilityToo) {
    TestFxType& parent = AddTestFx("emitter", -1.0f);
    AddTestFx("child", -1.0f);
    parent.children = {"child"};
    const FXHandle top = Manager().Create("emitter", nullptr);
    const FXHandle child = Manager().Children(top)[0];
    Manager().SetVisible(top, false);
    EXPECT_FALSE(Manager().Resolve(child)->IsVisible());
    Manager().Stop(top);
    EXPECT_TRUE(Manager().Resolve(child)->IsStopped());
    Manager().Update(0.1f); // both finish; the parent waits for its child's destruction
    EXPECT_EQ(Manager().LiveCount(), 1u);
    Manager().Update(0.1f);
    EXPECT_EQ(Manager().LiveCount(), 0u);
}

TEST_F(FXManagerTest, ChildrenCreatedDuringAStepAreAdvancedInIt) {
    TestFxType& child = AddTestFx("late", -1.0f);
    // A parent that creates a child from its update, with a delay.
    class Spawner : public TestFxType {
    public:
        using TestFxType::TestFxType;
        FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                                 uintptr_t) override {
            struct Object : TestFxObject {
                using TestFxObject::TestFxObject;
                bool Update(float dt) override {
                    FXManager::Instance()->CreateAttached("late", nullptr, m_self, 0.3f);
                    return TestFxObject::Update(dt);
                }
            };
            return FXConstructInstance<Object>(memory, this, self, parent);
        }
    };
    Manager().TypeAdd(std::make_shared<Spawner>("spawner", -1.0f));
    Manager().Create("spawner", nullptr);
    Manager().Update(0.1f);
    ASSERT_EQ(child.log.updates.size(), 1u);
    EXPECT_FLOAT_EQ(child.log.updates[0], 0.3f);
}

TEST_F(FXManagerTest, RenderCullsFadesSortsAndBatches) {
    TestFxType& near = AddTestFx("near", -1.0f);
    TestFxType& late = AddTestFx("late", -1.0f);
    TestFxType& early = AddTestFx("early", -1.0f);
    TestFxType& zero = AddTestFx("zero", -1.0f);
    TestFxType& tiny = AddTestFx("tiny", -1.0f);
    early.SetSortOrder(-5);
    late.SetSortOrder(3);
    zero.radius = 0.0f;
    tiny.radius = 0.001f;
    tiny.m_noSizeFade = false;
    std::vector<std::string> order;
    for (TestFxType* type : {&near, &late, &early})
        type->batchOrder = &order;
    for (const char* name : {"near", "late", "early", "zero", "near"})
        CreateAt(name, {0, 0, -10});
    CreateAt("near", {0, 0, 10}); // behind the camera
    CreateAt("tiny", {0, 0, -500});
    Manager().Update(0.01f);
    RenderView();
    EXPECT_EQ(near.log.fades, (std::vector<float>{1.0f, 1.0f}));
    EXPECT_EQ(early.log.fades.size(), 1u);
    EXPECT_EQ(late.log.fades.size(), 1u);
    EXPECT_TRUE(zero.log.fades.empty());
    EXPECT_TRUE(tiny.log.fades.empty());
    // Types with a sort order first, in that order; then the rest. One batch per run.
    EXPECT_EQ(order, (std::vector<std::string>{"early", "late", "near"}));
    EXPECT_EQ(near.log.batchesBegun, 1);
    EXPECT_EQ(near.log.batchesEnded, 1);
    FXStats stats;
    Manager().GetStats(stats);
    EXPECT_EQ(stats[FX_STAT_RENDERED], 4u);
    EXPECT_EQ(stats[FX_STAT_CULLED_BY_SIZE], 2u);
}

// The fade an instance of radius r at depth d gets by its projected size, as the render
// pass measures it with the manager's field of view (70 degrees).
float SizeFade(float radius, float depth) {
    const float ratio = radius / (depth * std::tan(70.0f * kDegreesToRadians * 0.5f));
    const float size = 3.1415927f * ratio * ratio;
    return (size - 2.5e-5f) / (1e-4f - 2.5e-5f);
}

TEST_F(FXManagerTest, SmallInstancesFadeAlongTheRampWhateverTheCamerasFieldOfView) {
    TestFxType& speck = AddTestFx("speck", -1.0f);
    speck.radius = 0.31f; // half way up the ramp at a depth of 100
    speck.m_noSizeFade = false;
    CreateAt("speck", {0, 0, -100});
    Manager().Update(0.01f);
    const float expected = SizeFade(0.31f, 100.0f);
    ASSERT_GT(expected, 0.3f);
    ASSERT_LT(expected, 0.7f);
    RenderView();
    RenderView(20.0f); // a narrow camera sees it bigger, but the measure is the manager's
    ASSERT_EQ(speck.log.fades.size(), 2u);
    EXPECT_NEAR(speck.log.fades[0], expected, 1e-4f);
    EXPECT_EQ(speck.log.fades[1], speck.log.fades[0]);
}

// A type whose instances draw one triangle and count one bind.
class DrawingType : public TestFxType {
public:
    using TestFxType::TestFxType;
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t) override {
        struct Object : TestFxObject {
            using TestFxObject::TestFxObject;
            void Render(float fade) override {
                TestFxObject::Render(fade);
                const RenderVertex triangle[3] = {};
                rndTable()->Draw(Primitive::Triangles, triangle, 3);
                FXManager::Instance()->CountBind();
            }
        };
        return FXConstructInstance<Object>(memory, this, self, parent);
    }
};

TEST_F(FXManagerTest, AViewWithNothingToDrawCountsNoBindsAndNoPrimitives) {
    RecordingRenderDevice device;
    ScopedRenderTable current(&device);
    Manager().TypeAdd(std::make_shared<DrawingType>("drawn", -1.0f));
    const FXHandle drawn = CreateAt("drawn", {0, 0, -10});
    Manager().Update(0.01f);
    RenderView();
    FXStats stats;
    Manager().GetStats(stats);
    EXPECT_EQ(stats[FX_STAT_BINDS], 1u);
    EXPECT_EQ(Manager().GetLastPrimitiveCount(), 1u);
    Manager().Destroy(drawn);
    RenderView();
    Manager().GetStats(stats);
    EXPECT_EQ(stats[FX_STAT_BINDS], 0u);
    EXPECT_EQ(Manager().GetLastPrimitiveCount(), 0u);
}

// A type that creates children for its instance, then fails to construct it.
class FailingParentType : public TestFxType {
public:
    using TestFxType::TestFxType;
    FXObject* CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                             uintptr_t argument) override {
        for (int i = 0; i < 2; ++i)
            FXManager::Instance()->CreateAttached("orphan", nullptr, self, 0.0f);
        (void)memory, (void)parent, (void)argument;
        return nullptr;
    }
};

TEST_F(FXManagerTest, AnInstanceThatCannotBeConstructedTakesItsChildrenAlong) {
    TestFxType& orphan = AddTestFx("orphan", -1.0f);
    const FXHandle before = Manager().Create("orphan", nullptr);
    Manager().TypeAdd(std::make_shared<FailingParentType>("failing", -1.0f));
    EXPECT_TRUE(Manager().Create("failing", nullptr).IsNull());
    EXPECT_EQ(orphan.log.created, 3);
    EXPECT_EQ(orphan.log.destroyed, 2);
    ASSERT_EQ(Manager().LiveCount(), 1u);
    EXPECT_EQ(Manager().HandleOf(Manager().Records()[0]), before);
    Manager().Update(0.1f); // the records that remain are whole
    EXPECT_EQ(orphan.log.updates.size(), 1u);
}

TEST_F(FXManagerTest, LightsAreRefusedWhileTheLightLevelIsNegative) {
    AddTestFx("lamp", 1.0f, STYLE_LIGHT);
    EXPECT_TRUE(Manager().Create("lamp", nullptr).IsNull());
    EXPECT_TRUE(Manager().Create("nonexistent", nullptr).IsNull());
    EXPECT_TRUE(Manager().CreateAttached("lamp", nullptr, kNullFXHandle, 0.0f).IsNull());
}

TEST_F(FXManagerTest, SelfSpawningEffectsStayUnderTheCeilingAndDepth) {
    TestFxType& loop = AddTestFx("hydra", 0.3f);
    loop.children = {"hydra", "hydra"}; // every instance makes two more of itself
    Manager().SetInstanceCeiling(2000);
    Manager().Create("hydra", nullptr);
    for (int step = 0; step < 1000; ++step) {
        Manager().Update(0.05f);
        ASSERT_LE(Manager().LiveCount(), 2000u);
    }
    EXPECT_FALSE(m_traces.empty());
    Manager().Reset();
    EXPECT_EQ(Manager().LiveCount(), 0u);
}

TEST_F(FXManagerTest, StatisticsCountLiveAndPeaks) {
    AddTestFx("blip", 0.1f);
    for (int i = 0; i < 3; ++i)
        Manager().Create("blip", nullptr);
    FXStats stats;
    Manager().GetStats(stats);
    EXPECT_EQ(stats[FX_STAT_TYPES], 1u);
    EXPECT_EQ(stats[FX_STAT_LIVE], 3u);
    Manager().Update(0.1f);
    Manager().GetStats(stats);
    EXPECT_EQ(stats[FX_STAT_LIVE], 0u);
    EXPECT_EQ(stats[FX_STAT_LIVE_PEAK], 3u);
    EXPECT_EQ(stats[FX_STAT_UPDATED], 3u);
    Manager().ResetStats();
    Manager().GetStats(stats);
    EXPECT_EQ(stats[FX_STAT_LIVE_PEAK], 0u);
}

TEST(FXInstancesShutdown, EveryBlockAndPoolIsBalancedAfterShutdown) {
    const long heapBefore = MemCRTLiveBlocksTotal();
    const long poolsBefore = MemPoolLiveBlocksTotal();
    FXManager::Startup();
    TestFxType& parent = AddTestFx("tree", -1.0f);
    AddTestFx("branch", -1.0f);
    parent.children = {"branch", "branch", "branch"};
    for (int i = 0; i < 50; ++i)
        FXManager::Instance()->Create("tree", nullptr);
    FXManager::Instance()->Update(0.1f);
    FXManager::Shutdown();
    EXPECT_EQ(MemCRTLiveBlocksTotal(), heapBefore);
    EXPECT_EQ(MemPoolLiveBlocksTotal(), poolsBefore);
}

} // namespace
