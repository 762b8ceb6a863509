// LuaConfig: the interpreter's state, reading and building values. Saving is in
// LuaConfigSave.cpp.
#include "script/LuaConfig.h"

#include "script/LuaConfigState.h"
#include "script/LuaSandbox.h"
#include "script/LuaText.h"
#include "stream/FilePath.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <lua.hpp>
#include <mutex>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace {

std::mutex g_defaultLimitsMutex;
LuaConfigLimits g_defaultLimits;

LuaType TypeOf(int luaType) {
    switch (luaType) {
    case LUA_TNIL:
        return LUATYPE_NIL;
    case LUA_TNUMBER:
        return LUATYPE_NUMBER;
    case LUA_TSTRING:
        return LUATYPE_STRING;
    case LUA_TTABLE:
        return LUATYPE_TABLE;
    case LUA_TBOOLEAN:
        return LUATYPE_BOOLEAN;
    default:
        return LUATYPE_OTHER;
    }
}

// Text of the number key at index as NextEntry reports it; false when it does not fit.
bool NumberKeyText(lua_State* L, int index, char* buffer, size_t size) {
    char text[64];
    const auto end = lua_isinteger(L, index)
                         ? std::to_chars(text, text + sizeof text, lua_tointeger(L, index)).ptr
                         : std::to_chars(text, text + sizeof text, lua_tonumber(L, index)).ptr;
    const auto length = static_cast<size_t>(end - text);
    if (length + 1 > size)
        return false;
    std::memcpy(buffer, text, length);
    buffer[length] = 0;
    return true;
}

// Pushes the number whose key text (as NumberKeyText writes it) is key; false, nothing
// pushed, for any other text.
bool PushNumberKey(lua_State* L, const char* key) {
    const char first = key[0];
    if (!((first >= '0' && first <= '9') || first == '-' || first == 'i'))
        return false;
    const std::string_view text(key);
    char canonical[64];
    lua_Integer integer = 0;
    auto parsed = std::from_chars(text.data(), text.data() + text.size(), integer);
    if (parsed.ec == std::errc() && parsed.ptr == text.data() + text.size()) {
        const auto end = std::to_chars(canonical, canonical + sizeof canonical, integer).ptr;
        if (std::string_view(canonical, static_cast<size_t>(end - canonical)) != text)
            return false; // "007", "-0"
        lua_pushinteger(L, integer);
        return true;
    }
    double number = 0;
    parsed = std::from_chars(text.data(), text.data() + text.size(), number);
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size() || std::isnan(number))
        return false;
    const auto end = std::to_chars(canonical, canonical + sizeof canonical, number).ptr;
    if (std::string_view(canonical, static_cast<size_t>(end - canonical)) != text)
        return false;
    lua_pushnumber(L, number);
    return true;
}

} // namespace

void LuaConfig::State::ResetScopes() {
    lua_settop(L, kPinnedSlot);
    lua_pushglobaltable(L);
    lua_pushnil(L);
    depth = 0;
    overflowDepth = 0;
}

// Enters a scope: the table on top of the stack when table is true, else a placeholder.
void LuaConfig::State::PushScope(bool table) {
    if (overflowDepth > 0 || !lua_checkstack(L, 8)) {
        if (table)
            lua_pop(L, 1);
        ++overflowDepth;
        return;
    }
    if (!table)
        lua_pushboolean(L, 0);
    lua_pushnil(L);
    ++depth;
}

// Pushes the value under key in the current table (nil when absent); false, nothing
// pushed, when there is no current table.
bool LuaConfig::State::PushValue(const char* key) {
    if (!HasTable() || !key)
        return false;
    lua_pushstring(L, key);
    if (lua_rawget(L, TableIndex()) == LUA_TNIL && PushNumberKey(L, key)) {
        lua_remove(L, -2);
        lua_rawget(L, TableIndex());
    }
    return true;
}

