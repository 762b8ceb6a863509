// Exporting the explosion sample as an animation: 60 frames of 640 x 360 at 30 frames per
// second, drawn headless with the samples as the working directory and written as a GIF
// and as a WebP, as sparv-fx render --frames does. Each iteration is one whole export
// (drawing, reading back, encoding, writing); "frames/s" counts frames exported per second
// of wall time, "bytes" the size of the file written. A third run draws the frames without
// writing them, for the cost of drawing alone.
#include "host/HeadlessGLContext.h"
#include "review/FXAnimationExport.h"
#include "review/FXHeadlessView.h"
#include "runtime/FXManager.h"
#include "scene/LensFlareManager.h"
#include "scene/LightManager.h"
#include "stream/FilePath.h"
#include "stream/StandardAliases.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int kFrames = 60;

// The samples as the working directory with the runtime started, for one benchmark.
class SampleRuntime {
public:
    SampleRuntime() {
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(SPARV_SAMPLES);
        FilePath::RemoveAllAliases();
        AddStandardAliases();
        LightManager::Startup();
        LensFlareManager::Startup();
        FXManager::Startup();
    }
    ~SampleRuntime() {
        FXManager::Shutdown();
        LensFlareManager::Shutdown();
        LightManager::Shutdown();
        FilePath::RemoveAllAliases();
        std::filesystem::current_path(m_previous);
    }
    SampleRuntime(const SampleRuntime&) = delete;
    SampleRuntime& operator=(const SampleRuntime&) = delete;

private:
    std::filesystem::path m_previous;
};

void ExportExplosion(benchmark::State& state, const char* extension) {
    if (!HeadlessGLContext::Create(1, 1)) {
        state.SkipWithError("no headless OpenGL");
        return;
    }
    SampleRuntime runtime;
    FXExportSettings settings;
    settings.typeName = "explosion";
    settings.frames = kFrames;
    settings.fps = 30.0;
    settings.outputPath = (std::filesystem::temp_directory_path() /
                           ("sparv-bench-" + std::to_string(getpid()) + extension))
                              .string();
    std::string reason;
    for (auto _ : state)
        if (FXAnimationExport::Run(settings, {}, reason) != FXReviewOutcome::Done) {
            state.SkipWithError(reason.c_str());
            return;
        }
    state.counters["frames/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFrames, benchmark::Counter::kIsRate);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(settings.outputPath));
    std::filesystem::remove(settings.outputPath);
}

void BM_ExportExplosionGif(benchmark::State& state) {
    ExportExplosion(state, ".gif");
}
BENCHMARK(BM_ExportExplosionGif)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportExplosionWebp(benchmark::State& state) {
    ExportExplosion(state, ".webp");
}
BENCHMARK(BM_ExportExplosionWebp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DrawExplosionFrames(benchmark::State& state) {
    SampleRuntime runtime;
    std::string reason;
    auto view = FXHeadlessView::Create(640, 360, &reason);
    if (!view) {
        state.SkipWithError(reason.c_str());
        return;
    }
    for (auto _ : state) {
        view->Start("explosion", {}, &reason);
        for (int frame = 0; frame < kFrames; ++frame) {
            view->Advance(frame == 0 ? 0.0 : 1.0 / 30.0);
            benchmark::DoNotOptimize(view->Picture());
        }
    }
    state.counters["frames/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFrames, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawExplosionFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
