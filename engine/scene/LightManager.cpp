#include "scene/LightManager.h"

LightManager* LightManager::s_instance = nullptr;

Light* LightHandle::getLightPtrForModification() const {
    LightManager* manager = LightManager::i();
    return manager ? manager->getLight(*this) : nullptr;
}

void LightManager::Startup() {
    if (!s_instance)
        s_instance = new LightManager;
}

void LightManager::Shutdown() {
    delete s_instance;
    s_instance = nullptr;
}

LightHandle LightManager::createPointLight(const char* name) {
    uint32_t index;
    if (!m_freeSlots.empty()) {
        index = m_freeSlots.back();
        m_freeSlots.pop_back();
    } else {
        index = static_cast<uint32_t>(m_slots.size());
        m_slots.emplace_back();
    }
    Slot& slot = m_slots[index];
    slot.light = Light{};
    slot.name = name ? name : "";
    ++slot.serial;
    slot.used = true;
    ++m_lightCount;
    return {index + 1, slot.serial};
}

void LightManager::removeLight(const LightHandle& handle) {
    const Slot* found = find(handle);
    if (!found)
        return;
    Slot& slot = m_slots[handle.slot() - 1];
    slot.used = false;
    slot.name.clear();
    m_freeSlots.push_back(handle.slot() - 1);
    --m_lightCount;
}

const LightManager::Slot* LightManager::find(const LightHandle& handle) const {
    if (handle.slot() == 0 || handle.slot() > m_slots.size())
        return nullptr;
    const Slot& slot = m_slots[handle.slot() - 1];
    return slot.used && slot.serial == handle.serial() ? &slot : nullptr;
}

Light* LightManager::getLight(const LightHandle& handle) {
    return find(handle) ? &m_slots[handle.slot() - 1].light : nullptr;
}

const Light* LightManager::getLight(const LightHandle& handle) const {
    const Slot* slot = find(handle);
    return slot ? &slot->light : nullptr;
}

const std::string& LightManager::getLightName(const LightHandle& handle) const {
    static const std::string kNone;
    const Slot* slot = find(handle);
    return slot ? slot->name : kNone;
}

std::vector<LightHandle> LightManager::getLights() const {
    std::vector<LightHandle> lights;
    lights.reserve(m_lightCount);
    for (size_t index = 0; index < m_slots.size(); ++index)
        if (m_slots[index].used)
            lights.emplace_back(static_cast<uint32_t>(index + 1), m_slots[index].serial);
    return lights;
}