// Stores the value on top of the stack under key in the current table and pops it.
void LuaConfig::State::Store(const char* key) {
    const int table = TableIndex();
    lua_pushstring(L, key);
    lua_pushvalue(L, -1);
    if (lua_rawget(L, table) == LUA_TNIL) {
        auto [entry, added] = createdKeys.try_emplace(lua_topointer(L, table));
        if (added) {
            lua_pushvalue(L, table);
            lua_rawseti(L, kPinnedSlot, ++pinnedCount);
        }
        entry->second.emplace_back(key);
    }
    lua_pop(L, 1);
    lua_insert(L, -2);
    lua_rawset(L, table);
}

// --- construction ------------------------------------------------------------------------

LuaConfig::LuaConfig(const char*) : m_state(std::make_unique<State>(DefaultLimits())) {
    State& state = *m_state;
    if (!state.L) {
        m_lastError = "cannot create the script interpreter (out of memory)";
        return;
    }
    lua_newtable(state.L); // at kPinnedSlot
    state.ResetScopes();
}

LuaConfig::~LuaConfig() {
    m_state->AbandonSave();
}

void LuaConfig::SetDefaultLimits(const LuaConfigLimits& limits) {
    std::lock_guard lock(g_defaultLimitsMutex);
    g_defaultLimits = limits;
}

LuaConfigLimits LuaConfig::DefaultLimits() {
    std::lock_guard lock(g_defaultLimitsMutex);
    return g_defaultLimits;
}

// --- reading ------------------------------------------------------------------------------

bool LuaConfig::LoadFile(const char* path) {
    m_lastError.clear();
    State& state = *m_state;
    if (state.L)
        state.ResetScopes();
    std::string host;
    if (!path || !FilePath::ConvertFromAlias(path, host, FilePath::kModeRelative)) {
        m_lastError = std::string("cannot resolve path ") + (path ? path : "(null)");
        return false;
    }
    // Non-blocking: opening a FIFO must not wait for a writer (it is refused below).
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        m_lastError = std::string("cannot open ") + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    std::string failure;
    std::string text;
    if (::fstat(fd, &info) != 0)
        failure = std::strerror(errno);
    else if (!S_ISREG(info.st_mode))
        failure = "not a file";
    else if (static_cast<unsigned long long>(info.st_size) > state.sandbox.limits().memoryBytes)
        failure = "file larger than the memory limit";
    if (failure.empty()) {
        // One read for the whole file; the loop only continues short reads.
        text.resize(static_cast<size_t>(info.st_size));
        size_t done = 0;
        while (done < text.size()) {
            const ssize_t count = ::read(fd, text.data() + done, text.size() - done);
            if (count > 0) {
                done += static_cast<size_t>(count);
            } else if (count == 0) {
                text.resize(done); // the file shrank meanwhile
            } else if (errno != EINTR) {
                failure = std::strerror(errno);
                break;
            }
        }
    }
    ::close(fd);
    if (!failure.empty()) {
        m_lastError = std::string("cannot read ") + path + ": " + failure;
        return false;
    }
    size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3; // the byte order mark some editors write
    const std::string chunkName = "@" + std::string(path);
    return LoadString(text.data() + start, text.size() - start, chunkName.c_str());
}

bool LuaConfig::LoadString(const char* text, size_t length, const char* chunkName) {
    State& state = *m_state;
    if (state.L)
        state.ResetScopes();
    return state.sandbox.Run(text, length, chunkName, m_lastError);
}

LuaType LuaConfig::GetType(const char* key) {
    State& state = *m_state;
    if (!state.PushValue(key))
        return LUATYPE_ERROR;
    const LuaType type = TypeOf(lua_type(state.L, -1));
    lua_pop(state.L, 1);
    return type;
}

void LuaConfig::PushTable(const char* key) {
    State& state = *m_state;
    if (!state.L)
        return;
    if (!state.PushValue(key)) {
        state.PushScope(false);
    } else if (lua_type(state.L, -1) == LUA_TTABLE) {
        state.PushScope(true);
    } else {
        lua_pop(state.L, 1);
        state.PushScope(false);
    }
}

