#include "script/LuaConfig.h"

#include "support/TempWorkDir.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* kPath = "DATA:ART/FX/test.lua";
constexpr const char* kHostPath = "Data/ART/FX/test.lua";

// Restores the default limits a test changed.
class LimitsGuard {
public:
    explicit LimitsGuard(const LuaConfigLimits& limits) { LuaConfig::SetDefaultLimits(limits); }
    ~LimitsGuard() { LuaConfig::SetDefaultLimits(m_saved); }

private:
    LuaConfigLimits m_saved = LuaConfig::DefaultLimits();
};

class LuaConfigTest : public testing::Test {
protected:
    LuaConfigTest() { fs::create_directories(work.root() / "Data/ART/FX"); }

    // Runs text as the file kPath in config.
    bool load(LuaConfig& config, const std::string& text) {
        work.write(kHostPath, text);
        return config.LoadFile(kPath);
    }
    // Saves the global name of config to kPath; the file's text, or "<failed>".
    std::string save(LuaConfig& config, const char* name = "fx",
                     LuaSaveLayout layout = LuaSaveLayout::Indented) {
        if (!config.StartSave(kPath) || !config.SaveVar(name, 0, layout) || !config.EndSave())
            return "<failed>";
        return work.read(kHostPath);
    }
    std::vector<std::string> folderEntries() const { return work.list("Data/ART/FX"); }

    TempWorkDir work;
};

bool run(LuaConfig& config, const std::string& text) {
    return config.LoadString(text.data(), text.size());
}

// Whether message contains one of the '|'-separated alternatives.
bool mentions(const std::string& message, const std::string& alternatives) {
    size_t start = 0;
    for (size_t bar; (bar = alternatives.find('|', start)) != std::string::npos; start = bar + 1)
        if (message.find(alternatives.substr(start, bar - start)) != std::string::npos)
            return true;
    return message.find(alternatives.substr(start)) != std::string::npos;
}

uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// --- reading ------------------------------------------------------------------------------

TEST_F(LuaConfigTest, ReadsNestedTablesThroughScopes) {
    LuaConfig config;
    ASSERT_TRUE(load(config, "-- a comment\n"
                             "fx = { style = 'STYLE_RING', count = 3,\n"
                             "  properties = { property_00 = { name = 'Radius', value = 0.25 },\n"
                             "                 { name = 'ByIndex' } },\n"
                             "  colour = {1, 0.5, 0, 1}, names = {'a', 'b'}, mixed = {1, 'x'} }\n"))
        << config.LastError();
    EXPECT_EQ(config.GetType("fx"), LUATYPE_TABLE);
    EXPECT_EQ(config.GetType("nothing"), LUATYPE_NIL);
    config.PushTable("fx");
    char text[256];
    double number = 0;
    EXPECT_TRUE(config.GetString("style", text, sizeof text));
    EXPECT_STREQ(text, "STYLE_RING");
    EXPECT_FALSE(config.GetString("count", text, sizeof text)) << "numbers are not converted";
    EXPECT_FALSE(config.GetDouble("style", &number)) << "strings are not converted";
    EXPECT_TRUE(config.GetDouble("count", &number));
    EXPECT_EQ(number, 3.0);
    EXPECT_FALSE(config.GetString("style", text, 10)) << "needs 11 bytes";
    EXPECT_STREQ(text, "");

    std::vector<float> floats{9.0f};
    EXPECT_TRUE(config.GetFloatArray("colour", floats));
    EXPECT_EQ(floats, (std::vector<float>{1, 0.5f, 0, 1}));
    EXPECT_FALSE(config.GetFloatArray("mixed", floats));
    EXPECT_TRUE(floats.empty());
    std::vector<std::string> strings;
    EXPECT_TRUE(config.GetStringArray("names", strings));
    EXPECT_EQ(strings, (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(config.GetStringArray("colour", strings));

    // NextEntry names every key, integer keys as text that PushTable finds again.
    config.PushTable("properties");
    char key[1024] = {0};
    LuaType type = LUATYPE_ERROR;
    std::vector<std::string> names;
    while (config.NextEntry(key, sizeof key, &type)) {
        EXPECT_EQ(type, LUATYPE_TABLE);
        config.PushTable(key);
        ASSERT_TRUE(config.GetString("name", text, sizeof text)) << key;
        names.push_back(std::string(key) + "=" + text);
        config.PopTable();
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"1=ByIndex", "property_00=Radius"}));
    EXPECT_FALSE(config.NextEntry(key, sizeof key, &type)) << "stays at the end";
    key[0] = 0;
    EXPECT_TRUE(config.NextEntry(key, sizeof key, &type)) << "key[0] = 0 starts again";
    config.PopTable();
    config.PopTable();
    config.PopTable(); // below the global table: ignored
    EXPECT_EQ(config.GetType("fx"), LUATYPE_TABLE);
}

