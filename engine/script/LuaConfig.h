#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct lua_State;

// Kinds of a value under a key, as LuaConfig reports them.
enum LuaType {
    LUATYPE_ERROR = 0, // no current table (inside PushTable of a non-table, or no interpreter)
    LUATYPE_NIL = 1,   // no such key
    LUATYPE_NUMBER = 2,
    LUATYPE_STRING = 3,
    LUATYPE_TABLE = 4,
    LUATYPE_BOOLEAN = 5,
    LUATYPE_OTHER = 6, // functions and anything else a script may leave behind
};

// Limits under which a script runs. Scripts are untrusted: a script that breaks a limit
// fails to load like a malformed one.
struct LuaConfigLimits {
    size_t memoryBytes = 64u << 20;               // cap of the interpreter's allocations
    unsigned long long instructions = 50'000'000; // virtual-machine instructions per load
    double seconds = 1.0;                         // wall-clock time per load
    size_t stringBytes = 1u << 20; // longest string a script may build or contain (about)
};

// Reads and writes configuration scripts made of nested Lua tables.
//
// Each LuaConfig owns one fresh, sandboxed interpreter state. Reading: LoadFile runs a
// script; the getters then look keys up in the current table, which starts as the global
// table and changes with PushTable/PopTable. Writing: AddTable/Set* build tables in the
// same state, remembering the order in which keys were created; StartSave, SaveVar and
// EndSave write a global and everything below it as Lua source that LoadFile reads back
// into equal tables.
//
// Sandbox: text chunks only (no bytecode), text must be UTF-8 without NUL bytes; the base
// library without dofile, loadfile, load, require, collectgarbage, pcall, xpcall, print,
// setmetatable, getmetatable and warn; math and table; no string library (so no string
// methods), io, os, debug, package or coroutine. The libraries are opened when a script
// first reads a global it did not set. An instruction-count hook enforces the instruction
// and time limits, an allocator the memory and string limits; the table functions whose
// loops run in C (insert, remove, move, concat, unpack, sort) are charged their element
// counts as instructions. The limits apply while a script loads and runs; reading and
// writing through this class never run script code.
//
// Keys: the getters take a key as text. A key NextEntry reports for a number (integer
// keys as decimal text) finds that number key when no string key of the same text exists.
// How SaveVar lays out the tables it writes.
enum class LuaSaveLayout : uint8_t {
    Indented, // each nested table's entries on lines of their own, indented
    OneLine,  // the whole variable on one line
};

class LuaConfig {
public:
    explicit LuaConfig(const char* name = "");
    ~LuaConfig();
    LuaConfig(const LuaConfig&) = delete;
    LuaConfig& operator=(const LuaConfig&) = delete;

    // Limits of LuaConfig objects constructed afterwards.
    static void SetDefaultLimits(const LuaConfigLimits& limits);
    static LuaConfigLimits DefaultLimits();

    // --- reading -------------------------------------------------------------------
    // Runs the script at an aliased or host path (resolved through FilePath). False
    // when the file is missing, unreadable, not UTF-8 text, or the script fails or
    // breaks a limit; LastError() then says why ("path:line: message" for script errors).
    // An empty file fails too. A UTF-8 byte order mark is skipped. Loading again runs
    // the next script in the same state; either way the current table becomes the
    // global table.
    bool LoadFile(const char* path);
    // Runs a script held in memory; chunkName names it in error messages.
    bool LoadString(const char* text, size_t length, const char* chunkName = "=script");
    const std::string& LastError() const { return m_lastError; }

    LuaType GetType(const char* key);
    // Enters the table under key (callers check GetType first); PopTable leaves it.
    // Pushing a key that is not a table enters nothing but is balanced by PopTable.
    void PushTable(const char* key);
    void PopTable();
    // Iterates the current table: set key[0] = 0 before the first call. Each call
    // writes the next key (integer keys as decimal text) and its kind; false at the end.
    // Keys that cannot be named in key are skipped: the empty string, strings with a NUL
    // byte or too long for size, and keys that are neither strings nor numbers. The
    // order is the same on every run: number keys by value, then string keys with runs
    // of digits compared by value ("entry_9" before "entry_10"), otherwise byte by byte.
    // The keys are taken when the iteration starts.
    bool NextEntry(char* key, size_t size, LuaType* type);
    // Strings only (a number is not converted); false (buffer emptied) when the value
    // does not fit in size bytes with its terminating zero or contains a NUL byte.
    bool GetString(const char* key, char* buffer, size_t size);
    bool GetDouble(const char* key, double* out);
    // A table of numbers indexed 1..n (n = the table's length), in index order; false
    // (out empty) when any element of 1..n is not a number. out is emptied first.
    bool GetFloatArray(const char* key, std::vector<float>& out);
    // The same for strings.
    bool GetStringArray(const char* key, std::vector<std::string>& out);

    // --- writing -------------------------------------------------------------------
    // Store under key in the current table; ignored inside PushTable of a non-table.
    // AddTable stores a new empty table and enters it (PopTable leaves it); an array
    // becomes a table indexed from 1.
    void AddTable(const char* key);
    void SetString(const char* key, const char* value);
    void SetNumber(const char* key, double value);
    void SetNumberArray(const char* key, const double* values, size_t count);

    // Opens a temporary file beside path (aliased or host); false when it cannot be
    // created (no such folder, no permission). Nothing replaces the target until EndSave
    // succeeds; the new file keeps the old one's permissions.
    bool StartSave(const char* path);
    // Writes "name = { ... }" for the global name, keys in creation order (keys a loaded
    // script made follow, sorted: numbers, then strings in byte order, then booleans),
    // nested tables indented by indent + 1 levels of four spaces. A table holding just
    // the keys 1..n with numbers, strings or booleans is written inline: {1, 2.5, 3}.
    // Numbers are written so that a number that is exactly a float reads back as that
    // float bit for bit (0.1f as "0.1"), others as the same double; NaN and infinities
    // as (0/0), (1/0), (-1/0).
    // layout: nested tables on lines of their own, indented, or the whole variable on one
    // line. False, and the save fails, when name
    // is no identifier, the global is nil, or anything below it cannot be written
    // (functions, table keys, cycles, nesting deeper than 150 tables, which the reader
    // would refuse).
    bool SaveVar(const char* name, unsigned indent, LuaSaveLayout layout = LuaSaveLayout::Indented);
    // Writes and renames the temporary file over the target (durable: the file and the
    // rename reach the disk first; an editor's save is durable, a tool's batch need not be);
    // false (old file intact, temporary removed) when anything failed since StartSave.
    bool EndSave(bool durable = false);

private:
    // Implementation state (interpreter, limits, scopes, pending save) lives in the
    // .cpp file.
    struct State;
    std::unique_ptr<State> m_state;
    std::string m_lastError;
};
