#include "script/LuaConfig.h"

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

// Nesting a saved file may have: the interpreter's parser counts nested table
// constructors against its limit of 200 C levels (it refuses about 198).
constexpr size_t kMaxSaveDepth = 150;
// Stack slot of the table that keeps every table with created keys alive (see State).
constexpr int kPinnedSlot = 1;
std::mutex g_defaultLimitsMutex;
LuaConfigLimits g_defaultLimits;
std::atomic<bool> g_syncOnSave{false};

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

// One key of a table being saved; a string view stays valid while the table holds the key.
struct SaveKey {
    int type = LUA_TNIL;
    std::string_view text;
    lua_Integer integer = 0;
    double number = 0;
    bool isInteger = false;
    bool flag = false;
    size_t rank = 0; // 1 + position in the creation order; 0 when a script made the key

    void Push(lua_State* L) const {
        if (type == LUA_TSTRING)
            lua_pushlstring(L, text.data(), text.size());
        else if (type == LUA_TBOOLEAN)
            lua_pushboolean(L, flag);
        else if (isInteger)
            lua_pushinteger(L, integer);
        else
            lua_pushnumber(L, number);
    }
};

// Created keys in creation order, then the script's keys: numbers by value, strings in
// byte order, booleans. A strict total order, so that the output never depends on the
// interpreter's table order.
bool SavesBefore(const SaveKey& a, const SaveKey& b) {
    if ((a.rank != 0) != (b.rank != 0))
        return a.rank != 0;
    if (a.rank != 0)
        return a.rank < b.rank;
    auto group = [](const SaveKey& key) {
        return key.type == LUA_TNUMBER ? 0 : key.type == LUA_TSTRING ? 1 : 2;
    };
    if (group(a) != group(b))
        return group(a) < group(b);
    if (a.type == LUA_TSTRING)
        return a.text < b.text;
    if (a.type == LUA_TBOOLEAN)
        return !a.flag && b.flag;
    if (a.isInteger && b.isInteger)
        return a.integer < b.integer;
    const double x = a.isInteger ? static_cast<double>(a.integer) : a.number;
    const double y = b.isInteger ? static_cast<double>(b.integer) : b.number;
    if (x != y)
        return x < y;
    return a.isInteger && !b.isInteger; // equal as doubles: the integer first
}

// The key between brackets, or after a dot in messages. A float key keeps its exact
// double: it must find the same slot again.
void AppendKey(std::string& out, const SaveKey& key, bool quoteStrings) {
    if (key.type == LUA_TSTRING) {
        if (quoteStrings)
            LuaText::AppendQuoted(out, key.text);
        else
            out.append(key.text);
    } else if (key.type == LUA_TBOOLEAN) {
        out += key.flag ? "true" : "false";
    } else if (key.isInteger) {
        LuaText::AppendInteger(out, key.integer);
    } else if (std::isinf(key.number)) {
        out += key.number > 0 ? "(1/0)" : "(-1/0)";
    } else {
        LuaText::AppendExactDouble(out, key.number);
    }
}

} // namespace

// --- state ------------------------------------------------------------------------------

// Lua stack layout: slot 1 holds the pinned tables; then each scope has two slots, its
// table (false for a placeholder) and its iteration key, the global scope at 2 and 3.
struct LuaConfig::State {
    explicit State(const LuaConfigLimits& limits) : sandbox(limits), L(sandbox.state()) {}

    LuaSandbox sandbox;
    lua_State* L;

    int depth = 0; // scopes above the global one

    // NextEntry's keys per scope level, in iteration order, and the next to give.
    struct Entries {
        std::vector<std::string> keys;
        size_t next = 0;
    };
    std::vector<Entries> entries;
    int overflowDepth = 0; // scopes entered while the Lua stack was full

    // Keys the writer created, per table, in creation order. A table with an entry is
    // pinned (kept alive in the table at kPinnedSlot) so that its address is never
    // reused for another table.
    std::unordered_map<const void*, std::vector<std::string>> createdKeys;
    lua_Integer pinnedCount = 0;

    // Pending save.
    int fd = -1;
    std::string target;
    std::string temporary;
    std::string output;
    std::string saveError;             // first failure since StartSave
    std::vector<const void*> savePath; // tables being written, outermost first
    std::vector<SaveKey> saveKeys;     // keys of the tables being written, a stack

