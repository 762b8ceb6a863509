// Billboard rings at scale: a looping spray keeping 10,000 (and 100,000) rings alive,
// one whole frame (Update(1/60) and Render) through a counting device and through the
// GL back end on the headless context, the same frame's draws replayed into the GL back
// end alone, and the heap each live ring costs.
#include "host/HeadlessGLContext.h"
#include "runtime/FXCamera.h"
#include "runtime/FXFrustum.h"
#include "runtime/FXManager.h"
#include "scene/CountingRenderDevice.h"
#include "scene/DefaultTextures.h"
#include "scene/GLRenderDevice.h"
#include "scene/RecordingRenderDevice.h"
#include "stream/FilePath.h"
#include "stream/StandardAliases.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <map>
#include <vector>

namespace {

// A working directory with the default textures and a spray of short-lived rings:
// `live` rings at a steady state (rate × 2 s life).
class RingScene {
public:
    explicit RingScene(int live) {
        m_root = std::filesystem::temp_directory_path() / "sparv-ring-bench";
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root / "Data/art/fx");
        std::filesystem::current_path(m_root);
        FilePath::RemoveAllAliases();
        AddStandardAliases();
        GenerateDefaultTextures("Data/art/fx");
        Write("mote", R"(fx = { style = "STYLE_RING", properties = {
    { name = "Duration", type = "VARTYPE_FLOAT", value = 2 },
    { name = "Billboard", type = "VARTYPE_BOOL", value = 1 },
    { name = "Blending", type = "VARTYPE_INT", value = 2 },
    { name = "Radius", type = "VARTYPE_ARRAY_TIMEFLOAT", value = {0, 0.2, 1, 0.1} },
} })");
        // A spray emits at most 10,000 a second: more rings take more sprays.
        m_sprays = std::max(1, live / 10000);
        const int rate = live / 2 / m_sprays;
        Write("cloud",
              "fx = { style = \"STYLE_SPRAY\", properties = {"
              " { name = \"Emitter_Loop\", type = \"VARTYPE_BOOL\", value = 1 },"
              " { name = \"Emitter_Rate\", type = \"VARTYPE_ARRAY_TIMEFLOAT\", value = {0, " +
                  std::to_string(rate) + ", 1, " + std::to_string(rate) +
                  "} },"
                  " { name = \"Emitter_Volume\", type = \"VARTYPE_ARRAY_TIMEVECTOR3\","
                  "   value = { entry_00 = {0, 20, 10, 20}, entry_01 = {1, 20, 10, 20} } },"
                  " { name = \"Emitter_Deviation\", type = \"VARTYPE_ARRAY_TIMEFLOAT\", value = "
                  "{0, 360, 1, 360} },"
                  " { name = \"Particle_Speed\", type = \"VARTYPE_ARRAY_TIMEFLOAT\", value = {0, "
                  "1, 1, 1} },"
                  " { name = \"Particle_Fx\", type = \"VARTYPE_STRING\", value = \"mote\" },"
                  " { name = \"Particle_Dynamics\", type = \"VARTYPE_INT\", value = 0 },"
                  "} }");
        FXManager::Startup();
        FXManager::Instance()->SetInstanceCeiling(static_cast<size_t>(live) * 2);
        m_camera.SetAspectRatio(16.0f / 9.0f);
        Matrix4 view;
        view.SetTranslation({0, 0, -40});
        m_camera.SetViewMatrix(view);
        m_camera.UpdateMatrices();
        m_camera.BuildFrustum(m_frustum);
    }
    ~RingScene() {
        FXManager::Shutdown();
        FilePath::RemoveAllAliases();
        std::filesystem::current_path(std::filesystem::temp_directory_path());
        std::filesystem::remove_all(m_root);
    }

    void Start() {
        for (int i = 0; i < m_sprays; ++i)
            FXManager::Instance()->Create("cloud", nullptr);
    }
    void Frame() {
        FXManager::Instance()->Update(1.0f / 60.0f);
        FXManager::Instance()->Render(m_frustum, m_camera);
    }
    // Frames until the spray's first rings have died: the steady state.
    void Settle() {
        for (int i = 0; i < 150; ++i)
            Frame();
    }

private:
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(m_root / "Data/art/fx" / (name + ".lua")) << text;
    }

    std::filesystem::path m_root;
    int m_sprays = 1;
    FXCamera m_camera;
    FXFrustum m_frustum;
};

// The headless context and GL back end the GL benchmarks draw with, viewport set. The
// context is null, and the benchmark skipped, where this machine has no headless GL.
struct HeadlessGL {
    std::unique_ptr<HeadlessGLContext> context;
    std::unique_ptr<GLRenderDevice> device;
};
HeadlessGL StartHeadlessGL(benchmark::State& state) {
    std::string reason;
    HeadlessGL gl{HeadlessGLContext::Create(1280, 720, &reason), nullptr};
    if (!gl.context) {
        state.SkipWithError(("no headless GL: " + reason).c_str());
        return gl;
    }
    gl.device = GLRenderDevice::Create({}, &reason);
    gl.device->SetViewport({0, 0, 1280, 720});
    return gl;
}

