#include "FXChildTypes.h"

#include "runtime/FXManager.h"

#include <algorithm>
#include <vector>

namespace {

// The types whose duration is being measured, outermost first. Cycles are short, so a
// linear search is enough.
std::vector<const FXType*>& TypesBeingMeasured() {
    thread_local std::vector<const FXType*> types;
    return types;
}

} // namespace

FXType* FXFindChildType(const std::string& name) {
    FXManager* manager = FXManager::Instance();
    if (!manager || name.empty())
        return nullptr;
    return manager->TypeFind(name.c_str());
}

void FXPrepareChildType(const std::string& name) {
    FXManager* manager = FXManager::Instance();
    if (manager && !name.empty())
        manager->TypePrepare(name.c_str());
}

FXDurationGuard::FXDurationGuard(const FXType* type) : m_type(type) {
    std::vector<const FXType*>& types = TypesBeingMeasured();
    m_entered = std::find(types.begin(), types.end(), type) == types.end();
    if (m_entered)
        types.push_back(type);
}

FXDurationGuard::~FXDurationGuard() {
    if (!m_entered)
        return;
    std::vector<const FXType*>& types = TypesBeingMeasured();
    // Guards nest strictly, so this type is the last one entered.
    if (!types.empty() && types.back() == m_type)
        types.pop_back();
}
