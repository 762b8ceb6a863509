// Review snapshots: written and read back whole, refused like FX files when hostile or
// malformed, and their types captured from and registered into the FX registry and
// compared with the working directory's files.
#include "review/FXSnapshot.h"

#include "definitions/FXFile.h"
#include "runtime/FXManager.h"
#include "script/LuaConfig.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

namespace {

class FXSnapshotTest : public testing::Test {
protected:
    void SetUp() override { FXManager::Startup(); }
    void TearDown() override { FXManager::Shutdown(); }

    // A spray emitting a ring, the ring naming a texture; both below Data/art/fx/.
    void WriteLibrary(const std::string& ringColour = "{0, 1, 0.5, 0.25, 1}") {
        m_dir.write("Data/art/fx/burst.lua",
                    "fx = { style = \"STYLE_SPRAY\", properties = {\n"
                    "  { name = \"Particle_Fx\", type = \"VARTYPE_STRING\", value = \"dot\" },\n"
                    "  { name = \"Duration\", type = \"VARTYPE_FLOAT\", value = 2 } } }\n");
        m_dir.write("Data/art/fx/dot.lua",
                    "fx = { style = \"STYLE_RING\", properties = {\n"
                    "  { name = \"Texture\", type = \"VARTYPE_STRING\", value = "
                    "\"Data:art/fx/dot.tga\" },\n"
                    "  { name = \"Mesh\", type = \"VARTYPE_STRING\", value = \"\" },\n"
                    "  { name = \"Colour\", type = \"VARTYPE_ARRAY_TIMECOLOUR\", value = { "
                    "entry_00 = " +
                        ringColour + " } } } }\n");
    }

    TempWorkDir m_dir;
};

FXSnapshot FullSnapshot() {
    FXSnapshot snapshot;
    snapshot.time = 1.25;
    snapshot.width = 320;
    snapshot.height = 200;
    snapshot.note = "sparks \"fade\" too early\nsecond line, ünïcode";
    snapshot.scene.seed = 4000000000u;
    snapshot.scene.camera = {30.5f, -12.0f, 7.25f, {1.0f, 2.0f, -3.0f}};
    snapshot.scene.background = {0.1f, 0.2f, 0.3f, 1.0f};
    snapshot.scene.gridXZ = false;
    snapshot.scene.gridXY = true;
    snapshot.scene.gravity = {0.0f, -9.8f, 1.0f};
    snapshot.scene.wind = {3.0f, 0.0f, -0.5f};
    snapshot.scene.placement.transform.SetTranslation({4.0f, 5.0f, 6.0f});
    snapshot.scene.placement.transform.m[0][1] = 0.5f;
    snapshot.scene.placement.scale = 2.0f;
    snapshot.scene.placement.length = 0.5f;
    snapshot.scene.placement.velocity = {1.0f, 0.0f, 0.0f};
    return snapshot;
}

} // namespace

TEST_F(FXSnapshotTest, WritesAndReadsBackEverything) {
    WriteLibrary();
    FXSnapshot snapshot = FullSnapshot();
    std::string reason;
    ASSERT_TRUE(snapshot.CaptureTypes("Burst", &reason)) << reason;
    ASSERT_EQ(snapshot.types.size(), 2u);
    EXPECT_EQ(snapshot.MainType(), "burst");
    EXPECT_EQ(snapshot.types[1].name, "dot");
    ASSERT_TRUE(snapshot.Write("review.sparvsnap", &reason)) << reason;

    FXSnapshot read;
    ASSERT_TRUE(read.Read("review.sparvsnap", &reason)) << reason;
    EXPECT_EQ(read.time, snapshot.time);
    EXPECT_EQ(read.width, 320);
    EXPECT_EQ(read.height, 200);
    EXPECT_EQ(read.note, snapshot.note);
    EXPECT_TRUE(read.scene == snapshot.scene);
    ASSERT_EQ(read.types.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(read.types[i].name, snapshot.types[i].name);
        EXPECT_EQ(read.types[i].style, snapshot.types[i].style);
        ASSERT_EQ(read.types[i].properties.size(), snapshot.types[i].properties.size());
        auto a = read.types[i].properties.begin();
        for (const FXProperty& property : snapshot.types[i].properties) {
            EXPECT_EQ(a->name, property.name);
            EXPECT_TRUE(a->value == property.value) << property.name;
            ++a;
        }
    }
    // Written again, the same bytes: nothing is lost or reordered.
    ASSERT_TRUE(read.Write("again.sparvsnap", &reason)) << reason;
    EXPECT_EQ(m_dir.read("again.sparvsnap"), m_dir.read("review.sparvsnap"));
}