    int TableIndex() const { return 2 * depth + 2; }
    int KeyIndex() const { return 2 * depth + 3; }
    bool HasTable() const {
        return L && overflowDepth == 0 && lua_type(L, TableIndex()) == LUA_TTABLE;
    }

    void ResetScopes();
    void PushScope(bool table);
    bool PushValue(const char* key);
    void Store(const char* key);

    bool WriteValue(int index, int level, bool compact, std::string& failure);
    bool WriteTable(int index, int level, bool compact, std::string& failure);
    void RankKeys(const void* table, size_t first);
    void AbandonSave();
};

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

void LuaConfig::SetSyncOnSave(bool sync) {
    g_syncOnSave = sync;
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

// Reads elements 1..#t of the table t on top of the stack with read, which returns false
// for an element of the wrong kind.
template <typename Element, typename Read>
bool ReadArray(lua_State* L, std::vector<Element>& out, Read read) {
    const auto count = static_cast<lua_Integer>(lua_rawlen(L, -1));
    // A length is only some border of the table: reserve little, the elements prove it.
    out.reserve(static_cast<size_t>(std::min<lua_Integer>(count, 1024)));
    for (lua_Integer i = 1; i <= count; ++i) {
        lua_rawgeti(L, -1, i);
        const bool ok = read(out);
        lua_pop(L, 1);
        if (!ok) {
            out.clear();
            return false;
        }
    }
    return true;
}

} // namespace

bool LuaConfig::GetFloatArray(const char* key, std::vector<float>& out) {
    State& state = *m_state;
    lua_State* L = state.L;
    out.clear();
    if (!state.PushValue(key))
        return false;
    const bool ok = lua_type(L, -1) == LUA_TTABLE && ReadArray(L, out, [L](auto& values) {
                        if (lua_type(L, -1) != LUA_TNUMBER)
                            return false;
                        values.push_back(static_cast<float>(lua_tonumber(L, -1)));
                        return true;
                    });
    lua_pop(L, 1);
    return ok;
}

