#include "FXUnreadEntries.h"

#include "FXFile.h"
#include "FXVariable.h"
#include "script/LuaConfig.h"

namespace {

constexpr size_t kKeyBufferSize = 1024;
constexpr size_t kNameBufferSize = 256;

bool IsEntryTableKind(VarType kind) {
    return kind == VARTYPE_ARRAY_VECTOR3 || kind == VARTYPE_ARRAY_COLOUR ||
           kind == VARTYPE_ARRAY_TIMEVECTOR3 || kind == VARTYPE_ARRAY_TIMECOLOUR;
}

// Compares the keys of the current table (a property's value) with what reading takes.
FXUnreadEntries CheckValue(LuaConfig& config, const char* property) {
    FXUnreadEntries entries;
    entries.property = property;
    while (config.GetType(FXNumberedKey("entry_", entries.read).c_str()) != LUATYPE_NIL)
        ++entries.read;
    char key[kKeyBufferSize] = {0};
    LuaType type = LUATYPE_NIL;
    while (config.NextEntry(key, sizeof key, &type)) {
        bool taken = false;
        for (size_t i = 0; i < entries.read && !taken; ++i)
            taken = FXNumberedKey("entry_", i) == key;
        if (!taken)
            entries.unread.emplace_back(key);
    }
    return entries;
}

} // namespace

std::vector<FXUnreadEntries> FXFindUnreadEntries(const char* typeName) {
    std::vector<FXUnreadEntries> found;
    LuaConfig config("");
    if (!config.LoadFile(FXTypeFilePath(typeName).c_str()) || config.GetType("fx") != LUATYPE_TABLE)
        return found;
    config.PushTable("fx");
    if (config.GetType("properties") == LUATYPE_TABLE) {
        config.PushTable("properties");
        char key[kKeyBufferSize] = {0};
        LuaType type = LUATYPE_NIL;
        while (config.NextEntry(key, sizeof key, &type)) {
            if (type != LUATYPE_TABLE)
                continue;
            config.PushTable(key);
            char name[kNameBufferSize];
            char kindName[kNameBufferSize];
            VarType kind = VARTYPE_NONE;
            if (config.GetString("name", name, sizeof name) &&
                config.GetString("type", kindName, sizeof kindName) &&
                VarTypeFromName(kindName, kind) && IsEntryTableKind(kind) &&
                config.GetType("value") == LUATYPE_TABLE) {
                config.PushTable("value");
                FXUnreadEntries entries = CheckValue(config, name);
                config.PopTable();
                if (!entries.unread.empty())
                    found.push_back(std::move(entries));
            }
            config.PopTable();
        }
        config.PopTable();
    }
    config.PopTable();
    return found;
}
