#include "scene/ObjImport.h"

#include "scene/Mesh.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class ObjImportTest : public testing::Test {
protected:
    // Imports text written to a file; the error is kept in error.
    bool Import(const std::string& text) {
        work.write("Data/in.obj", text);
        return ImportObj("Data:in.obj", mesh, error);
    }

    TempWorkDir work;
    Mesh mesh;
    std::string error;
};

TEST_F(ObjImportTest, TriangulatesPolygonsAsFansAroundTheirFirstVertex) {
    ASSERT_TRUE(Import("# a pentagon and a triangle\n"
                       "o shape\n"
                       "v 0 0 0\nv 1 0 0\nv 1.5 1 0\nv 0.5 2 0\nv -0.5 1 0\n"
                       "usemtl stone\n"
                       "s off\n"
                       "f 1 2 3 4 5\n"
                       "f 3 4 5\n"))
        << error;
    EXPECT_EQ(mesh.positions.size(), 5u);
    EXPECT_EQ(mesh.positions[2], (Vector3{1.5f, 1.0f, 0.0f}));
    EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 0, 3, 4, 2, 3, 4}));
    EXPECT_TRUE(mesh.normals.empty());
    EXPECT_TRUE(mesh.uvs.empty());
    EXPECT_EQ(mesh.scale, 1.0f);
    EXPECT_TRUE(mesh.isValid());
}

TEST_F(ObjImportTest, OneVertexPerDistinctTripleInOrderOfFirstUse) {
    // Two faces of a cube edge share positions 2 and 3 but not their normals; the quad
    // reuses its own corners.
    ASSERT_TRUE(Import("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 1 0 -1\nv 1 1 -1\n"
                       "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                       "vn 0 0 1\nvn 1 0 0\n"
                       "f 1/1/1 2/2/1 3/3/1 4/4/1\n"
                       "f 2/1/2 5/2/2 6/3/2 3/4/2\n"
                       "f 1/1/1 2/2/1 3/3/1\n"))
        << error;
    ASSERT_EQ(mesh.positions.size(), 8u);
    EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7, 0, 1, 2}));
    EXPECT_EQ(mesh.positions[4], (Vector3{1, 0, 0}));
    EXPECT_EQ(mesh.normals[1], (Vector3{0, 0, 1}));
    EXPECT_EQ(mesh.normals[4], (Vector3{1, 0, 0}));
    EXPECT_EQ(mesh.uvs, (std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1}));
}

TEST_F(ObjImportTest, ReadsEveryFormOfFaceVertex) {
    const std::string points = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.25 0.75\nvt 0.5\nvn 0 0 -1\n";
    ASSERT_TRUE(Import(points + "f 1 2 3\n")) << error;
    ASSERT_TRUE(Import(points + "f 1/1 2/2 3/1\n")) << error;
    EXPECT_EQ(mesh.uvs, (std::vector<float>{0.25f, 0.75f, 0.5f, 0.0f, 0.25f, 0.75f}));
    ASSERT_TRUE(Import(points + "f 1//1 2//1 3//1\n")) << error;
    EXPECT_EQ(mesh.normals, (std::vector<Vector3>(3, {0, 0, -1})));
    EXPECT_TRUE(mesh.uvs.empty());
    ASSERT_TRUE(Import(points + "f 1/2/1 2/2/1 3/2/1\n")) << error;
    EXPECT_EQ(mesh.positions.size(), 3u);
}

TEST_F(ObjImportTest, NegativeIndicesCountBackFromTheFace) {
    ASSERT_TRUE(Import("v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                       "f -3 -2 -1\n"
                       "v 5 5 5\n"
                       "f -4 -1 -2\n"))
        << error;
    EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 0, 3, 2}));
    EXPECT_EQ(mesh.positions[3], (Vector3{5, 5, 5}));
}

TEST_F(ObjImportTest, ToleratesWindowsLineEndsContinuationsAndComments) {
    ASSERT_TRUE(Import("v 0 0 0 # origin\r\nv +1 0 0 1.0\r\nv 0 \\\n 1 0\r\nf 1 2 \\\n3\r\n"))
        << error;
    EXPECT_EQ(mesh.positions[1], (Vector3{1, 0, 0}));
    EXPECT_EQ(mesh.positions[2], (Vector3{0, 1, 0}));
    EXPECT_EQ(mesh.indices.size(), 3u);
}

TEST_F(ObjImportTest, ReportsMalformedLinesWithTheirNumbers) {
    const std::string points = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n";
    const std::pair<std::string, std::string> rows[] = {
        {"v 1 2\n", "line 6: v needs 3 numbers, has 2"},
        {"v 1 2 x\n", "line 6: 'x' is not a finite number"},
        {"v 1 2 nan\n", "line 6: 'nan' is not a finite number"},
        {"vn 1 2 3 4\n", "line 6: vn needs 3 numbers, has 4"},
        {"vt\n", "line 6: vt needs 1 to 3 numbers, has 0"},
        {"f 1 2\n", "line 6: f needs at least 3 vertices, has 2"},
        {"f 1 2 0\n", "line 6: '0' names position 0 of 3 read so far"},
        {"f 1 2 4\n", "line 6: '4' names position 4 of 3 read so far"},
        {"f 1 2 -4\n", "line 6: '-4' names position -4 of 3 read so far"},
        {"f 1/2 2/1 3/1\n", "line 6: '1/2' names texture coordinate 2 of 1 read so far"},
        {"f 1//2 2//1 3//1\n", "line 6: '1//2' names normal 2 of 1 read so far"},
        {"f 1 2 3x\n", "line 6: '3x' has an unreadable position index"},
        {"f 1/1/1/1 2 3\n", "line 6: '1/1/1/1' has more than three parts"},
        {"f 1/1 2/1 3\n", "line 6: '3' has no texture coordinate, earlier face vertices do"},
        {"f 1 2 3\nf 1//1 2//1 3//1\n",
         "line 7: '1//1' has a normal, earlier face vertices do not"},
        {"# nothing but points\n", "no faces"},
    };
    for (const auto& [tail, expected] : rows) {
        EXPECT_FALSE(Import(points + tail)) << tail;
        EXPECT_EQ(error, expected) << tail;
        EXPECT_TRUE(mesh.positions.empty()) << "a failed import leaves the mesh empty";
    }
    EXPECT_FALSE(ImportObj("Data:absent.obj", mesh, error));
    EXPECT_NE(error.find("absent.obj"), std::string::npos) << error;
}

} // namespace
