// The GL back end headless (Mesa's software rasteriser on the CI machine): batches of 64
// textured, alpha-blended quads the way the particle styles draw them, 1000 draws per
// iteration, with small quads (the cost of submission) and larger ones (the cost of
// filling); and wide line strips drawn by the driver against expanded into quads. Each
// iteration waits for the rasteriser to finish, so the times are whole frames.
#include "host/HeadlessGLContext.h"
#include "scene/GLRenderDevice.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 256;
constexpr int kDraws = 1000;
constexpr int kQuadsPerDraw = 64;

HeadlessGLContext* Context(benchmark::State& state) {
    static std::string reason;
    static std::unique_ptr<HeadlessGLContext> context =
        HeadlessGLContext::Create(kSize, kSize, &reason);
    if (!context)
        state.SkipWithError(("no headless OpenGL: " + reason).c_str());
    return context.get();
}

std::unique_ptr<GLRenderDevice> MakeDevice(const GLRenderDeviceOptions& options) {
    auto device = GLRenderDevice::Create(options);
    if (!device)
        return nullptr;
    device->SetViewport({0, 0, kSize, kSize});
    Matrix4 pixels;
    pixels.m[0][0] = 2.0f / kSize;
    pixels.m[1][1] = 2.0f / kSize;
    pixels.SetTranslation({-1.0f, -1.0f, 0.0f});
    device->LoadMatrix(MatrixStack::Projection, pixels);
    return device;
}

// 64 quads of the given size scattered over the picture, each draw at its own place.
std::vector<std::vector<RenderVertex>> QuadBatches(float size) {
    std::vector<std::vector<RenderVertex>> batches(16);
    for (size_t batch = 0; batch < batches.size(); ++batch)
        for (int quad = 0; quad < kQuadsPerDraw; ++quad) {
            const float x = std::fmod(static_cast<float>(quad * 37 + batch * 11), kSize - size);
            const float y = std::fmod(static_cast<float>(quad * 53 + batch * 29), kSize - size);
            const Colour colour{1.0f, 0.6f, 0.2f, 0.5f};
            batches[batch].insert(batches[batch].end(), {{{x, y, 0}, colour, 0, 0},
                                                         {{x + size, y, 0}, colour, 1, 0},
                                                         {{x + size, y + size, 0}, colour, 1, 1},
                                                         {{x, y + size, 0}, colour, 0, 1}});
        }
    return batches;
}

void BM_GLQuadBatches(benchmark::State& state) {
    HeadlessGLContext* context = Context(state);
    if (!context)
        return;
    auto device = MakeDevice({});
    const auto batches = QuadBatches(static_cast<float>(state.range(0)));
    std::vector<uint8_t> texels(16 * 16 * 4, 200);
    device->Enable(RenderState::Texturing);
    device->BindTexture(device->CreateTexture(16, 16, texels.data()));
    device->Enable(RenderState::Blending);
    device->SetBlendMode(BlendMode::Alpha);

    // Warm-up: the buffers reach their size and the driver compiles its pipeline.
    device->Draw(Primitive::Quads, batches[0].data(), batches[0].size());
    context->Finish();
    const uint64_t allocations = device->BufferAllocations();
    const uint64_t orphans = device->BufferOrphans();
    for (auto _ : state) {
        device->Clear(kClearAll);
        for (int draw = 0; draw < kDraws; ++draw) {
            const auto& batch = batches[static_cast<size_t>(draw) % batches.size()];
            device->Draw(Primitive::Quads, batch.data(), batch.size());
        }
        context->Finish();
    }
    state.counters["draws/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kDraws,
                                                   benchmark::Counter::kIsRate);
    state.counters["quads/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kDraws * kQuadsPerDraw,
                           benchmark::Counter::kIsRate);
    state.counters["allocations"] = static_cast<double>(device->BufferAllocations() - allocations);
    state.counters["orphans/iter"] = static_cast<double>(device->BufferOrphans() - orphans) /
                                     static_cast<double>(state.iterations());
    device.reset();
}
// The side of each quad in pixels.
BENCHMARK(BM_GLQuadBatches)->Arg(2)->Arg(16)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_GLWideLineStrips(benchmark::State& state) {
    HeadlessGLContext* context = Context(state);
    if (!context)
        return;
    GLRenderDeviceOptions options;
    options.expandWideLines = state.range(0) != 0;
    auto device = MakeDevice(options);
    std::vector<RenderVertex> strip;
    for (int i = 0; i <= 64; ++i) {
        const float angle = static_cast<float>(i) * 0.1f;
        strip.push_back({{128.0f + 100.0f * std::cos(angle), 128.0f + 100.0f * std::sin(angle), 0},
                         {1, 1, 1, 1}});
    }
    device->SetLineWidth(3.0f);
    device->Draw(Primitive::LineStrip, strip.data(), strip.size());
    context->Finish();
    for (auto _ : state) {
        for (int draw = 0; draw < kDraws; ++draw)
            device->Draw(Primitive::LineStrip, strip.data(), strip.size());
        context->Finish();
    }
    state.counters["segments/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kDraws * 64, benchmark::Counter::kIsRate);
    state.SetLabel(options.expandWideLines ? "expanded" : "native");
}
// 0: drawn by the driver; 1: expanded into quads.
BENCHMARK(BM_GLWideLineStrips)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
