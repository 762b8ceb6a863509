#include "FXManager.h"

#include "FXFile.h"
#include "FXStyle.h"
#include "diag/Diag.h"
#include "pool/MemPoolSmall.h"
#include "runtime/FXDynamics.h"
#include "styles/FXTypeFactory.h"

#include <unordered_set>

FXManager* FXManager::s_instance = nullptr;

namespace {

Vector3 g_gravity{0.0f, -58.86f, 0.0f};
Vector3 g_wind{0.0f, 0.0f, 0.0f};

// Names are looked up through a 1024-character buffer: at most 1023 characters count,
// compared in lower case.
std::string RegistryKey(const char* name) {
    std::string key = FXLowerCase(name);
    if (key.size() > 1023)
        key.resize(1023);
    return key;
}

// Types prepared during the outermost TypePrepare call still running, so that a type
// is prepared once per pass and reference cycles end.
struct PreparePass {
    int depth = 0;
    std::unordered_set<const FXType*> prepared;
};

PreparePass& CurrentPreparePass() {
    static PreparePass pass;
    return pass;
}

} // namespace

Vector3* FXGetGravity() {
    return &g_gravity;
}

void FXSetGravity(const Vector3& gravity) {
    g_gravity = gravity;
}

Vector3* FXGetWind() {
    return &g_wind;
}

void FXSetWind(const Vector3& wind) {
    g_wind = wind;
}

FXManager::FXManager() : m_memory(std::make_unique<FXMemory>()), m_childPool(MakeChildPool()) {
    m_records.reserve(1024);
}

FXManager::~FXManager() {
    Reset();
}

bool FXManager::Startup() {
    if (!s_instance) {
        s_instance = new FXManager;
        FXRegisterDynamicsPresets(*s_instance);
    }
    return true;
}

bool FXManager::Shutdown() {
    delete s_instance;
    s_instance = nullptr;
    return true;
}

void FXManager::TypeAdd(std::shared_ptr<FXType> type) {
    if (!type)
        return;
    std::string key = RegistryKey(type->GetName().c_str());
    if (m_types.contains(key)) {
        dbTracefAux("FXManager::TypeAdd: FX-Type already in list!!");
        return;
    }
    m_types.emplace(std::move(key), std::move(type));
}

FXType* FXManager::TypeLookup(const char* name) const {
    const auto found = m_types.find(RegistryKey(name));
    return found == m_types.end() ? nullptr : found->second.get();
}

FXType* FXManager::TypeFind(const char* name) {
    if (!name || !*name)
        return nullptr;
    if (FXType* registered = TypeLookup(name))
        return registered;
    std::shared_ptr<FXType> type = TypeLoad(name);
    if (!type) {
        type = TypeLoad("badfx");
        if (!type)
            return nullptr;
        type->SetName(name);
    }
    TypeAdd(std::move(type));
    return TypeLookup(name);
}

bool FXManager::TypePrepare(const char* name) {
    FXType* type = TypeFind(name);
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

std::shared_ptr<FXType> FXManager::TypeLoad(const char* name) {
    int style = kStyleNone;
    FXPropertyList properties;
    if (!FXReadTypeFile(name, style, properties))
        return nullptr;
    std::shared_ptr<FXType> type = FXBuildType(style, name, properties);
    if (!type)
        DB_FATAL("FXManager", 2384, "Invalid fx type '%s'", name);
    return type;
}

bool FXManager::TypeSave(const FXType& type) {
    FXPropertyList properties;
    type.GetProperties(properties);
    return FXWriteTypeFile(type.GetName().c_str(), type.GetStyle(), properties);
}

void FXManager::TypeReleaseAll() {
    for (auto& [name, type] : m_types)
        type->Release();
}

void FXManager::Reset() {
    DestroyAllInstances();
    m_types.clear();
}

void FXManager::DynamicsRegister(int slot, std::shared_ptr<FXDynamics> dynamics) {
    m_dynamics[slot] = std::move(dynamics);
}

FXDynamics* FXManager::DynamicsFind(int slot) const {
    const auto found = m_dynamics.find(slot);
    return found == m_dynamics.end() ? nullptr : found->second.get();
}
