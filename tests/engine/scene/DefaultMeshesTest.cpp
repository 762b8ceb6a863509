#include "scene/DefaultMeshes.h"

#include "support/TempWorkDir.h"
#include "support/TraceCatcher.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

// Each triangle turns anticlockwise seen from outside: its winding normal points away from
// the mesh's centre and, when the mesh has normals, along its corners' normals.
void ExpectOutwardTriangles(const Mesh& mesh) {
    Vector3 centre;
    for (const Vector3& p : mesh.positions)
        centre += p;
    centre = centre / static_cast<float>(mesh.positions.size());
    for (size_t i = 0; i < mesh.indices.size(); i += 3) {
        const Vector3& a = mesh.positions[mesh.indices[i]];
        const Vector3& b = mesh.positions[mesh.indices[i + 1]];
        const Vector3& c = mesh.positions[mesh.indices[i + 2]];
        const Vector3 winding = (b - a).Cross(c - a);
        EXPECT_GT(winding.Dot((a + b + c) / 3.0f - centre), 0.0f) << "triangle " << i / 3;
        for (size_t corner = 0; corner < 3; ++corner)
            EXPECT_GT(winding.Dot(mesh.normals[mesh.indices[i + corner]]), 0.0f)
                << "triangle " << i / 3 << " corner " << corner;
    }
}

TEST(DefaultMeshes, TheBoxIsAUnitCubeWithFaceNormalsAndUvs) {
    const Mesh box = DefaultBoxMesh();
    ASSERT_TRUE(box.isValid());
    EXPECT_EQ(box.positions.size(), 24u);
    EXPECT_EQ(box.normals.size(), 24u);
    EXPECT_EQ(box.uvs.size(), 48u);
    EXPECT_EQ(box.indices.size(), 36u);
    EXPECT_EQ(box.scale, 1.0f);
    for (size_t i = 0; i < box.positions.size(); ++i) {
        const Vector3& p = box.positions[i];
        for (const float coordinate : {p.x, p.y, p.z})
            EXPECT_EQ(std::abs(coordinate), 0.5f) << "vertex " << i;
        // A corner lies on the face its normal names.
        EXPECT_EQ(p.Dot(box.normals[i]), 0.5f) << "vertex " << i;
    }
    ExpectOutwardTriangles(box);
}

TEST(DefaultMeshes, TheShardIsAClosedPointedPiece) {
    const Mesh shard = DefaultShardMesh();
    ASSERT_TRUE(shard.isValid());
    EXPECT_EQ(shard.indices.size(), 30u);
    EXPECT_FALSE(shard.uvs.empty());
    float top = 0.0f;
    for (const Vector3& p : shard.positions)
        top = std::max(top, p.y);
    EXPECT_EQ(top, 1.0f);
    for (const Vector3& n : shard.normals)
        EXPECT_NEAR(n.Length(), 1.0f, 1e-6f);
    ExpectOutwardTriangles(shard);
}

// Their bytes are the same on every run and are the committed samples: the make-assets
// test of the tools checks that.
TEST(DefaultMeshes, GeneratedFilesLoadAndAFolderThatFailsNamesBoth) {
    TempWorkDir work;
    std::filesystem::create_directories(work.root() / "Data/art/fx");
    ASSERT_TRUE(GenerateDefaultMeshes("Data:art/fx"));
    const std::pair<const char*, Mesh> files[] = {{"Data:art/fx/box.kmo", DefaultBoxMesh()},
                                                  {"Data:art/fx/shard.kmo", DefaultShardMesh()}};
    for (const auto& [file, mesh] : files) {
        const std::unique_ptr<Mesh> loaded(LoadMesh(file));
        ASSERT_NE(loaded, nullptr) << file;
        EXPECT_EQ(loaded->positions, mesh.positions) << file;
    }
    TraceCatcher traces;
    EXPECT_FALSE(GenerateDefaultMeshes("Data:no/such/folder"));
    EXPECT_NE(traces.Text().find("box.kmo"), std::string::npos) << traces.Text();
    EXPECT_NE(traces.Text().find("shard.kmo"), std::string::npos) << "both files are attempted";
}

} // namespace
