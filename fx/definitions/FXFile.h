#pragma once

// FX type files: one Lua script per type, below the FX directory, defining the global
// table "fx" with the type's style and its numbered property tables.
//
//   fx = {
//       style = "STYLE_RING",
//       properties = {
//           property_00 = { name = "Duration", type = "VARTYPE_FLOAT", value = 1 },
//           ...
//       },
//   }
//
// Reading fails at the first broken rule and discards everything read; the reason is
// reported to callers that ask for it (the registry does not, the lint and dump
// commands do).

#include "FXProperty.h"

#include <string>

class LuaConfig;

// A numbered key of a file's tables: prefix and the index in two digits or more
// ("property_00", "entry_07", "type_123").
std::string FXNumberedKey(const char* prefix, size_t index);

// The FX directory as an aliased path, "DATA:ART/FX/". One shared, writable string.
std::string& FXPathPrefix();

// The aliased path of a type's file: prefix, name, ".lua".
std::string FXTypeFilePath(const char* typeName);

// Reads the file of a type name (exactly as asked for). style is set to the style index,
// or kStyleNone on failure; properties receives (name, value) pairs in the order the
// script engine iterates them.
bool FXReadTypeFile(const char* typeName, int& style, FXPropertyList& properties,
                    std::string* reason = nullptr);

// Reads an FX file at an aliased or host path.
bool FXReadFile(const char* path, int& style, FXPropertyList& properties,
                std::string* reason = nullptr);

// Reads FX file content held in memory; chunkName names it in the reason.
bool FXReadText(const char* text, size_t length, const char* chunkName, int& style,
                FXPropertyList& properties, std::string* reason = nullptr);

// Writes a type's file: style and properties in list order. False when the file cannot
// be written; the previous file is then left as it was. durable: the file is on the disk
// when this returns true (an editor's save); a tool writing many files may skip that.
bool FXWriteTypeFile(const char* typeName, int style, const FXPropertyList& properties,
                     std::string* reason = nullptr, bool durable = false);

bool FXWriteFile(const char* path, int style, const FXPropertyList& properties,
                 std::string* reason = nullptr, bool durable = false);

// The same layout as a table inside another script (a snapshot holds one per type):
// reads the FX table under key in config's current table, with the reader's rules; the
// current table is the same afterwards.
bool FXReadTable(LuaConfig& config, const char* key, int& style, FXPropertyList& properties,
                 std::string* reason = nullptr);

// Adds the FX table under key to config's current table, as FXWriteFile writes it; the
// current table is the same afterwards.
void FXAddTable(LuaConfig& config, const char* key, int style, const FXPropertyList& properties);