TEST_F(LuaConfigTest, EnteringANonTableIsBalancedAndEmpty) {
    LuaConfig config;
    ASSERT_TRUE(run(config, "x = 1 t = { inner = {} }"));
    config.PushTable("x");
    EXPECT_EQ(config.GetType("anything"), LUATYPE_ERROR);
    char key[64] = {0};
    EXPECT_FALSE(config.NextEntry(key, sizeof key, nullptr));
    config.PushTable("deeper");
    config.AddTable("ignored");
    config.SetString("ignored", "too");
    config.PopTable();
    config.PopTable();
    config.PopTable();
    EXPECT_EQ(config.GetType("x"), LUATYPE_NUMBER);
    EXPECT_EQ(config.GetType("ignored"), LUATYPE_NIL);
}

TEST_F(LuaConfigTest, NextEntrySkipsKeysItCannotName) {
    LuaConfig config;
    const std::string longKey(40, 'k');
    ASSERT_TRUE(load(config, "t = { [''] = 1, [{}] = 2, [true] = 3, ['a\\0b'] = 4, ['" + longKey +
                                 "'] = 5, [2.5] = 6, ok = 7 }"));
    config.PushTable("t");
    char key[32] = {0};
    std::vector<std::string> keys;
    while (config.NextEntry(key, sizeof key, nullptr))
        keys.push_back(key);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::string>{"2.5", "ok"}));
    double value = 0;
    EXPECT_TRUE(config.GetDouble("2.5", &value));
    EXPECT_EQ(value, 6);
    EXPECT_FALSE(config.GetString("a", key, sizeof key));
}

TEST_F(LuaConfigTest, ScriptsMayUseTheBaseMathAndTableLibraries) {
    LuaConfig config;
    // type is the script's own global: the libraries, opened on first use, keep it.
    ASSERT_TRUE(run(config, "type = 'mine'\n"
                            "local t = {3, 1}\n"
                            "table.insert(t, 2) table.insert(t, 1, 5) table.remove(t, 1)\n"
                            "table.sort(t) table.sort(t, function(a, b) return a > b end)\n"
                            "local a, b = table.unpack(table.move(t, 1, 2, 1, {}))\n"
                            "joined = table.concat(t, ',') .. '/' .. a + b\n"
                            "local n = 0 for _, v in ipairs(t) do n = n + v end\n"
                            "for k in pairs({x = 1}) do n = n + #k end\n"
                            "sum = n + math.floor(2.5) + select('#', 1, 2) + tonumber('4')\n"
                            "assert(rawequal(_G, _G) and tostring(1) == '1')"))
        << config.LastError();
    char text[64];
    ASSERT_TRUE(config.GetString("type", text, sizeof text));
    EXPECT_STREQ(text, "mine");
    ASSERT_TRUE(config.GetString("joined", text, sizeof text));
    EXPECT_STREQ(text, "3,2,1/5");
    double sum = 0;
    ASSERT_TRUE(config.GetDouble("sum", &sum));
    EXPECT_EQ(sum, 6 + 1 + 2 + 2 + 4);
}

// --- writing and saving ---------------------------------------------------------------

TEST_F(LuaConfigTest, WritesTablesInCreationOrderAndReadsThemBack) {
    LuaConfig config;
    config.AddTable("fx");
    config.SetString("style", "STYLE_RING");
    config.AddTable("properties");
    config.AddTable("property_00");
    config.SetString("name", "Radius");
    config.SetNumber("value", static_cast<double>(0.1f));
    config.PopTable();
    config.AddTable("property_01");
    const double colour[] = {1, 0.5, 0.25, 1};
    config.SetNumberArray("value", colour, 4);
    config.AddTable("entries");
    config.SetNumberArray("entry_00", colour, 0);
    config.PopTable();
    config.SetString("end", "a reserved word");
    config.SetString("two words", "quote \" backslash \\ newline \n tab \t");
    config.PopTable();
    config.PopTable();
    config.PopTable();

    const std::string expected = "fx = {\n"
                                 "    style = \"STYLE_RING\",\n"
                                 "    properties = {\n"
                                 "        property_00 = {\n"
                                 "            name = \"Radius\",\n"
                                 "            value = 0.1,\n"
                                 "        },\n"
                                 "        property_01 = {\n"
                                 "            value = {1, 0.5, 0.25, 1},\n"
                                 "            entries = {\n"
                                 "                entry_00 = {},\n"
                                 "            },\n"
                                 "            [\"end\"] = \"a reserved word\",\n"
                                 "            [\"two words\"] = \"quote \\\" backslash \\\\ "
                                 "newline \\n tab \\t\",\n"
                                 "        },\n"
                                 "    },\n"
                                 "}\n";
    ASSERT_EQ(save(config), expected) << config.LastError();

    LuaConfig reader;
    ASSERT_TRUE(reader.LoadFile(kPath)) << reader.LastError();
    reader.PushTable("fx");
    reader.PushTable("properties");
    reader.PushTable("property_01");
    char text[256];
    ASSERT_TRUE(reader.GetString("two words", text, sizeof text));
    EXPECT_STREQ(text, "quote \" backslash \\ newline \n tab \t");
    reader.PushTable("entries");
    std::vector<float> empty{1};
    EXPECT_TRUE(reader.GetFloatArray("entry_00", empty));
    EXPECT_TRUE(empty.empty());
}

