#include "runtime/FXManager.h"

#include "definitions/FXFile.h"
#include "definitions/FXStyle.h"
#include "definitions/FXTypeFactory.h"
#include "diag/Diag.h"
#include "support/TempWorkDir.h"

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

    TempWorkDir m_dir;
    std::vector<std::string> m_traces;
    DiagTraceSink m_previousSink;
};

TEST_F(FXManagerTest, StartupGivesTheDefaultSettingsAndShutdownClearsTheSingleton) {
    EXPECT_EQ(Manager().GetMaxUpdateStep(), 1.0f);
    EXPECT_EQ(Manager().GetFieldOfView(), 70.0f);
    EXPECT_EQ(Manager().GetPointFadeNear(), 3.4028235e38f);
    EXPECT_EQ(Manager().GetPointFadeFar(), 3.4028235e38f);
    EXPECT_EQ(Manager().GetLightLevel(), -1);
    EXPECT_EQ(Manager().GetBit6Only(), 0);
    FXStats stats;
    stats.fill(7);
    Manager().GetStats(stats);
    for (const uint32_t counter : stats)
        EXPECT_EQ(counter, 0u);
    EXPECT_EQ(*FXGetGravity(), (Vector3{0.0f, -58.86f, 0.0f}));
    EXPECT_EQ(*FXGetWind(), (Vector3{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(FXPathPrefix(), "DATA:ART/FX/");
    FXManager::Shutdown();
    EXPECT_EQ(FXManager::Instance(), nullptr);
    FXManager::Startup();
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

} // namespace
