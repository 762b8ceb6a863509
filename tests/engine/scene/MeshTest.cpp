#include "scene/Mesh.h"

#include "scene/RecordingRenderDevice.h"
#include "support/IFFBytes.h"
#include "support/TempWorkDir.h"
#include "support/TraceCatcher.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// A square of two triangles in the XY plane, with normals and uvs.
Mesh Square() {
    Mesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    mesh.normals.assign(4, {0, 0, 1});
    mesh.uvs = {0, 0, 1, 0, 1, 1, 0, 1};
    mesh.indices = {0, 1, 2, 0, 2, 3};
    return mesh;
}

void ExpectSameMesh(const Mesh& actual, const Mesh& expected) {
    EXPECT_EQ(actual.positions, expected.positions);
    EXPECT_EQ(actual.normals, expected.normals);
    EXPECT_EQ(actual.uvs, expected.uvs);
    EXPECT_EQ(actual.indices, expected.indices);
    EXPECT_EQ(actual.scale, expected.scale);
}

// The big-endian words of floats or of indices.
template <typename T>
Bytes Words(std::initializer_list<T> values) {
    Bytes bytes;
    for (const T value : values)
        bytes += std::is_same_v<T, float> ? F32(static_cast<float>(value))
                                          : U32(static_cast<uint32_t>(value));
    return bytes;
}
Bytes Vectors(std::initializer_list<float> values) {
    return Words(values);
}
Bytes Indices(std::initializer_list<uint32_t> values) {
    return Words(values);
}

const Bytes kVersion = Chunk("VERS", U32(1));
const Bytes kTriangle = Chunk("PNTS", Vectors({0, 0, 0, 1, 0, 0, 0, 1, 0}));
const Bytes kTriangleIndices = Chunk("TRIS", Indices({0, 1, 2}));

std::unique_ptr<Mesh> Load(const Bytes& bytes, std::string* error = nullptr) {
    return std::unique_ptr<Mesh>(LoadMeshFromMemory(bytes.data(), bytes.size(), error));
}

TEST(MeshFile, WritesTheDocumentedBigEndianLayout) {
    Mesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.indices = {0, 1, 2};
    mesh.scale = 2.0f;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(SaveMeshToMemory(mesh, bytes));
    const Bytes expected =
        Form("KMO ", kVersion + Chunk("SCAL", U32(0x40000000)) + kTriangle + kTriangleIndices);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), expected);
}

TEST(MeshFile, RoundTripsThroughFilesAndMemoryBitForBit) {
    TempWorkDir work;
    std::filesystem::create_directories(work.root() / "Data/art/fx");
    Mesh full = Square();
    full.scale = 0.25f;
    // Values a text format would lose: negative zero, a denormal, the largest float.
    full.positions[0] = {-0.0f, std::numeric_limits<float>::denorm_min(),
                         std::numeric_limits<float>::max()};
    full.uvs[7] = 0.1f;
    Mesh bare;
    bare.positions = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    bare.indices = {2, 1, 0, 0, 0, 0};

    for (const Mesh* original : {&full, &bare}) {
        ASSERT_TRUE(SaveMesh(*original, "Data:art/fx/mesh.kmo"));
        const std::unique_ptr<Mesh> loaded(LoadMesh("DATA:ART/FX/MESH.KMO"));
        ASSERT_NE(loaded, nullptr);
        ExpectSameMesh(*loaded, *original);
        EXPECT_TRUE(std::signbit(loaded->positions[0].x) == std::signbit(original->positions[0].x));

        std::vector<uint8_t> first;
        std::vector<uint8_t> second;
        ASSERT_TRUE(SaveMeshToMemory(*original, first));
        EXPECT_EQ(Bytes(first.begin(), first.end()), work.read("Data/art/fx/mesh.kmo"));
        const std::unique_ptr<Mesh> again(LoadMeshFromMemory(first.data(), first.size()));
        ASSERT_NE(again, nullptr);
        ASSERT_TRUE(SaveMeshToMemory(*again, second));
        EXPECT_EQ(first, second);
    }
}