TEST_F(LuaConfigTest, KeysAScriptMadeFollowCreatedKeysSorted) {
    const std::string script =
        "fx = { zeta = 1, alpha = 'a', [10] = 'ten', [2] = 'two', [1.5] = 'x', [true] = 0 }";
    std::string first;
    for (int round = 0; round < 3; ++round) { // fresh states order their tables differently
        LuaConfig config;
        ASSERT_TRUE(load(config, script));
        config.PushTable("fx");
        config.SetString("made", "here");
        config.SetString("alpha", "changed"); // an existing key keeps its place
        config.PopTable();
        const std::string text = save(config);
        if (round == 0)
            first = text;
        EXPECT_EQ(text, first);
    }
    EXPECT_EQ(first, "fx = {\n    made = \"here\",\n    [1.5] = \"x\",\n    [2] = \"two\",\n"
                     "    [10] = \"ten\",\n    alpha = \"changed\",\n    zeta = 1,\n"
                     "    [true] = 0,\n}\n");
}

TEST_F(LuaConfigTest, NumbersRoundTripBitExactly) {
    std::mt19937 random(1234);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1e-45,
                                  -3.4e38,
                                  16777217.0,
                                  0.1,
                                  1.0 / 3,
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};
    // The float whose shortest text, read as a double, rounds to its neighbour.
    const uint32_t awkward = 0x15ae43fd;
    float awkwardFloat;
    std::memcpy(&awkwardFloat, &awkward, sizeof awkwardFloat);
    values.push_back(awkwardFloat);
    for (int i = 0; i < 20000; ++i) {
        const uint32_t bits = random();
        float single;
        std::memcpy(&single, &bits, sizeof single);
        if (std::isfinite(single))
            values.push_back(single);
    }
    LuaConfig config;
    config.AddTable("fx");
    config.SetNumberArray("values", values.data(), values.size());
    config.SetNumber("minusZero", -0.0);
    config.PopTable();
    ASSERT_NE(save(config), "<failed>");

    LuaConfig reader;
    ASSERT_TRUE(reader.LoadFile(kPath)) << reader.LastError();
    reader.PushTable("fx");
    std::vector<float> floats;
    ASSERT_TRUE(reader.GetFloatArray("values", floats));
    ASSERT_EQ(floats.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        if (std::isnan(values[i]))
            EXPECT_TRUE(std::isnan(floats[i]));
        else
            EXPECT_EQ(bitsOf(floats[i]), bitsOf(static_cast<float>(values[i]))) << values[i];
    }
    double minusZero = 1;
    ASSERT_TRUE(reader.GetDouble("minusZero", &minusZero));
    EXPECT_TRUE(minusZero == 0 && std::signbit(minusZero));
    // Readable: a float is written as its shortest text.
    EXPECT_NE(work.read(kHostPath).find("{0, -0.0, 1e-45, -3.4e+38, 16777217, 0.1, "),
              std::string::npos);
}

TEST_F(LuaConfigTest, AnyByteStringAndExtremeIntegersRoundTrip) {
    std::string bytes;
    for (int c = 1; c < 256; ++c)
        bytes += static_cast<char>(c);
    bytes += "Grüße ✓ \xE2\x82"; // valid UTF-8, then a cut-off sequence
    LuaConfig config;
    ASSERT_TRUE(load(config, "fx = { low = math.mininteger, high = math.maxinteger, nul = "
                             "'a\\0b' }"));
    config.PushTable("fx");
    config.SetString("bytes", bytes.c_str());
    config.PopTable();
    const std::string text = save(config);
    EXPECT_NE(text.find("Grüße ✓ \\226\\130\""), std::string::npos) << text;

    LuaConfig reader;
    ASSERT_TRUE(reader.LoadFile(kPath)) << reader.LastError();
    reader.PushTable("fx");
    std::vector<char> buffer(1024);
    ASSERT_TRUE(reader.GetString("bytes", buffer.data(), buffer.size()));
    EXPECT_EQ(std::string(buffer.data()), bytes);
    EXPECT_TRUE(run(reader, "assert(fx.low == math.mininteger and math.type(fx.low) == "
                            "'integer' and fx.high == math.maxinteger and fx.nul == 'a\\0b')"))
        << reader.LastError();
}

