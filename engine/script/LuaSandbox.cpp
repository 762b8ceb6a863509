#include "script/LuaSandbox.h"

#include "diag/Diag.h"
#include "script/LuaText.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <lua.hpp>

// Functions the interpreter calls raise errors with lua_error, which unwinds by longjmp:
// they keep no C++ objects with destructors alive across a raise.

namespace {

using Clock = std::chrono::steady_clock;

// Instructions between two calls of the count hook. The hook also reads the clock, so this
// bounds how late a time limit is noticed (with the longest strings, a comparison costs
// about a millisecond under some locales).
constexpr int kHookInterval = 1000;
// Heap growth between two clock readings of the allocator: the parser and C functions
// run without the hook.
constexpr size_t kClockCheckBytes = 1u << 20;
// Longest script error message kept.
constexpr size_t kMaxErrorLength = 512;

std::string SecondsText(double seconds) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, seconds);
    return std::string(buffer, result.ptr) + " s";
}

void CountHook(lua_State* L, lua_Debug*) {
    LuaSandbox::Of(L).Charge(L, kHookInterval, 0);
}

int Panic(lua_State* L) {
    const char* message = lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : "?";
    DB_FATAL(__FILE__, __LINE__, "LuaSandbox: unprotected interpreter error: %s", message);
}

// Turns an error object that is not a string into a message with the place it was raised
// (the interpreter's own messages carry "chunk:line:"). Uses only the C debug interface.
int MessageHandler(lua_State* L) {
    if (lua_type(L, 1) == LUA_TSTRING)
        return 1;
    const char* kind = luaL_typename(L, 1);
    lua_Debug where;
    for (int level = 1; lua_getstack(L, level, &where); ++level) {
        if (lua_getinfo(L, "Sl", &where) && where.currentline > 0) {
            lua_pushfstring(L, "%s:%d: error object is a %s value", where.short_src,
                            where.currentline, kind);
            return 1;
        }
    }
    lua_pushfstring(L, "error object is a %s value", kind);
    return 1;
}

// --- table functions whose loops run in C, charged their element counts ----------------

unsigned long long Span(lua_Integer first, lua_Integer last) {
    if (last < first)
        return 0;
    const auto span =
        static_cast<unsigned long long>(last) - static_cast<unsigned long long>(first) + 1;
    return span == 0 ? ULLONG_MAX : span; // 0 after wrapping: the whole integer range
}

lua_Integer IntegerArgument(lua_State* L, int index, lua_Integer fallback) {
    int isNumber = 0;
    const lua_Integer value = lua_tointegerx(L, index, &isNumber);
    return isNumber ? value : fallback;
}

lua_Integer TableLength(lua_State* L, int index) {
    return lua_type(L, index) == LUA_TTABLE ? static_cast<lua_Integer>(lua_rawlen(L, index)) : 0;
}

// Runs the library function kept as upvalue 1 on the same arguments (it checks them).
int CallWrapped(lua_State* L) {
    return lua_tocfunction(L, lua_upvalueindex(1))(L);
}

int ChargedInsert(lua_State* L) {
    unsigned long long cost = 1;
    if (lua_gettop(L) == 3) // inserting below the end shifts the elements above
        cost += Span(IntegerArgument(L, 2, 1), TableLength(L, 1));
    LuaSandbox::Of(L).Charge(L, cost, 1);
    return CallWrapped(L);
}

int ChargedRemove(lua_State* L) {
    const lua_Integer length = TableLength(L, 1);
    LuaSandbox::Of(L).Charge(L, 1 + Span(IntegerArgument(L, 2, length), length), 1);
    return CallWrapped(L);
}

int ChargedMove(lua_State* L) {
    LuaSandbox::Of(L).Charge(L, 1 + Span(IntegerArgument(L, 2, 1), IntegerArgument(L, 3, 0)), 1);
    return CallWrapped(L);
}