bool LuaConfig::GetStringArray(const char* key, std::vector<std::string>& out) {
    State& state = *m_state;
    lua_State* L = state.L;
    out.clear();
    if (!state.PushValue(key))
        return false;
    const bool ok = lua_type(L, -1) == LUA_TTABLE && ReadArray(L, out, [L](auto& values) {
                        if (lua_type(L, -1) != LUA_TSTRING)
                            return false;
                        size_t length = 0;
                        const char* text = lua_tolstring(L, -1, &length);
                        values.emplace_back(text, length);
                        return true;
                    });
    lua_pop(L, 1);
    return ok;
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

// --- saving -------------------------------------------------------------------------------

void LuaConfig::State::AbandonSave() {
    if (fd >= 0) {
        ::close(fd);
        ::unlink(temporary.c_str());
    }
    fd = -1;
    target.clear();
    temporary.clear();
    output.clear();
    saveError.clear();
}

bool LuaConfig::StartSave(const char* path) {
    m_lastError.clear();
    State& state = *m_state;
    state.AbandonSave();
    std::string host;
    if (!path || !FilePath::ConvertFromAlias(path, host, FilePath::kModeAbsolute)) {
        m_lastError = std::string("cannot resolve path ") + (path ? path : "(null)");
        return false;
    }
    const size_t slash = host.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : host.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? host : host.substr(slash + 1);
    if (name.empty()) {
        m_lastError = std::string("cannot save to ") + path + ": not a file name";
        return false;
    }
    // A hidden name beside the target, so that the rename stays within one file system.
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count() % 1000000;
    int error = 0;
    for (int attempt = 0; attempt < 100 && state.fd < 0; ++attempt) {
        state.temporary = folder + "." + name + ".tmp" + std::to_string(::getpid()) + "-" +
                          std::to_string(counter++) + "-" + std::to_string(stamp);
        state.fd = ::open(state.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        error = errno;
        if (state.fd < 0 && error != EEXIST)
            break;
    }
    if (state.fd < 0) {
        m_lastError =
            std::string("cannot create a file beside ") + path + ": " + std::strerror(error);
        state.temporary.clear();
        return false;
    }
    struct stat info {};
    if (::stat(host.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        ::fchmod(state.fd, info.st_mode & 07777); // the new file keeps the old one's mode
    state.target = host;
    return true;
}

bool LuaConfig::State::WriteValue(int index, int level, bool compact, std::string& failure) {
    switch (lua_type(L, index)) {
    case LUA_TNUMBER:
        if (lua_isinteger(L, index))
            LuaText::AppendInteger(output, lua_tointeger(L, index));
        else
            LuaText::AppendNumber(output, lua_tonumber(L, index));
        return true;
    case LUA_TSTRING: {
        size_t length = 0;
        const char* text = lua_tolstring(L, index, &length);
        LuaText::AppendQuoted(output, std::string_view(text, length));
        return true;
    }
    case LUA_TBOOLEAN:
        output += lua_toboolean(L, index) ? "true" : "false";
        return true;
    case LUA_TTABLE:
        return WriteTable(index, level, compact, failure);
    default:
        failure = std::string(": a ") + luaL_typename(L, index) + " value cannot be saved";
        return false;
    }
}

// Sets the rank of the string keys saveKeys[first..] that the writer created in table.
void LuaConfig::State::RankKeys(const void* table, size_t first) {
    const auto found = createdKeys.find(table);
    if (found == createdKeys.end())
        return;
    const std::vector<std::string>& created = found->second;
    auto rankOf = [&](std::string_view text) -> size_t {
        for (size_t i = 0; i < created.size(); ++i)
            if (created[i] == text)
                return i + 1;
        return 0;
    };
    if (created.size() <= 16) {
        for (size_t i = first; i < saveKeys.size(); ++i)
            if (saveKeys[i].type == LUA_TSTRING)
                saveKeys[i].rank = rankOf(saveKeys[i].text);
        return;
    }
    std::unordered_map<std::string_view, size_t> ranks;
    for (size_t i = created.size(); i-- > 0;) // the first creation of a key wins
        ranks[created[i]] = i + 1;
    for (size_t i = first; i < saveKeys.size(); ++i) {
        if (saveKeys[i].type != LUA_TSTRING)
            continue;
        const auto rank = ranks.find(saveKeys[i].text);
        saveKeys[i].rank = rank == ranks.end() ? 0 : rank->second;
    }
}

bool LuaConfig::State::WriteTable(int index, int level, bool compact, std::string& failure) {
    index = lua_absindex(L, index);
    const void* self = lua_topointer(L, index);
    if (std::find(savePath.begin(), savePath.end(), self) != savePath.end()) {
        failure = ": a table contains itself";
        return false;
    }
    if (savePath.size() >= kMaxSaveDepth || !lua_checkstack(L, 8)) {
        failure = ": tables nested too deeply";
        return false;
    }
    if (output.size() > sandbox.limits().memoryBytes) {
        failure = ": output larger than the memory limit"; // shared tables multiply it
        return false;
    }

    // This table's keys go on top of the key stack; nested tables push theirs above.
    const size_t first = saveKeys.size();
    bool scalars = true;          // every value is a number, string or boolean
    bool onlyIndices = true;      // every key is an integer >= 1
    lua_Integer largestIndex = 0; // of those integer keys
    lua_pushnil(L);
    while (lua_next(L, index)) {
        SaveKey key;
        key.type = lua_type(L, -2);
        if (key.type == LUA_TSTRING) {
            size_t length = 0;
            const char* text = lua_tolstring(L, -2, &length);
            key.text = std::string_view(text, length);
        } else if (key.type == LUA_TNUMBER) {
            key.isInteger = lua_isinteger(L, -2);
            key.integer = lua_tointeger(L, -2);
            key.number = lua_tonumber(L, -2);
        } else if (key.type == LUA_TBOOLEAN) {
            key.flag = lua_toboolean(L, -2);
        } else {
            failure = std::string(": a ") + luaL_typename(L, -2) + " key cannot be saved";
            lua_pop(L, 2);
            saveKeys.resize(first);
            return false;
        }
        const int valueType = lua_type(L, -1);
        scalars = scalars && (valueType == LUA_TNUMBER || valueType == LUA_TSTRING ||
                              valueType == LUA_TBOOLEAN);
        if (key.isInteger && key.integer >= 1)
            largestIndex = std::max(largestIndex, key.integer);
        else
            onlyIndices = false;
        saveKeys.push_back(key);
        lua_pop(L, 1);
    }
    const size_t count = saveKeys.size() - first;

    if (count == 0) {
        output += "{}";
        return true;
    }
    // Distinct integer keys >= 1, the largest equal to their count: exactly 1..n.
    if (scalars && onlyIndices && static_cast<size_t>(largestIndex) == count) {
        output += '{';
        for (lua_Integer i = 1; i <= largestIndex; ++i) {
            if (i > 1)
                output += ", ";
            lua_rawgeti(L, index, i);
            WriteValue(-1, level + 1, compact, failure);
            lua_pop(L, 1);
        }
        output += '}';
        saveKeys.resize(first);
        return true;
    }

    RankKeys(self, first);
    std::sort(saveKeys.begin() + static_cast<std::ptrdiff_t>(first), saveKeys.end(), SavesBefore);
    savePath.push_back(self);
    output += compact ? "{" : "{\n";
    bool written = true;
    for (size_t i = first; written && i < first + count; ++i) {
        const SaveKey key = saveKeys[i]; // a copy: nested tables grow saveKeys
        if (!compact)
            output.append(4 * static_cast<size_t>(level + 1), ' ');
        else if (i > first)
            output += ", ";
        if (key.type == LUA_TSTRING && LuaText::IsIdentifier(key.text)) {
            output.append(key.text);
        } else {
            output += '[';
            AppendKey(output, key, true);
            output += ']';
        }
        output += " = ";
        key.Push(L);
        lua_rawget(L, index);
        written = WriteValue(-1, level + 1, compact, failure);
        lua_pop(L, 1);
        if (!written) {
            // Messages name the keys from the variable down: ".properties.x: ...".
            std::string path = ".";
            AppendKey(path, key, false);
            failure.insert(0, path);
        } else if (!compact) {
            output += ",\n";
        }
    }
    if (!compact)
        output.append(4 * static_cast<size_t>(level), ' ');
    output += '}';
    savePath.pop_back();
    saveKeys.resize(first);
    return written;
}

bool LuaConfig::SaveVar(const char* name, unsigned indent, LuaSaveLayout layout) {
    State& state = *m_state;
    if (state.fd < 0) {
        m_lastError = "SaveVar without StartSave";
        return false;
    }
    std::string failure;
    if (!state.L) {
        failure = ": no script interpreter";
    } else if (!name || !LuaText::IsIdentifier(name)) {
        failure = ": not a global name";
    } else {
        lua_State* L = state.L;
        const size_t before = state.output.size();
        const int level = static_cast<int>(std::min(indent, 64u));
        lua_pushglobaltable(L);
        lua_pushstring(L, name);
        if (lua_rawget(L, -2) == LUA_TNIL) {
            failure = ": no such global";
        } else {
            state.output.append(4 * static_cast<size_t>(level), ' ');
            state.output += name;
            state.output += " = ";
            state.savePath.clear();
            state.saveKeys.clear();
            if (state.WriteValue(-1, level, layout == LuaSaveLayout::OneLine, failure))
                state.output += '\n';
            else
                state.output.resize(before);
        }
        lua_pop(L, 2);
    }
    if (failure.empty())
        return true;
    m_lastError = std::string("cannot save ") + (name ? name : "(null)") + failure;
    if (state.saveError.empty())
        state.saveError = m_lastError;
    return false;
}

bool LuaConfig::EndSave() {
    State& state = *m_state;
    if (state.fd < 0) {
        m_lastError = "EndSave without StartSave";
        return false;
    }
    std::string failure = state.saveError;
    const char* data = state.output.data();
    size_t left = failure.empty() ? state.output.size() : 0;
    while (left > 0) {
        const ssize_t count = ::write(state.fd, data, left);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            failure = std::string("cannot write: ") + std::strerror(count < 0 ? errno : EIO);
            break;
        }
        data += count;
        left -= static_cast<size_t>(count);
    }
    if (failure.empty() && g_syncOnSave && ::fsync(state.fd) != 0)
        failure = std::string("cannot flush: ") + std::strerror(errno);
    if (::close(state.fd) != 0 && failure.empty())
        failure = std::string("cannot close: ") + std::strerror(errno);
    state.fd = -1;
    if (failure.empty() && ::rename(state.temporary.c_str(), state.target.c_str()) != 0)
        failure = std::string("cannot replace the file: ") + std::strerror(errno);
    if (!failure.empty()) {
        ::unlink(state.temporary.c_str());
        m_lastError = state.target + " not saved: " + failure;
    }
    state.AbandonSave();
    return failure.empty();
}
