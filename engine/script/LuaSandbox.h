#pragma once

#include "script/LuaConfig.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

struct lua_State;

// One interpreter state in which untrusted scripts run under LuaConfigLimits (see
// LuaConfig for what a script may use).
//
// The libraries are opened when a script first reads a global that does not exist: a file
// made only of table constructors never pays for them. The limits apply while Run runs a
// script; the owner's own use of the state through the C API is not limited.
class LuaSandbox {
public:
    explicit LuaSandbox(const LuaConfigLimits& limits);
    ~LuaSandbox();
    LuaSandbox(const LuaSandbox&) = delete;
    LuaSandbox& operator=(const LuaSandbox&) = delete;

    // Null when the state could not be created.
    lua_State* state() const { return m_state; }
    const LuaConfigLimits& limits() const { return m_limits; }

    // Runs a text chunk; chunkName as for luaL_loadbufferx ("@path" or "=name"). False
    // with error set when the text is refused, the script fails or it breaks a limit:
    // "chunk:line: message" where the interpreter knows the line, else "name: reason".
    // Leaves the Lua stack as it found it.
    bool Run(const char* text, size_t length, const char* chunkName, std::string& error);

    // The sandbox of a state made by LuaSandbox.
    static LuaSandbox& Of(lua_State* L);
    // Counts units of work (about one per virtual-machine instruction) against the
    // instruction limit and reads the clock now and then. Raises a Lua error located at
    // level (0: the running Lua function, 1: the caller of a C function) when a limit is
    // broken. For the count hook and for C functions whose loops the hook does not see.
    void Charge(lua_State* L, unsigned long long units, int level);

private:
    // Which limit the allocator last refused growth for.
    enum class Breach { None, Memory, String, Time };

    static void* Allocate(void* userData, void* block, size_t oldSize, size_t newSize);
    bool AllowGrowth(bool newString, size_t growth, size_t newSize);
    bool PastDeadline() const { return std::chrono::steady_clock::now() > m_deadline; }
    std::string Describe(int status, std::string_view name) const;

    LuaConfigLimits m_limits;
    lua_State* m_state = nullptr;
    size_t m_heapBytes = 0;
    bool m_running = false;
    Breach m_breach = Breach::None;
    size_t m_bytesSinceClockCheck = 0;
    unsigned long long m_instructions = 0;
    unsigned long long m_nextClockCheck = 0;
    std::chrono::steady_clock::time_point m_deadline;
};
