#include "FXTypeRegistry.h"

#include "FXFile.h"
#include "FXStyle.h"
#include "FXTypeFactory.h"
#include "diag/Diag.h"

#include <unordered_set>

namespace {

// Names are looked up through a 1024-character buffer: at most 1023 characters count,
// compared in lower case.
std::string RegistryKey(const char* name) {
    std::string key = FXLowerCase(name);
    if (key.size() > 1023)
        key.resize(1023);
    return key;
}

// Types prepared during the outermost Prepare call still running, so that a type is
// prepared once per pass and reference cycles end.
struct PreparePass {
    int depth = 0;
    std::unordered_set<const FXType*> prepared;
};

PreparePass& CurrentPreparePass() {
    static PreparePass pass;
    return pass;
}

} // namespace

void FXTypeRegistry::Add(std::shared_ptr<FXType> type) {
    if (!type)
        return;
    std::string key = RegistryKey(type->GetName().c_str());
    if (m_types.contains(key)) {
        dbTracefAux("FXManager::TypeAdd: FX-Type already in list!!");
        return;
    }
    m_types.emplace(std::move(key), std::move(type));
}

FXType* FXTypeRegistry::Lookup(const char* name) const {
    const auto found = m_types.find(RegistryKey(name));
    return found == m_types.end() ? nullptr : found->second.get();
}

FXType* FXTypeRegistry::Find(const char* name) {
    if (!name || !*name)
        return nullptr;
    if (FXType* registered = Lookup(name))
        return registered;
    std::shared_ptr<FXType> type = Load(name);
    if (!type) {
        type = Load("badfx");
        if (!type)
            return nullptr;
        type->SetName(name);
    }
    Add(std::move(type));
    return Lookup(name);
}

bool FXTypeRegistry::Prepare(const char* name) {
    FXType* type = Find(name);
    if (!type)
        return false;
    PreparePass& pass = CurrentPreparePass();
    if (!pass.prepared.insert(type).second)
        return true; // already prepared in this pass, or being prepared up the chain
    ++pass.depth;
    const bool result = type->Prepare();
    if (--pass.depth == 0)
        pass.prepared.clear();
    return result;
}

std::shared_ptr<FXType> FXTypeRegistry::Load(const char* name) {
    int style = kStyleNone;
    FXPropertyList properties;
    if (!FXReadTypeFile(name, style, properties))
        return nullptr;
    std::shared_ptr<FXType> type = FXBuildType(style, name, properties);
    if (!type)
        DB_FATAL("FXManager", 2384, "Invalid fx type '%s'", name);
    return type;
}

bool FXTypeRegistry::Save(const FXType& type, bool durable, std::string* reason) {
    FXPropertyList properties;
    type.GetProperties(properties);
    return FXWriteTypeFile(type.GetName().c_str(), type.GetStyle(), properties, reason, durable);
}

void FXTypeRegistry::ReleaseAll() {
    for (auto& [name, type] : m_types)
        type->Release();
}