// concat(list, sep, i, j) and unpack(list, i, j): the range defaults to 1..#list.
int ChargeRange(lua_State* L, int firstArgument) {
    const lua_Integer length = TableLength(L, 1);
    LuaSandbox::Of(L).Charge(L,
                             1 + Span(IntegerArgument(L, firstArgument, 1),
                                      IntegerArgument(L, firstArgument + 1, length)),
                             1);
    return CallWrapped(L);
}

int ChargedConcat(lua_State* L) {
    return ChargeRange(L, 3);
}

int ChargedUnpack(lua_State* L) {
    return ChargeRange(L, 2);
}

int ChargedSort(lua_State* L) {
    LuaSandbox& sandbox = LuaSandbox::Of(L);
    const auto length = static_cast<unsigned long long>(TableLength(L, 1));
    sandbox.Charge(L, 1 + length, 1);
    unsigned long long comparisons = length;
    for (auto n = length; n > 1; n >>= 1)
        comparisons += length;
    // Without a comparison function strings compare in C (strcoll), at a cost that grows
    // with their length.
    size_t longest = 0;
    if (lua_isnoneornil(L, 2)) {
        for (lua_Integer i = 1; i <= static_cast<lua_Integer>(length); ++i) {
            if (lua_rawgeti(L, 1, i) == LUA_TSTRING)
                longest = std::max(longest, static_cast<size_t>(lua_rawlen(L, -1)));
            lua_pop(L, 1);
        }
    }
    const unsigned long long perComparison = 1 + longest / 8;
    sandbox.Charge(
        L, comparisons > ULLONG_MAX / perComparison ? ULLONG_MAX : comparisons * perComparison, 1);
    return CallWrapped(L);
}

void OpenLibraries(lua_State* L) {
    luaL_requiref(L, LUA_GNAME, luaopen_base, 1);
    luaL_requiref(L, LUA_MATHLIBNAME, luaopen_math, 1);
    luaL_requiref(L, LUA_TABLIBNAME, luaopen_table, 1);
    lua_pop(L, 3);

    // Gone: file access, running other code, catching errors (a script must not catch
    // its own abort), metatables (finalizers, a string's methods), the collector, output.
    static constexpr const char* kRemoved[] = {
        "dofile", "loadfile",     "load",         "require", "collectgarbage", "pcall", "xpcall",
        "print",  "setmetatable", "getmetatable", "warn"};
    lua_pushglobaltable(L);
    for (const char* name : kRemoved) {
        lua_pushnil(L);
        lua_setfield(L, -2, name);
    }
    lua_pop(L, 1);

    struct Charged {
        const char* name;
        lua_CFunction wrapper;
    };
    static constexpr Charged kCharged[] = {{"insert", ChargedInsert}, {"remove", ChargedRemove},
                                           {"move", ChargedMove},     {"sort", ChargedSort},
                                           {"concat", ChargedConcat}, {"unpack", ChargedUnpack}};
    lua_getglobal(L, LUA_TABLIBNAME);
    for (const Charged& charged : kCharged) {
        lua_getfield(L, -1, charged.name);
        lua_pushcclosure(L, charged.wrapper, 1);
        lua_setfield(L, -2, charged.name);
    }
    lua_pop(L, 1);
}

// __index of the global table until the libraries are open: arguments (globals, key).
int OpenLibrariesOnFirstUse(lua_State* L) {
    // Globals the script set already win over the libraries' names, as if it had set them
    // after the libraries were opened.
    lua_newtable(L);
    lua_pushnil(L);
    while (lua_next(L, 1)) {
        lua_pushvalue(L, -2);
        lua_insert(L, -2);
        lua_rawset(L, 3);
    }
    OpenLibraries(L);
    lua_pushnil(L);
    while (lua_next(L, 3)) {
        lua_pushvalue(L, -2);
        lua_insert(L, -2);
        lua_rawset(L, 1);
    }
    lua_pushnil(L);
    lua_setmetatable(L, 1);
    lua_pushvalue(L, 2);
    lua_rawget(L, 1);
    return 1;
}