TEST_F(FXSnapshotTest, RegisteredTypesStandInForFilesAndDifferencesAreReported) {
    WriteLibrary();
    FXSnapshot snapshot;
    std::string reason;
    ASSERT_TRUE(snapshot.CaptureTypes("burst", &reason)) << reason;
    // The working directory changes after the snapshot: one type edited, one removed.
    WriteLibrary("{0, 0, 0, 1, 1}");
    std::filesystem::remove(m_dir.root() / "Data/art/fx/burst.lua");

    const auto statuses = snapshot.CompareWithFiles();
    ASSERT_EQ(statuses.size(), 2u);
    EXPECT_EQ(statuses[0].kind, FXSnapshotTypeStatus::Kind::NoFile);
    EXPECT_EQ(statuses[1].kind, FXSnapshotTypeStatus::Kind::Differs);
    EXPECT_EQ(statuses[1].properties, std::vector<std::string>{"Colour"});
    const auto missing = snapshot.MissingFiles();
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0].type, "dot");
    EXPECT_EQ(missing[0].property, "Texture");
    EXPECT_EQ(missing[0].file, "Data:art/fx/dot.tga");

    ASSERT_TRUE(snapshot.RegisterTypes(&reason)) << reason;
    FXManager& manager = *FXManager::Instance();
    EXPECT_EQ(manager.TypeCount(), 2u);
    FXVariable colour;
    ASSERT_TRUE(manager.TypeFind("dot")->GetPropertyValue("Colour", colour));
    EXPECT_EQ(colour.TimeColours().front().value.g, 0.5f); // the snapshot's, not the file's
    EXPECT_FALSE(manager.Create("burst", nullptr).IsNull());
}

TEST_F(FXSnapshotTest, HostileFilesAreRefusedAsTheFxReaderRefusesThem) {
    const LuaConfigLimits previous = LuaConfig::DefaultLimits();
    LuaConfigLimits limits = previous;
    limits.memoryBytes = 16u << 20;
    limits.instructions = 5'000'000;
    LuaConfig::SetDefaultLimits(limits);
    // One of each kind of refusal; LuaConfig's tests hold the whole list.
    const std::string scripts[] = {
        "os.execute('touch hacked')",
        "while true do end",
        "local t = {} for i = 1, 1e9 do t[i] = {} end",
        std::string("\x1bLua\x54\x00\x19\x93\r\n\x1a\n", 12),
        "snapshot = { note = '\xff' }",
        "",
    };
    for (const std::string& script : scripts) {
        SCOPED_TRACE(script.substr(0, 40));
        m_dir.write("hostile.sparvsnap", script);
        int style = 0;
        FXPropertyList properties;
        std::string fxReason;
        std::string snapshotReason;
        EXPECT_FALSE(FXReadFile("hostile.sparvsnap", style, properties, &fxReason));
        FXSnapshot snapshot;
        EXPECT_FALSE(snapshot.Read("hostile.sparvsnap", &snapshotReason));
        EXPECT_FALSE(snapshotReason.empty());
        EXPECT_EQ(snapshotReason, fxReason);
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir.root() / "hacked"));
    LuaConfig::SetDefaultLimits(previous);
}

TEST_F(FXSnapshotTest, MalformedSnapshotsAreRefusedWithTheKeyAtFault) {
    const std::string type = "type_00 = { name = 'a', fx = { style = 'STYLE_RING', "
                             "properties = {} } }";
    const struct {
        std::string body;
        std::string reason;
    } rows[] = {
        {"x = 1", "no table 'snapshot'"},
        {"snapshot = { types = { " + type + " } }", "snapshot.format is not a number"},
        {"snapshot = { format = 2, types = { " + type + " } }", "format 2 is not one"},
        {"snapshot = { format = 1, time = 1/0, types = { " + type + " } }",
         "snapshot.time is not a number from 0 to 600"},
        {"snapshot = { format = 1, seed = 1.5, types = { " + type + " } }",
         "snapshot.seed is not a whole number"},
        {"snapshot = { format = 1, size = {0, 10}, types = { " + type + " } }",
         "snapshot.size is not two whole numbers"},
        {"snapshot = { format = 1, camera = { distance = -1 }, types = { " + type + " } }",
         "snapshot.camera.distance"},
        {"snapshot = { format = 1, emitter = { transform = {1, 2} }, types = { " + type + " } }",
         "snapshot.emitter.transform is not an array of 16 finite numbers"},
        {"snapshot = { format = 1, types = {} }", "holds no type"},
        {"snapshot = { format = 1, types = { " + type +
             ", type_01 = { name = 'A', fx = { "
             "style = 'STYLE_RING', properties = {} } } } }",
         "type 'a' is in the snapshot twice"},
        {"snapshot = { format = 1, types = { type_00 = { name = 'a', fx = { style = 'RING', "
         "properties = {} } } } }",
         "type 'a': unknown style 'RING'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.body);
        FXSnapshot snapshot;
        snapshot.note = "unchanged";
        std::string reason;
        EXPECT_FALSE(snapshot.ReadText(row.body.data(), row.body.size(), "test", &reason));
        EXPECT_NE(reason.find(row.reason), std::string::npos) << reason;
        EXPECT_EQ(snapshot.note, "unchanged");
    }
}
