#pragma once

// The registry of FX types: each registered type under its lower-case name, found or
// loaded from its FX file on first use. Types are built by the factory (FXNewType) with
// their style's defaults, then given the file's values.

#include "FXType.h"

#include <memory>
#include <string>
#include <unordered_map>

class FXTypeRegistry {
public:
    // Registers a type under its name; a name already present is traced and ignored (the
    // registry keeps the first type). Null is ignored.
    void Add(std::shared_ptr<FXType> type);
    // The registered type of a name (case-insensitive), loading it on first use. A type
    // whose file cannot be read is replaced by the "badfx" type under the requested name;
    // null when even that cannot be had, or for an empty name.
    FXType* Find(const char* name);
    // Finds the type and runs its Prepare, once per outermost call, so that reference
    // cycles end; false when the type cannot be had.
    bool Prepare(const char* name);
    // Reads the type's file and builds the type of its style with its defaults overridden
    // by the file's values (unknown names, wrong kinds and refused values keep the
    // default). Null when the file cannot be read. Registers nothing.
    static std::shared_ptr<FXType> Load(const char* name);
    // Writes the type's file under its stored name (durable: on the disk before it
    // answers true). reason receives why it could not.
    static bool Save(const FXType& type, bool durable = false, std::string* reason = nullptr);
    // Calls Release on every registered type.
    void ReleaseAll();
    // Forgets every type.
    void Clear() { m_types.clear(); }
    // The registered type of a name without loading, or null.
    FXType* Lookup(const char* name) const;
    size_t Count() const { return m_types.size(); }

private:
    std::unordered_map<std::string, std::shared_ptr<FXType>> m_types;
};