void LuaConfig::PopTable() {
    State& state = *m_state;
    if (state.overflowDepth > 0) {
        --state.overflowDepth;
    } else if (state.depth > 0) {
        lua_settop(state.L, state.TableIndex() - 1);
        --state.depth;
    }
}

namespace {

// Orders key texts so that numbered keys read in their numbering: runs of digits
// compare by value ("property_9" < "property_10"), everything else byte by byte.
bool NaturalLess(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            size_t endA = i, endB = j;
            while (endA < a.size() && isDigit(a[endA]))
                ++endA;
            while (endB < b.size() && isDigit(b[endB]))
                ++endB;
            size_t startA = i, startB = j;
            while (startA + 1 < endA && a[startA] == '0')
                ++startA;
            while (startB + 1 < endB && b[startB] == '0')
                ++startB;
            const std::string_view runA = a.substr(startA, endA - startA);
            const std::string_view runB = b.substr(startB, endB - startB);
            if (runA.size() != runB.size())
                return runA.size() < runB.size();
            if (runA != runB)
                return runA < runB;
            if (endA - i != endB - j)
                return endA - i < endB - j; // fewer leading zeros first
            i = endA;
            j = endB;
        } else {
            if (a[i] != b[j])
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

} // namespace

bool LuaConfig::NextEntry(char* key, size_t size, LuaType* type) {
    State& state = *m_state;
    if (!key || size == 0 || !state.HasTable())
        return false;
    lua_State* L = state.L;
    const auto level = static_cast<size_t>(state.depth);
    if (state.entries.size() <= level)
        state.entries.resize(level + 1);
    State::Entries& entries = state.entries[level];
    if (key[0] == 0) {
        // Collect the keys that can be named, numbers first by value, then strings in
        // natural order, so that iteration is the same on every run and numbered keys
        // come in their numbering.
        entries.keys.clear();
        entries.next = 0;
        std::vector<std::pair<double, std::string>> numbers;
        const int table = state.TableIndex();
        lua_pushnil(L);
        char text[64];
        while (lua_next(L, table)) {
            lua_pop(L, 1);
            if (lua_type(L, -1) == LUA_TSTRING) {
                size_t length = 0;
                const char* name = lua_tolstring(L, -1, &length);
                if (length > 0 && length < size && !std::memchr(name, 0, length))
                    entries.keys.emplace_back(name, length);
            } else if (lua_type(L, -1) == LUA_TNUMBER &&
                       NumberKeyText(L, -1, text, std::min(size, sizeof text))) {
                numbers.emplace_back(lua_tonumber(L, -1), text);
            }
        }
        std::sort(entries.keys.begin(), entries.keys.end(), NaturalLess);
        std::sort(numbers.begin(), numbers.end(),
                  [](const auto& x, const auto& y) { return x.first < y.first; });
        std::vector<std::string> ordered;
        ordered.reserve(numbers.size() + entries.keys.size());
        for (auto& number : numbers)
            ordered.push_back(std::move(number.second));
        for (auto& name : entries.keys)
            ordered.push_back(std::move(name));
        entries.keys = std::move(ordered);
    }
    if (entries.next >= entries.keys.size())
        return false;
    const std::string& name = entries.keys[entries.next++];
    std::memcpy(key, name.c_str(), name.size() + 1);
    if (type) {
        *type = LUATYPE_NIL;
        if (state.PushValue(key)) {
            *type = TypeOf(lua_type(L, -1));
            lua_pop(L, 1);
        }
    }
    return true;
}

bool LuaConfig::GetString(const char* key, char* buffer, size_t size) {
    State& state = *m_state;
    if (!buffer || size == 0)
        return false;
    buffer[0] = 0;
    if (!state.PushValue(key))
        return false;
    bool ok = false;
    if (lua_type(state.L, -1) == LUA_TSTRING) {
        size_t length = 0;
        const char* text = lua_tolstring(state.L, -1, &length);
        ok = length < size && !std::memchr(text, 0, length);
        if (ok) {
            std::memcpy(buffer, text, length);
            buffer[length] = 0;
        }
    }
    lua_pop(state.L, 1);
    return ok;
}

bool LuaConfig::GetDouble(const char* key, double* out) {
    State& state = *m_state;
    if (!out || !state.PushValue(key))
        return false;
    const bool ok = lua_type(state.L, -1) == LUA_TNUMBER;
    if (ok)
        *out = lua_tonumber(state.L, -1);
    lua_pop(state.L, 1);
    return ok;
}

namespace {

// Pops the value on top of the stack, reading elements 1..#t of it, when it is a table t,
// with read, which returns false for an element of the wrong kind; out is left empty
// unless every element is read.
template <typename Element, typename Read>
bool PopArray(lua_State* L, std::vector<Element>& out, Read read) {
    bool ok = lua_type(L, -1) == LUA_TTABLE;
    const auto count = ok ? static_cast<lua_Integer>(lua_rawlen(L, -1)) : 0;
    // A length is only some border of the table: reserve little, the elements prove it.
    out.reserve(static_cast<size_t>(std::min<lua_Integer>(count, 1024)));
    for (lua_Integer i = 1; ok && i <= count; ++i) {
        lua_rawgeti(L, -1, i);
        ok = read(out);
        lua_pop(L, 1);
    }
    if (!ok)
        out.clear();
    lua_pop(L, 1);
    return ok;
}

} // namespace

bool LuaConfig::GetFloatArray(const char* key, std::vector<float>& out) {
    lua_State* L = m_state->L;
    out.clear();
    return m_state->PushValue(key) && PopArray(L, out, [L](std::vector<float>& values) {
               if (lua_type(L, -1) != LUA_TNUMBER)
                   return false;
               values.push_back(static_cast<float>(lua_tonumber(L, -1)));
               return true;
           });
}

bool LuaConfig::GetStringArray(const char* key, std::vector<std::string>& out) {
    lua_State* L = m_state->L;
    out.clear();
    return m_state->PushValue(key) && PopArray(L, out, [L](std::vector<std::string>& values) {
               if (lua_type(L, -1) != LUA_TSTRING)
                   return false;
               size_t length = 0;
               const char* text = lua_tolstring(L, -1, &length);
               values.emplace_back(text, length);
               return true;
           });
}

// --- writing ------------------------------------------------------------------------------

void LuaConfig::AddTable(const char* key) {
    State& state = *m_state;
    if (!state.L)
        return;
    if (!state.HasTable() || !key) {
        state.PushScope(false);
        return;
    }
    lua_newtable(state.L);
    lua_pushvalue(state.L, -1);
    state.Store(key);
    state.PushScope(true);
}

void LuaConfig::SetString(const char* key, const char* value) {
    State& state = *m_state;
    if (!state.HasTable() || !key)
        return;
    lua_pushstring(state.L, value ? value : "");
    state.Store(key);
}

void LuaConfig::SetNumber(const char* key, double value) {
    State& state = *m_state;
    if (!state.HasTable() || !key)
        return;
    lua_pushnumber(state.L, value);
    state.Store(key);
}

void LuaConfig::SetNumberArray(const char* key, const double* values, size_t count) {
    State& state = *m_state;
    if (!state.HasTable() || !key)
        return;
    if (!values)
        count = 0;
    lua_createtable(state.L, static_cast<int>(std::min<size_t>(count, 1u << 24)), 0);
    for (size_t i = 0; i < count; ++i) {
        lua_pushnumber(state.L, values[i]);
        lua_rawseti(state.L, -2, static_cast<lua_Integer>(i + 1));
    }
    state.Store(key);
}
