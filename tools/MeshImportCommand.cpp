#include "Commands.h"
#include "ToolSupport.h"
#include "scene/Mesh.h"
#include "scene/ObjImport.h"
#include "stream/FilePath.h"
#include "stream/StandardAliases.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr const char* kUsage = "mesh-import IN.obj OUT.kmo [--scale S]";
}

int RunMeshImport(const std::vector<std::string>& args) {
    const auto parsed = ParseToolArgs(args, {kUsage, {"scale"}, 2, 2});
    if (!parsed)
        return kUsageStatus;
    const std::string& in = parsed->Positional()[0];
    const std::string& out = parsed->Positional()[1];
    float scale = 1.0f;
    if (!ParseNumber(parsed->Value("scale"), scale) || !std::isfinite(scale) || scale <= 0.0f)
        return UsageError(kUsage,
                          "the scale '" + *parsed->Value("scale") + "' is not a number above 0");
    // Paths may be aliased ("Data:art/fx/rock.kmo") below the current directory.
    FilePath::RemoveAllAliases();
    AddStandardAliases();

    Mesh mesh;
    std::string error;
    if (!ImportObj(in, mesh, error)) {
        std::fprintf(stderr, "%s: %s\n", in.c_str(), error.c_str());
        return 1;
    }
    mesh.scale = scale;
    if (!SaveMesh(mesh, out.c_str())) {
        std::fprintf(stderr, "%s: cannot write the mesh\n", out.c_str());
        return 1;
    }
    std::printf("%s: %zu vertices, %zu triangles%s%s\n", out.c_str(), mesh.positions.size(),
                mesh.indices.size() / 3, mesh.normals.empty() ? "" : ", normals",
                mesh.uvs.empty() ? "" : ", uvs");
    return 0;
}
