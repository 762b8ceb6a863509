// FX memory: handing out and giving back instance blocks and checking handles, the
// operations every by-handle call of the runtime makes. Counters give the time of one
// operation ("time/op", in seconds with an SI prefix: 2.5n is 2.5 ns).
#include "runtime/FXMemory.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace {

void ReportTimePerOperation(benchmark::State& state, int operationsPerIteration) {
    state.counters["time/op"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * operationsPerIteration,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Allocate then free the same block: the free list's fast path.
void BM_FXMemoryAllocateFree(benchmark::State& state) {
    FXMemory memory;
    for (auto _ : state) {
        const FXHandle handle = memory.Allocate();
        benchmark::DoNotOptimize(handle);
        memory.Free(handle);
    }
    ReportTimePerOperation(state, 2);
}
BENCHMARK(BM_FXMemoryAllocateFree);

// Validate and resolve handles to many live instances, half of them stale, in an order
// that walks the table like the update loop's records do.
void BM_FXMemoryValidate(benchmark::State& state) {
    const auto live = static_cast<size_t>(state.range(0));
    FXMemory memory;
    std::vector<FXHandle> handles; // even positions stale, odd ones live
    std::vector<FXHandle> replacements;
    for (size_t i = 0; i < live; ++i)
        handles.push_back(memory.Allocate());
    for (size_t i = 0; i < live; i += 2) {
        memory.Free(handles[i]);
        replacements.push_back(memory.Allocate()); // the same block, one serial on
    }
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(memory.Validate(handles[next]));
        benchmark::DoNotOptimize(memory.Resolve(handles[next + 1]));
        next = (next + 2) % live;
    }
    ReportTimePerOperation(state, 2);
    for (size_t i = 1; i < live; i += 2)
        memory.Free(handles[i]);
    for (const FXHandle handle : replacements)
        memory.Free(handle);
}
BENCHMARK(BM_FXMemoryValidate)->Arg(1024)->Arg(65536);

// Instances dying and being born among 1024 live ones: free one, allocate one, and
// check the new handle and the dead one, as a parent checks its children.
void BM_FXMemoryChurn(benchmark::State& state) {
    constexpr size_t kLive = 1024;
    FXMemory memory;
    std::vector<FXHandle> handles;
    for (size_t i = 0; i < kLive; ++i)
        handles.push_back(memory.Allocate());
    uint32_t random = 12345;
    for (auto _ : state) {
        random = random * 214013u + 2531011u;
        const size_t slot = (random >> 16) % kLive;
        const FXHandle dead = handles[slot];
        memory.Free(dead);
        handles[slot] = memory.Allocate();
        benchmark::DoNotOptimize(memory.Validate(handles[slot]));
        benchmark::DoNotOptimize(memory.Validate(dead));
    }
    ReportTimePerOperation(state, 4);
    for (const FXHandle handle : handles)
        memory.Free(handle);
}
BENCHMARK(BM_FXMemoryChurn);

} // namespace