void CountDrawsPerFrame(benchmark::State& state, const RenderDevice& device) {
    state.counters["draws/frame"] = static_cast<double>(device.GetCounters().drawCalls) /
                                    static_cast<double>(state.iterations());
}

void BM_RingFrameCounting(benchmark::State& state) {
    CountingRenderDevice device;
    ScopedRenderTable current(&device);
    device.SetViewport({0, 0, 1280, 720});
    RingScene scene(static_cast<int>(state.range(0)));
    scene.Start();
    scene.Settle();
    device.ResetCounters();
    for (auto _ : state)
        scene.Frame();
    state.counters["live"] = static_cast<double>(FXManager::Instance()->LiveCount());
    CountDrawsPerFrame(state, device);
}
BENCHMARK(BM_RingFrameCounting)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_RingFrameGL(benchmark::State& state) {
    const HeadlessGL gl = StartHeadlessGL(state);
    if (!gl.context)
        return;
    ScopedRenderTable current(gl.device.get());
    RingScene scene(static_cast<int>(state.range(0)));
    scene.Start();
    scene.Settle();
    gl.device->ResetCounters();
    for (auto _ : state) {
        scene.Frame();
        gl.context->Finish();
    }
    state.counters["live"] = static_cast<double>(FXManager::Instance()->LiveCount());
    CountDrawsPerFrame(state, *gl.device);
}
BENCHMARK(BM_RingFrameGL)->Arg(10000)->Unit(benchmark::kMillisecond);

// The floor under BM_RingFrameGL: one frame of the same scene, recorded, handed again to
// the GL back end without the runtime (its states, matrices, textures and vertices, draw
// by draw). What this costs the calling thread is the device's and the driver's share of
// a GL frame; BM_RingFrameGL less this is the runtime's.
void BM_RingFrameGLReplay(benchmark::State& state) {
    const HeadlessGL gl = StartHeadlessGL(state);
    if (!gl.context)
        return;
    GLRenderDevice* device = gl.device.get();
    std::vector<RecordedDraw> draws;
    std::map<TextureId, TextureId> textures; // the recorder's textures as the GL device's
    {
        RecordingRenderDevice recorder;
        ScopedRenderTable current(&recorder);
        recorder.SetViewport({0, 0, 1280, 720});
        RingScene scene(static_cast<int>(state.range(0)));
        scene.Start();
        scene.Settle();
        recorder.ClearRecording();
        scene.Frame();
        draws = recorder.Draws();
        for (const RecordedTexture& texture : recorder.Textures())
            if (!texture.destroyed)
                textures[texture.texture] =
                    device->CreateTexture(texture.width, texture.height, texture.rgba.data());
    }
    ScopedRenderTable current(device);
    device->ResetCounters();
    for (auto _ : state) {
        for (const RecordedDraw& draw : draws) {
            device->RestoreStates(draw.states);
            device->LoadMatrix(MatrixStack::ModelView, draw.modelView);
            device->LoadMatrix(MatrixStack::Projection, draw.projection);
            device->BindTexture(textures[draw.binding.texture], draw.binding.wrap);
            device->Draw(draw.primitive, draw.vertices.data(), draw.vertices.size());
        }
        gl.context->Finish();
    }
    CountDrawsPerFrame(state, *device);
}
BENCHMARK(BM_RingFrameGLReplay)->Arg(10000)->Unit(benchmark::kMillisecond);

// Bytes of the heap in use: small blocks and mapped chunks alike, with the allocator's own
// overhead. Counting both makes the figure independent of where the allocator's mapping
// threshold stands, which moves as large blocks come and go (earlier benchmarks move it).
size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Heap in use per live ring at the steady state: instance blocks, records, dynamics
// clones, the update and draw lists, everything the runtime holds for them, counted from
// before the manager starts. Pools that outlive the manager give their memory back when it
// shuts down, so the figure does not depend on the benchmarks run before.
void BM_RingMemory(benchmark::State& state) {
    CountingRenderDevice device;
    ScopedRenderTable current(&device);
    const size_t before = HeapInUse();
    RingScene scene(static_cast<int>(state.range(0)));
    scene.Start();
    scene.Settle();
    const size_t after = HeapInUse();
    for (auto _ : state)
        benchmark::DoNotOptimize(after);
    const double live = static_cast<double>(FXManager::Instance()->LiveCount());
    state.counters["live"] = live;
    state.counters["bytes/ring"] = static_cast<double>(after - before) / live;
}
BENCHMARK(BM_RingMemory)->Arg(10000)->Arg(100000)->Iterations(1);

} // namespace
