#include "scene/DefaultMeshes.h"
#include "scene/Mesh.h"
#include "support/TempWorkDir.h"
#include "support/TraceCatcher.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

class MeshListTest : public testing::Test {
protected:
    MeshListTest() {
        std::filesystem::create_directories(work.root() / "Data/art/fx/debris");
        std::filesystem::create_directories(work.root() / "Data/art/rocks");
        GenerateDefaultMeshes("Data:art/fx");
        Mesh rock = DefaultBoxMesh();
        rock.scale = 3.0f;
        SaveMesh(rock, "Data:art/rocks/rock.kmo");
    }

    std::unique_ptr<MeshList> Load(const char* path) {
        return std::unique_ptr<MeshList>(MeshList::load(path));
    }

    TempWorkDir work;
    TraceCatcher traces;
};

TEST_F(MeshListTest, LoadsMembersByAliasRelativeToTheListAndLeavesOutMissingOnes) {
    work.write("Data/art/fx/debris/mixed.akmo", R"(meshlist = {
    meshes = { "Data:art/fx/box.kmo", "../shard.kmo", "missing.kmo", "DATA:ART/ROCKS/ROCK.KMO" },
    scale = 2.5,
})");
    const auto list = Load("Data:art/fx/debris/mixed.akmo");
    ASSERT_NE(list, nullptr) << traces.Text();
    EXPECT_EQ(list->scale(), 2.5f);
    ASSERT_EQ(list->count(), 3u);
    EXPECT_EQ(list->mesh(0)->positions.size(), 24u);
    EXPECT_EQ(list->mesh(1)->positions, DefaultShardMesh().positions);
    EXPECT_EQ(list->mesh(2)->getScale(), 3.0f) << "a member keeps its own scale";
    EXPECT_EQ(list->mesh(3), nullptr);
    EXPECT_NE(traces.Text().find("missing.kmo"), std::string::npos) << traces.Text();
}

TEST_F(MeshListTest, ScaleDefaultsToOneAndAnEmptyListIsAList) {
    work.write("Data/art/fx/plain.akmo", R"(meshlist = { meshes = { "box.kmo" } })");
    work.write("Data/art/fx/empty.akmo", R"(meshlist = { meshes = {} })");
    const auto plain = Load("Data:art/fx/plain.akmo");
    ASSERT_NE(plain, nullptr) << traces.Text();
    EXPECT_EQ(plain->scale(), 1.0f);
    EXPECT_EQ(plain->count(), 1u);
    const auto empty = Load("Data:art/fx/empty.akmo");
    ASSERT_NE(empty, nullptr) << traces.Text();
    EXPECT_EQ(empty->count(), 0u);
}

TEST_F(MeshListTest, MissingOrMalformedListsAreTracedAndGiveNull) {
    const std::pair<const char*, const char*> rows[] = {
        {"no-table.akmo", R"(meshes = { "box.kmo" })"},
        {"not-a-table.akmo", R"(meshlist = "box.kmo")"},
        {"no-meshes.akmo", R"(meshlist = { scale = 2 })"},
        {"not-names.akmo", R"(meshlist = { meshes = { "box.kmo", 7 } })"},
        {"bad-scale.akmo", R"(meshlist = { meshes = { "box.kmo" }, scale = "big" })"},
        {"zero-scale.akmo", R"(meshlist = { meshes = { "box.kmo" }, scale = 0 })"},
        {"script-error.akmo", R"(meshlist = { meshes = )"},
    };
    for (const auto& [name, text] : rows) {
        work.write(std::string("Data/art/fx/") + name, text);
        traces.lines.clear();
        EXPECT_EQ(Load((std::string("Data:art/fx/") + name).c_str()), nullptr) << name;
        EXPECT_NE(traces.Text().find(name), std::string::npos) << name << ": " << traces.Text();
    }
    traces.lines.clear();
    EXPECT_EQ(Load("Data:art/fx/absent.akmo"), nullptr);
    EXPECT_NE(traces.Text().find("absent.akmo"), std::string::npos) << traces.Text();
}

} // namespace
