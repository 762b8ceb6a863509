// The editor's long review jobs, export and bake, run on the sample library: cancelled
// from their progress callback they stop and leave no file; played at a quarter of the
// speed, an export's frames are the effect at a quarter of the time.
#include "review/FXAnimationExport.h"
#include "review/FXFlipbookBaker.h"
#include "review/FXHeadlessView.h"
#include "runtime/FXManager.h"
#include "scene/LensFlareManager.h"
#include "scene/LightManager.h"
#include "support/ReferencePicture.h"
#include "support/TempWorkDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class FXReviewJobs : public testing::Test {
protected:
    void SetUp() override {
        m_dir.copySamples();
        LightManager::Startup();
        LensFlareManager::Startup();
        FXManager::Startup();
    }
    void TearDown() override {
        FXManager::Shutdown();
        LensFlareManager::Shutdown();
        LightManager::Shutdown();
    }

    TempWorkDir m_dir;
};

} // namespace

TEST_F(FXReviewJobs, CancelledJobsStopAndLeaveNoFile) {
    std::string reason;
    SPARV_REQUIRE_HEADLESS_GL(FXHeadlessView::Create(8, 8, &reason), reason);
    fs::create_directory(m_dir.root() / "out");
    int calls = 0;
    const FXReviewProgress cancelAtThree = [&calls](int done, int) {
        ++calls;
        return done < 3;
    };
    for (const char* output : {"out/a.gif", "out/a.webp", "out/a.png"}) {
        SCOPED_TRACE(output);
        calls = 0;
        FXExportSettings settings;
        settings.typeName = "sparks";
        settings.width = 64;
        settings.height = 36;
        settings.frames = 10;
        settings.outputPath = output;
        EXPECT_EQ(FXAnimationExport::Run(settings, cancelAtThree, reason),
                  FXReviewOutcome::Cancelled);
        EXPECT_EQ(reason, "cancelled");
        EXPECT_EQ(calls, 3);
    }
    calls = 0;
    FXBakeSettings bake;
    bake.typeName = "sparks";
    bake.columns = 2;
    bake.rows = 2;
    bake.cellSize = 16;
    bake.sheetPath = "out/sheet.png";
    FXBakeLayout layout;
    EXPECT_EQ(FXFlipbookBaker::Run(bake, cancelAtThree, layout, reason),
              FXReviewOutcome::Cancelled);
    EXPECT_EQ(m_dir.list("out"), std::vector<std::string>{});

    FXExportSettings transparentGif;
    transparentGif.typeName = "sparks";
    transparentGif.transparent = true;
    transparentGif.outputPath = "out/a.gif";
    EXPECT_EQ(FXAnimationExport::Run(transparentGif, {}, reason), FXReviewOutcome::Failed);
    EXPECT_NE(reason.find("no partial transparency"), std::string::npos) << reason;
}

TEST_F(FXReviewJobs, AnExportAtAQuarterSpeedShowsAQuarterOfTheTime) {
    std::string reason;
    SPARV_REQUIRE_HEADLESS_GL(FXHeadlessView::Create(8, 8, &reason), reason);
    FXExportSettings settings;
    settings.typeName = "sparks";
    settings.width = 96;
    settings.height = 54;
    settings.frames = 5;
    settings.fps = 5.0;
    settings.speed = 0.25;
    settings.outputPath = "slow.png";
    ASSERT_EQ(FXAnimationExport::Run(settings, {}, reason), FXReviewOutcome::Done) << reason;
    settings.speed = 1.0;
    settings.fps = 20.0;
    settings.outputPath = "fast.png";
    ASSERT_EQ(FXAnimationExport::Run(settings, {}, reason), FXReviewOutcome::Done) << reason;
    for (int frame = 1; frame <= 5; ++frame) {
        const std::string number = "_000" + std::to_string(frame) + ".png";
        Image slow;
        Image fast;
        ASSERT_TRUE(ReadImage("slow" + number, slow, &reason)) << reason;
        ASSERT_TRUE(ReadImage("fast" + number, fast, &reason)) << reason;
        EXPECT_TRUE(CompareImages(slow, fast, 0).Matches()) << frame;
    }
}
