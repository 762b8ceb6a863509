// Reading and writing FX files: the sample ring (29 properties, about 4 KB) through
// LuaConfig and the FX file reader, side by side with bare Lua running the same file
// in a fresh state, and the writer.
#include "definitions/FXFile.h"
#include "stream/FilePath.h"
#include "stream/StandardAliases.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <lua.hpp>

namespace {

// A working directory holding the sample ring as Data/art/fx/spark.lua.
class BenchWorkDir {
public:
    BenchWorkDir() {
        m_root = std::filesystem::temp_directory_path() / "sparv-bench";
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root / "Data/art/fx");
        std::filesystem::copy_file(std::filesystem::path(SPARV_SAMPLES) / "Data/art/fx/spark.lua",
                                   m_root / "Data/art/fx/spark.lua");
        std::filesystem::current_path(m_root);
        FilePath::RemoveAllAliases();
        AddStandardAliases();
    }
    ~BenchWorkDir() {
        FilePath::RemoveAllAliases();
        std::filesystem::current_path(std::filesystem::temp_directory_path());
        std::filesystem::remove_all(m_root);
    }

private:
    std::filesystem::path m_root;
};

void BM_ReadRingThroughReader(benchmark::State& state) {
    BenchWorkDir dir;
    int style = 0;
    FXPropertyList properties;
    for (auto _ : state) {
        if (!FXReadFile("Data/art/fx/spark.lua", style, properties))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(properties);
    }
    state.counters["files/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadRingThroughReader);

// The same through the type name, as the registry reads it: the aliased path
// "DATA:ART/FX/spark.lua" is resolved case-insensitively on every read.
void BM_ReadRingByTypeName(benchmark::State& state) {
    BenchWorkDir dir;
    int style = 0;
    FXPropertyList properties;
    for (auto _ : state) {
        if (!FXReadTypeFile("spark", style, properties))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(properties);
    }
    state.counters["files/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadRingByTypeName);

// The floor: a fresh state, reading the file, luaL_loadbufferx and running the chunk.
void BM_ReadRingBareLua(benchmark::State& state) {
    BenchWorkDir dir;
    for (auto _ : state) {
        std::ifstream in("Data/art/fx/spark.lua", std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        lua_State* lua = luaL_newstate();
        if (luaL_loadbufferx(lua, text.data(), text.size(), "=spark", "t") != LUA_OK ||
            lua_pcall(lua, 0, 0, 0) != LUA_OK)
            state.SkipWithError("bare Lua failed");
        lua_close(lua);
    }
    state.counters["files/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadRingBareLua);

void BM_WriteRing(benchmark::State& state) {
    BenchWorkDir dir;
    int style = 0;
    FXPropertyList properties;
    if (!FXReadFile("Data/art/fx/spark.lua", style, properties)) {
        state.SkipWithError("read failed");
        return;
    }
    for (auto _ : state) {
        if (!FXWriteFile("Data/art/fx/written.lua", style, properties))
            state.SkipWithError("write failed");
    }
    state.counters["files/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WriteRing);

} // namespace