int PrepareState(lua_State* L) {
    lua_pushglobaltable(L);
    lua_createtable(L, 0, 1);
    lua_pushcfunction(L, OpenLibrariesOnFirstUse);
    lua_setfield(L, -2, "__index");
    lua_setmetatable(L, -2);
    return 0;
}

} // namespace

LuaSandbox::LuaSandbox(const LuaConfigLimits& limits) : m_limits(limits) {
    m_state = lua_newstate(Allocate, this);
    if (!m_state)
        return;
    lua_atpanic(m_state, Panic);
    lua_pushcfunction(m_state, PrepareState);
    if (lua_pcall(m_state, 0, 0, 0) != LUA_OK) {
        lua_close(m_state);
        m_state = nullptr;
    }
}

LuaSandbox::~LuaSandbox() {
    if (m_state)
        lua_close(m_state);
}

LuaSandbox& LuaSandbox::Of(lua_State* L) {
    void* userData = nullptr;
    lua_getallocf(L, &userData);
    return *static_cast<LuaSandbox*>(userData);
}

void* LuaSandbox::Allocate(void* userData, void* block, size_t oldSize, size_t newSize) {
    auto& sandbox = *static_cast<LuaSandbox*>(userData);
    // For a new block oldSize is the kind of object being made, not a size.
    const size_t previous = block ? oldSize : 0;
    if (newSize == 0) {
        std::free(block);
        sandbox.m_heapBytes -= previous;
        return nullptr;
    }
    if (newSize > previous && sandbox.m_running &&
        !sandbox.AllowGrowth(!block && oldSize == LUA_TSTRING, newSize - previous, newSize))
        return nullptr;
    void* resized = std::realloc(block, newSize);
    if (!resized)
        return newSize <= previous ? block : nullptr; // shrinking must not fail
    sandbox.m_heapBytes = sandbox.m_heapBytes - previous + newSize;
    return resized;
}

bool LuaSandbox::AllowGrowth(bool newString, size_t growth, size_t newSize) {
    if (m_breach == Breach::Time)
        return false; // keep refusing, also the collector's retry
    // A string object is its bytes plus a small header.
    if (newString && newSize > m_limits.stringBytes + 64) {
        m_breach = Breach::String;
        return false;
    }
    m_bytesSinceClockCheck += growth;
    const bool overCap = m_heapBytes + growth > m_limits.memoryBytes;
    if (overCap || m_bytesSinceClockCheck >= kClockCheckBytes) {
        m_bytesSinceClockCheck = 0;
        // Also read when refusing: a script that holds the heap at the cap makes every
        // allocation run a full collection.
        if (PastDeadline()) {
            m_breach = Breach::Time;
            return false;
        }
        if (overCap) {
            m_breach = Breach::Memory;
            return false;
        }
    }
    return true;
}

void LuaSandbox::Charge(lua_State* L, unsigned long long units, int level) {
    m_instructions = units > ULLONG_MAX - m_instructions ? ULLONG_MAX : m_instructions + units;
    if (m_instructions > m_limits.instructions) {
        luaL_where(L, level);
        lua_pushfstring(L, "instruction limit exceeded (%I instructions)",
                        static_cast<lua_Integer>(
                            std::min<unsigned long long>(m_limits.instructions, LUA_MAXINTEGER)));
        lua_concat(L, 2);
        lua_error(L);
    }
    if (m_instructions >= m_nextClockCheck) {
        m_nextClockCheck = m_instructions + kHookInterval;
        if (PastDeadline()) {
            char seconds[64];
            *std::to_chars(seconds, seconds + sizeof seconds - 1, m_limits.seconds).ptr = 0;
            luaL_where(L, level);
            lua_pushfstring(L, "time limit exceeded (%s s)", seconds);
            lua_concat(L, 2);
            lua_error(L);
        }
    }
}