TEST_F(LuaConfigTest, CompactFormReadsBack) {
    LuaConfig config;
    ASSERT_TRUE(load(config, "fx = { a = { b = { 1, 2 } }, s = 'x' }"));
    EXPECT_EQ(save(config, "fx", LuaSaveLayout::OneLine), "fx = {a = {b = {1, 2}}, s = \"x\"}\n");
    LuaConfig reader;
    ASSERT_TRUE(reader.LoadFile(kPath));
    reader.PushTable("fx");
    reader.PushTable("a");
    std::vector<float> values;
    EXPECT_TRUE(reader.GetFloatArray("b", values));
    EXPECT_EQ(values.size(), 2u);
}

TEST_F(LuaConfigTest, RefusesWhatCannotBeSavedAndKeepsTheOldFile) {
    work.write(kHostPath, "old = 1\n");
    const std::string scripts[][2] = {
        {"fx = { f = { g = function() end } }", "cannot save fx.f.g: a function value"},
        {"fx = {} fx.self = fx", "cannot save fx.self: a table contains itself"},
        {"fx = { [{}] = 1 }", "cannot save fx: a table key"},
        {"fx = nil", "cannot save fx: no such global"},
    };
    for (const auto& [script, message] : scripts) {
        LuaConfig config;
        ASSERT_TRUE(run(config, script));
        ASSERT_TRUE(config.StartSave(kPath));
        EXPECT_FALSE(config.SaveVar("fx", 0, LuaSaveLayout::Indented));
        EXPECT_NE(config.LastError().find(message), std::string::npos) << config.LastError();
        EXPECT_FALSE(config.EndSave());
        EXPECT_EQ(work.read(kHostPath), "old = 1\n");
        EXPECT_EQ(folderEntries(), std::vector<std::string>{"test.lua"});
    }
    LuaConfig config;
    EXPECT_FALSE(config.SaveVar("fx", 0, LuaSaveLayout::Indented)) << "no StartSave";
    EXPECT_FALSE(config.EndSave());
}

TEST_F(LuaConfigTest, NestingIsLimitedToWhatTheReaderAccepts) {
    for (const int depth : {150, 151}) {
        LuaConfig config;
        for (int level = 0; level < depth; ++level)
            config.AddTable("fx");
        const std::string text = save(config);
        if (depth == 150) {
            LuaConfig reader;
            EXPECT_TRUE(reader.LoadFile(kPath)) << reader.LastError();
        } else {
            EXPECT_EQ(text, "<failed>");
            EXPECT_NE(config.LastError().find(": tables nested too deeply"), std::string::npos);
        }
    }
}

TEST_F(LuaConfigTest, SavingIsAtomic) {
    LuaConfig config;
    config.AddTable("fx");
    config.PopTable();
    EXPECT_FALSE(config.StartSave("DATA:MISSING/test.lua")) << "the folder must exist";
    EXPECT_FALSE(fs::exists(work.root() / "Data/MISSING"));

    // The temporary vanishes before EndSave: the rename fails, the old file stays.
    work.write(kHostPath, "old = 1\n");
    ASSERT_TRUE(config.StartSave(kPath));
    ASSERT_TRUE(config.SaveVar("fx", 0, LuaSaveLayout::Indented));
    for (const auto& name : folderEntries())
        if (name != "test.lua")
            fs::remove(work.root() / "Data/ART/FX" / name);
    EXPECT_FALSE(config.EndSave());
    EXPECT_EQ(work.read(kHostPath), "old = 1\n");

    // An unfinished save leaves nothing behind.
    {
        LuaConfig unfinished;
        unfinished.AddTable("fx");
        ASSERT_TRUE(unfinished.StartSave(kPath));
        EXPECT_EQ(folderEntries().size(), 2u);
    }
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"test.lua"});

    // The folder disappears: EndSave fails cleanly.
    ASSERT_TRUE(config.StartSave(kPath));
    fs::remove_all(work.root() / "Data/ART/FX");
    EXPECT_FALSE(config.EndSave());

    // A name differing in case replaces the existing file.
    work.write("Data/ART/FX/spark.lua", "old = 1\n");
    ASSERT_TRUE(config.StartSave("DATA:art/fx/Spark.lua"));
    ASSERT_TRUE(config.SaveVar("fx", 0, LuaSaveLayout::Indented));
    ASSERT_TRUE(config.EndSave()) << config.LastError();
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"spark.lua"});
    EXPECT_EQ(work.read("Data/ART/FX/spark.lua"), "fx = {}\n");
}

