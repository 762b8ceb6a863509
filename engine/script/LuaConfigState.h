#pragma once

// The private state of a LuaConfig, shared by its reading (LuaConfig.cpp) and its saving
// (LuaConfigSave.cpp). Nothing outside those two files includes this.

#include "script/LuaConfig.h"
#include "script/LuaSandbox.h"
#include "stream/AtomicFileWriter.h"

#include <lua.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Stack slot of the table that keeps every table with created keys alive (see State).
constexpr int kPinnedSlot = 1;

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
    AtomicFileWriter file; // open between StartSave and EndSave
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