TEST(MeshFile, ReadsChunksInAnyOrderSkipsUnknownOnesAndFindsNestedForms) {
    std::string error;
    const Bytes shuffled = Form("KMO ", kTriangleIndices + Chunk("NOTE", "made by hand") +
                                            kTriangle + Chunk("SCAL", F32(3.0f)) + kVersion);
    const auto mesh = Load(shuffled, &error);
    ASSERT_NE(mesh, nullptr) << error;
    EXPECT_EQ(mesh->positions.size(), 3u);
    EXPECT_EQ(mesh->indices, (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(mesh->getScale(), 3.0f);
    EXPECT_TRUE(mesh->normals.empty());

    const Bytes embedded =
        Form("SCNE", Chunk("NAME", "rock") + Form("KMO ", kVersion + kTriangle + kTriangleIndices));
    EXPECT_NE(Load(embedded, &error), nullptr) << error;
    EXPECT_EQ(Load(embedded)->getScale(), 1.0f) << "without SCAL the scale is 1";
}

struct Refusal {
    const char* name;
    Bytes bytes;
    const char* reason; // a part of the error message
};

TEST(MeshFile, RefusesInvalidMeshesAndSaysWhy) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<Refusal> rows = {
        {"no positions", Form("KMO ", kVersion + kTriangleIndices), "no 'PNTS'"},
        {"empty positions", Form("KMO ", kVersion + Chunk("PNTS", "") + kTriangleIndices),
         "no positions"},
        {"no triangles", Form("KMO ", kVersion + kTriangle), "no 'TRIS'"},
        {"no version", Form("KMO ", kTriangle + kTriangleIndices), "no 'VERS'"},
        {"later version", Form("KMO ", Chunk("VERS", U32(2)) + kTriangle + kTriangleIndices),
         "version 2"},
        {"index past the positions",
         Form("KMO ", kVersion + kTriangle + Chunk("TRIS", Indices({0, 1, 3}))), "index 3"},
        {"half a triangle", Form("KMO ", kVersion + kTriangle + Chunk("TRIS", Indices({0, 1}))),
         "not a multiple of 12"},
        {"half a position",
         Form("KMO ", kVersion + Chunk("PNTS", Vectors({0, 0})) + kTriangleIndices),
         "not a multiple of 12"},
        {"normals short",
         Form("KMO ", kVersion + kTriangle + Chunk("NRML", Vectors({0, 0, 1})) + kTriangleIndices),
         "1 normals for 3 positions"},
        {"empty normals", Form("KMO ", kVersion + kTriangle + Chunk("NRML", "") + kTriangleIndices),
         "'NRML' empty"},
        {"uvs long",
         Form("KMO ", kVersion + kTriangle + Chunk("UVS ", Vectors({0, 0, 1, 0, 0, 1, 1, 1})) +
                          kTriangleIndices),
         "4 uvs for 3 positions"},
        {"positions twice", Form("KMO ", kVersion + kTriangle + kTriangle + kTriangleIndices),
         "given twice"},
        {"position not a number",
         Form("KMO ",
              kVersion + Chunk("PNTS", Vectors({0, 0, 0, 1, nan, 0, 0, 1, 0})) + kTriangleIndices),
         "not finite"},
        {"zero scale",
         Form("KMO ", kVersion + Chunk("SCAL", F32(0.0f)) + kTriangle + kTriangleIndices), "scale"},
        {"wrong form type", Form("KMX ", kVersion + kTriangle + kTriangleIndices), "no 'KMO '"},
        {"two meshes",
         Form("KMO ", kVersion + kTriangle + kTriangleIndices) +
             Form("KMO ", kVersion + kTriangle + kTriangleIndices),
         "more than one mesh"},
        {"damaged IFF", Form("KMO ", kVersion + kTriangle + kTriangleIndices).substr(0, 30),
         "runs past the end"},
    };
    for (const Refusal& row : rows) {
        std::string error;
        EXPECT_EQ(Load(row.bytes, &error), nullptr) << row.name;
        EXPECT_NE(error.find(row.reason), std::string::npos) << row.name << ": " << error;
    }
}

TEST(MeshFile, MissingFilesAndInvalidMeshesAreTracedAndLeaveFilesAlone) {
    TempWorkDir work;
    work.write("Data/keep.kmo", "old");
    TraceCatcher traces;
    EXPECT_EQ(LoadMesh("Data:missing.kmo"), nullptr);
    EXPECT_NE(traces.Text().find("missing.kmo"), std::string::npos) << traces.Text();
    EXPECT_EQ(LoadMesh("Data:keep.kmo"), nullptr);

    Mesh broken = Square();
    broken.indices.push_back(0);
    EXPECT_FALSE(SaveMesh(broken, "Data:keep.kmo"));
    EXPECT_EQ(work.read("Data/keep.kmo"), "old");
    std::vector<uint8_t> bytes{1, 2, 3};
    EXPECT_FALSE(SaveMeshToMemory(broken, bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(SaveMesh(Square(), "Data:no/folder/square.kmo"));
}

class MeshDraw : public testing::Test {
protected:
    RecordingRenderDevice device;
    ScopedRenderTable current{&device};
    std::unique_ptr<MeshInstance> instance{MeshInstance::create()};
};

TEST_F(MeshDraw, DrawsItsTrianglesInTheCurrentColourWithItsUvs) {
    const Mesh mesh = Square();
    instance->attachMesh(&mesh);
    const Colour red{1.0f, 0.0f, 0.0f, 0.5f};
    Matrix4 placed;
    placed.SetTranslation({5, 0, 0});
    device.SetColour(red);
    device.LoadMatrix(MatrixStack::ModelView, placed);
    instance->mesh()->draw(*instance, 0, 1.0f, Colour{}, 0);

    ASSERT_EQ(device.Draws().size(), 1u);
    const RecordedDraw& draw = device.Draws()[0];
    EXPECT_EQ(draw.primitive, Primitive::Triangles);
    EXPECT_EQ(draw.modelView, placed) << "the mesh draws with the caller's matrices";
    ASSERT_EQ(draw.vertices.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        const uint32_t index = mesh.indices[i];
        EXPECT_EQ(draw.vertices[i], (RenderVertex{mesh.positions[index], red, mesh.uvs[2 * index],
                                                  mesh.uvs[2 * index + 1]}))
            << "vertex " << i;
    }

    // The next draw takes the colour current then.
    const Colour blue{0.0f, 0.0f, 1.0f, 1.0f};
    device.SetColour(blue);
    mesh.draw(*instance, 0, 1.0f, Colour{}, 0);
    ASSERT_EQ(device.Draws().size(), 2u);
    for (const RenderVertex& vertex : device.Draws()[1].vertices)
        EXPECT_EQ(vertex.colour, blue);

    // A mesh without uvs draws at uv 0.
    Mesh bare = Square();
    bare.uvs.clear();
    bare.draw(*instance, 0, 1.0f, Colour{}, 0);
    ASSERT_EQ(device.Draws().size(), 3u);
    for (const RenderVertex& vertex : device.LastDraw()->vertices)
        EXPECT_TRUE(vertex.u == 0.0f && vertex.v == 0.0f);
}

TEST_F(MeshDraw, InvalidIndicesOrNoDeviceDrawNothing) {
    Mesh mesh = Square();
    mesh.indices[4] = 99;
    mesh.draw(*instance, 0, 1.0f, Colour{}, 0);
    EXPECT_TRUE(device.Draws().empty());

    const Mesh square = Square();
    ScopedRenderTable none(nullptr);
    square.draw(*instance, 0, 1.0f, Colour{}, 0);
    EXPECT_TRUE(device.Draws().empty());
}

} // namespace