bool LuaSandbox::Run(const char* text, size_t length, const char* chunkName, std::string& error) {
    error.clear();
    if (!chunkName)
        chunkName = "=script";
    const std::string_view name =
        chunkName[0] == '@' || chunkName[0] == '=' ? chunkName + 1 : chunkName;
    lua_State* L = m_state;
    if (!L) {
        error = std::string(name) + ": no script interpreter (out of memory)";
        return false;
    }
    if (!text)
        length = 0;
    if (length == 0) {
        error = std::string(name) + ": empty file";
        return false;
    }
    if (text[0] == LUA_SIGNATURE[0]) {
        error = std::string(name) + ": binary chunk refused (only text scripts are accepted)";
        return false;
    }
    if (const size_t bad = LuaText::FindNonText(text, length); bad < length) {
        error = std::string(name) +
                (text[bad] == 0 ? ": not text (NUL byte at offset "
                                : ": not UTF-8 text (invalid byte at offset ") +
                std::to_string(bad) + ")";
        return false;
    }

    const int top = lua_gettop(L);
    m_running = true;
    m_breach = Breach::None;
    m_bytesSinceClockCheck = 0;
    m_instructions = 0;
    m_nextClockCheck = kHookInterval;
    // At most about eleven days, so that the deadline cannot overflow the clock.
    const double seconds = m_limits.seconds >= 0 ? std::min(m_limits.seconds, 1e6) : 0;
    m_deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                    std::chrono::duration<double>(seconds));
    // The collector rests while a script runs: a state lives for about one file, and at
    // the memory cap the interpreter collects before it gives up.
    lua_gc(L, LUA_GCSTOP);
    lua_sethook(L, CountHook, LUA_MASKCOUNT, kHookInterval);
    lua_pushcfunction(L, MessageHandler);
    int status = luaL_loadbufferx(L, text, length, chunkName, "t");
    if (status == LUA_OK)
        status = lua_pcall(L, 0, 0, -2);
    lua_sethook(L, nullptr, 0, 0);
    lua_gc(L, LUA_GCRESTART);
    m_running = false;
    if (status != LUA_OK)
        error = Describe(status, name);
    lua_settop(L, top);
    return status == LUA_OK;
}

// The message of a failed run; the error object is on top of the stack.
std::string LuaSandbox::Describe(int status, std::string_view name) const {
    const std::string prefix = std::string(name) + ": ";
    if (m_breach == Breach::Time) // noticed by the allocator, which cannot locate it
        return prefix + "time limit exceeded (" + SecondsText(m_limits.seconds) + ")";
    if (status == LUA_ERRMEM) {
        switch (m_breach) {
        case Breach::String:
            return prefix + "string longer than the limit (" +
                   std::to_string(m_limits.stringBytes) + " bytes)";
        case Breach::Memory:
            return prefix + "memory limit exceeded (" + std::to_string(m_limits.memoryBytes) +
                   " bytes)";
        default:
            return prefix + "not enough memory";
        }
    }
    if (lua_type(m_state, -1) != LUA_TSTRING)
        return prefix + "script failed";
    // Errors raised outside Lua functions (the parser's C stack overflow) carry no
    // "chunk:line:"; the interpreter shortens long chunk names to "...tail".
    std::string message = lua_tostring(m_state, -1);
    if (message.compare(0, name.size(), name) != 0 && message.compare(0, 3, "...") != 0)
        message.insert(0, prefix);
    if (message.size() > kMaxErrorLength) {
        size_t cut = kMaxErrorLength;
        while (cut > 0 && (static_cast<unsigned char>(message[cut]) & 0xC0) == 0x80)
            --cut; // keep whole UTF-8 sequences
        message.resize(cut);
        message += "...";
    }
    return message;
}
