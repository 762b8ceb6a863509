// sparv-fx make-assets: writes the default textures and meshes the effects rely on, so
// every asset in samples/ is made by our own code.
#include "Commands.h"
#include "ToolSupport.h"
#include "scene/DefaultMeshes.h"
#include "scene/DefaultTextures.h"

#include <cstdio>
#include <filesystem>

int RunMakeAssets(const std::vector<std::string>& args) {
    const auto parsed = ParseToolArgs(args, {"make-assets FOLDER", {}, 1, 1});
    if (!parsed)
        return kUsageStatus;
    const std::string& folder = parsed->Positional()[0];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "sparv-fx: cannot create %s: %s\n", folder.c_str(),
                     error.message().c_str());
        return 1;
    }
    if (!GenerateDefaultTextures(folder) || !GenerateDefaultMeshes(folder)) {
        std::fprintf(stderr, "sparv-fx: cannot write the assets into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
