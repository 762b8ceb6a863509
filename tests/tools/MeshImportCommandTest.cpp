#include "SparvFx.h"
#include "scene/Mesh.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class MeshImport : public testing::Test {
protected:
    static CommandResult Run(const std::string& args) { return SparvFx("mesh-import " + args); }
    TempWorkDir m_dir;
};

TEST_F(MeshImport, WritesAKmoThatLoadsBack) {
    m_dir.write("quad.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 1\n"
                            "f 1/1 2/1 3/2 4/2\n");
    std::filesystem::create_directories(m_dir.root() / "Data/art/fx");
    const CommandResult result = Run("quad.obj Data:art/fx/quad.kmo --scale 2.5");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Data:art/fx/quad.kmo: 4 vertices, 2 triangles, uvs\n");
    const std::unique_ptr<Mesh> mesh(LoadMesh("Data:art/fx/quad.kmo"));
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(mesh->getScale(), 2.5f);
}

TEST_F(MeshImport, ReportsBadInputAndUsage) {
    m_dir.write("bad.obj", "v 0 0 0\nf 1 1\n");
    CommandResult result = Run("bad.obj out.kmo");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "bad.obj: line 2: f needs at least 3 vertices, has 2\n");
    EXPECT_FALSE(std::filesystem::exists(m_dir.root() / "out.kmo"));

    EXPECT_EQ(Run("only-one.obj").status, 2);
    result = Run("bad.obj out.kmo --scale -1");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("scale"), std::string::npos) << result.err;
}

} // namespace