// --- hostile scripts ----------------------------------------------------------------------

TEST_F(LuaConfigTest, HostileScriptsFailWithAReason) {
    LuaConfigLimits limits;
    limits.memoryBytes = 16u << 20;
    limits.instructions = 5'000'000;
    LimitsGuard guard(limits);
    const std::string deepTables = "x = " + std::string(1000, '{') + std::string(1000, '}');
    const std::string scripts[][2] = {
        {"os.execute('touch hacked')", "test.lua:1: attempt to index a nil value (global 'os')"},
        {"io.open('x', 'w')", "(global 'io')"},
        {"\nrequire('os')", "test.lua:2: attempt to call a nil value (global 'require')"},
        {"load('return 1')", "(global 'load')"},
        {"dofile('/etc/passwd')", "(global 'dofile')"},
        {"string.rep('x', 1e9)", "(global 'string')"},
        {"x = ('x'):rep(10)", "attempt to index a string value"},
        {"setmetatable({}, { __gc = function() end })", "(global 'setmetatable')"},
        {"getmetatable('').__index.rep('x', 9)", "(global 'getmetatable')"},
        {"collectgarbage('stop')", "(global 'collectgarbage')"},
        {"coroutine.wrap(print)", "(global 'coroutine')"},
        {"debug.sethook()", "(global 'debug')"},
        {"pcall(function() while true do end end)", "(global 'pcall')"},
        {"while true do end", "test.lua:1: instruction limit exceeded"},
        {"for i = 1, math.huge do end", "instruction limit exceeded"},
        {"local function f() return f() end f()", "instruction limit exceeded"},
        {"local function f() f() end f()", "stack overflow|memory limit exceeded"},
        {"local t = {} for i = 1, 100 do t[i] = i end\n"
         "table.sort(t, function(a, b) while true do end end)",
         "test.lua:2: instruction limit exceeded"},
        {"table.move({}, 1, math.maxinteger, 2)", "instruction limit exceeded"},
        {"table.concat({}, '', 1, 1e12)", "instruction limit exceeded"},
        {"local s = 'x' while true do s = s .. s end", "string longer than the limit"},
        {"local t = {} for i = 1, 1e9 do t[i] = {} end", "memory limit exceeded"},
        {"error({})", "test.lua:1: error object is a table value"},
        {deepTables, "test.lua: C stack overflow"},
        {"x = = 1", "test.lua:1: unexpected symbol near '='"},
        {std::string("\x1bLua\x54\x00\x19\x93\r\n\x1a\n", 12), "binary chunk refused"},
        {"x = '\xff'", "not UTF-8 text (invalid byte at offset 5)"},
        {std::string("x = 1\0", 6), "NUL byte at offset 5"},
        {"", "empty file"},
    };
    for (const auto& [script, message] : scripts) {
        LuaConfig config;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(load(config, script)) << script;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << script;
        EXPECT_TRUE(mentions(config.LastError(), message))
            << script << "\n -> " << config.LastError();
    }
    EXPECT_FALSE(fs::exists(work.root() / "hacked"));
    LuaConfig config;
    EXPECT_FALSE(config.LoadFile("DATA:ART/FX/missing.lua"));
    EXPECT_EQ(config.LastError().rfind("cannot open DATA:ART/FX/missing.lua", 0), 0u)
        << config.LastError();
}

TEST_F(LuaConfigTest, RunawayScriptsStopWithinTheirLimits) {
    {
        LuaConfig config; // default limits
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(load(config, "while true do end"));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
    LuaConfigLimits limits;
    limits.instructions = std::numeric_limits<unsigned long long>::max();
    limits.seconds = 0.2;
    LimitsGuard guard(limits);
    // The second script keeps the allocator busy: it also reads the clock.
    for (const char* script : {"while true do end", "local t while true do t = {} end"}) {
        LuaConfig config;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(load(config, script));
        const auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_GE(elapsed, std::chrono::milliseconds(200));
        EXPECT_LT(elapsed, std::chrono::seconds(2));
        EXPECT_NE(config.LastError().find("time limit exceeded (0.2 s)"), std::string::npos)
            << config.LastError();
    }
}

} // namespace
