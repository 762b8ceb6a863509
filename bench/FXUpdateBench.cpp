// The update loop at scale: 100,000 live instances (looping sprays that emit nothing,
// each with a basic-dynamics clone) advanced by one FXManager::Update(0.05), beside a bare
// loop touching the same bytes per instance; and a whole frame of a spray at a steady
// state of 10,000 live particles.
#include "definitions/FXStyle.h"
#include "definitions/FXType.h"
#include "definitions/FXTypeFactory.h"
#include "runtime/FXCamera.h"
#include "runtime/FXDynamics.h"
#include "runtime/FXFrustum.h"
#include "runtime/FXManager.h"
#include "runtime/FXObject.h"
#include "scene/CountingRenderDevice.h"
#include "scene/LensFlareManager.h"

#include <benchmark/benchmark.h>

namespace {

FXVariable Keys(std::initializer_list<TimeFloat> keys) {
    FXVariable value;
    value.SetArrayTimeFloat(std::span<const TimeFloat>(keys.begin(), keys.size()));
    return value;
}

FXVariable Text(const char* text) {
    FXVariable value;
    value.SetString(text);
    return value;
}

FXVariable Number(float number) {
    FXVariable value;
    value.SetFloat(number);
    return value;
}

FXVariable Flag(bool on) {
    FXVariable value;
    value.SetBool(on);
    return value;
}

constexpr int kInstances = 100000;

void StartWithIdleSprays() {
    FXManager::Startup();
    FXManager& manager = *FXManager::Instance();
    manager.SetInstanceCeiling(2 * kInstances);
    auto idle = FXNewType(STYLE_SPRAY, "idle");
    idle->SetProperty("Emitter_Loop", Flag(true));
    idle->SetProperty("Emitter_Rate", Keys({{0, 0}, {1, 0}}));
    manager.TypeAdd(std::move(idle));
    const FXDynamics* basic = manager.DynamicsFind(8);
    for (int i = 0; i < kInstances; ++i)
        manager.Create("idle", basic);
    manager.Update(0.05f); // past the first-update work
}

void BM_Update100kIdleSprays(benchmark::State& state) {
    StartWithIdleSprays();
    FXManager& manager = *FXManager::Instance();
    for (auto _ : state)
        manager.Update(0.05f);
    state.counters["ns/instance"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kInstances,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    FXManager::Shutdown();
}
BENCHMARK(BM_Update100kIdleSprays)->Unit(benchmark::kMillisecond);

// The memory floor: per instance, read and write every cache line of its record and its
// block (instance object and dynamics clone), in the same order the update loop visits
// them.
void BM_Touch100kInstancesBare(benchmark::State& state) {
    StartWithIdleSprays();
    FXManager& manager = *FXManager::Instance();
    // Writes back what it read, so the objects stay intact.
    auto touch = [](void* memory, size_t bytes) {
        auto* p = static_cast<volatile unsigned char*>(memory);
        for (size_t i = 0; i < bytes; i += 64)
            p[i] = p[i];
    };
    for (auto _ : state) {
        for (const FXRecord& record : manager.Records()) {
            touch(const_cast<FXRecord*>(&record), sizeof(FXRecord));
            FXObject* object = manager.Resolve(manager.HandleOf(record));
            touch(object, object->GetType()->InstanceSize());
            if (FXDynamics* dynamics = manager.DynamicsOf(manager.HandleOf(record)))
                touch(dynamics, dynamics->Size());
        }
    }
    state.counters["ns/instance"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kInstances,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    FXManager::Shutdown();
}
BENCHMARK(BM_Touch100kInstancesBare)->Unit(benchmark::kMillisecond);

// A spray emitting 5,000 lens flares a second that live 2 s each: 10,000 live particles
// at steady state. One frame: Update(1/60 s) and Render through a counting device.
void BM_SprayFrame10kParticles(benchmark::State& state) {
    LensFlareManager::Startup();
    FXManager::Startup();
    FXManager& manager = *FXManager::Instance();
    auto flare = FXNewType(STYLE_LENSFLARE, "spark");
    flare->SetProperty("Duration", Number(2.0f));
    manager.TypeAdd(std::move(flare));
    auto spray = FXNewType(STYLE_SPRAY, "fountain");
    spray->SetProperty("Emitter_Loop", Flag(true));
    spray->SetProperty("Emitter_Rate", Keys({{0, 5000}, {1, 5000}}));
    spray->SetProperty("Particle_Fx", Text("spark"));
    spray->SetProperty("Particle_Dynamics", [] {
        FXVariable value;
        value.SetInt(2);
        return value;
    }());
    manager.TypeAdd(std::move(spray));
    manager.Create("fountain", nullptr);

    CountingRenderDevice device;
    ScopedRenderTable current(&device);
    FXCamera camera;
    Matrix4 view;
    view.SetTranslation({0, -5, -60});
    camera.SetViewMatrix(view);
    camera.SetAspectRatio(16.0f / 9.0f);
    camera.UpdateMatrices();
    FXFrustum frustum;
    camera.BuildFrustum(frustum);
    for (int frame = 0; frame < 180; ++frame) { // three seconds: past the steady state
        manager.Update(1.0f / 60.0f);
        manager.Render(frustum, camera);
    }
    for (auto _ : state) {
        manager.Update(1.0f / 60.0f);
        manager.Render(frustum, camera);
    }
    state.counters["live"] = static_cast<double>(manager.LiveCount());
    FXManager::Shutdown();
    LensFlareManager::Shutdown();
}
BENCHMARK(BM_SprayFrame10kParticles)->Unit(benchmark::kMillisecond);

} // namespace
