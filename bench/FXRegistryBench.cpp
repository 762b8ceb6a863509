// Looking a registered type up by name, as every spawn of a child effect does.
#include "definitions/FXStyle.h"
#include "definitions/FXTypeFactory.h"
#include "runtime/FXManager.h"

#include <benchmark/benchmark.h>

namespace {

void BM_TypeFindRegistered(benchmark::State& state) {
    FXManager::Startup();
    FXManager& manager = *FXManager::Instance();
    // A registry of a typical library's size.
    for (int i = 0; i < 200; ++i)
        manager.TypeAdd(FXNewType(i % kStyleCount, ("effect_" + std::to_string(i)).c_str()));
    const char* names[] = {"effect_7", "Effect_42", "EFFECT_199", "effect_100"};
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(manager.TypeFind(names[next]));
        next = (next + 1) & 3;
    }
    FXManager::Shutdown();
}
BENCHMARK(BM_TypeFindRegistered);

} // namespace
