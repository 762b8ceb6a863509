// LuaConfig: saving a global as Lua source, atomically (temporary file, then rename).
#include "script/LuaConfig.h"
#include "script/LuaConfigState.h"
#include "script/LuaText.h"
#include "stream/FilePath.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Nesting a saved file may have: the interpreter's parser counts nested table
// constructors against its limit of 200 C levels (it refuses about 198).
constexpr size_t kMaxSaveDepth = 150;

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

// --- saving -------------------------------------------------------------------------------

void LuaConfig::State::AbandonSave() {
    file.Abandon();
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
    std::string error;
    if (!state.file.Open(host, error)) {
        m_lastError = error;
        return false;
    }
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
    if (!state.file.IsOpen()) {
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

bool LuaConfig::EndSave(bool durable) {
    State& state = *m_state;
    if (!state.file.IsOpen()) {
        m_lastError = "EndSave without StartSave";
        return false;
    }
    std::string failure = state.saveError;
    if (failure.empty() && state.file.Write(state.output.data(), state.output.size(), failure) &&
        state.file.Finish(failure, durable))
        state.file.Commit(failure, durable);
    if (!failure.empty())
        m_lastError = state.file.TargetPath() + " not saved: " + failure;
    state.AbandonSave();
    return failure.empty();
}
