// Every generated asset in samples/ is what our own tools make today: make-assets writes
// the default textures and meshes byte for byte, and the ring mesh comes from its OBJ.
#include "SparvFx.h"
#include "support/TempWorkDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

const std::filesystem::path kSampleAssets = std::filesystem::path(SPARV_SAMPLES) / "Data/art/fx";

TEST(MakeAssets, RegeneratesTheCommittedSampleAssets) {
    TempWorkDir dir;
    const CommandResult result = SparvFx("make-assets generated");
    ASSERT_EQ(result.status, 0) << result.err;
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.root() / "generated")) {
        const auto committed = kSampleAssets / entry.path().filename();
        ASSERT_TRUE(std::filesystem::exists(committed)) << committed << " is not committed";
        EXPECT_EQ(ReadFile(entry.path()), ReadFile(committed))
            << entry.path().filename() << " differs from what make-assets writes";
        ++compared;
    }
    EXPECT_GE(compared, 9);
}

TEST(MakeAssets, TheRingMeshIsImportedFromItsObj) {
    TempWorkDir dir;
    const std::string obj = std::string(SPARV_SAMPLES) + "/source/ring.obj";
    const CommandResult result = SparvFx("mesh-import " + ShellQuote(obj) + " ring.kmo");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadFile(dir.root() / "ring.kmo"), ReadFile(kSampleAssets / "ring.kmo"));
}

} // namespace
