#include "scene/LensFlareManager.h"

#include <algorithm>

LensFlareManager* LensFlareManager::s_instance = nullptr;

bool LensFlareManager::Startup() {
    if (!s_instance)
        s_instance = new LensFlareManager;
    return true;
}

void LensFlareManager::Shutdown() {
    delete s_instance;
    s_instance = nullptr;
}

uint32_t LensFlareManager::ObjectCreate(const char* fileName, const Vector3& position,
                                        bool infinite) {
    Object object;
    object.fileName = fileName ? fileName : "";
    object.position = position;
    object.infinite = infinite;
    if (++m_lastNumber == 0) // 0 means no object
        ++m_lastNumber;
    const uint32_t number = m_lastNumber;
    m_objects.emplace(number, std::move(object));
    return number;
}

LensFlareManager::Object* LensFlareManager::Find(uint32_t number) {
    const auto found = m_objects.find(number);
    return found == m_objects.end() ? nullptr : &found->second;
}

const LensFlareManager::Object* LensFlareManager::ObjectFind(uint32_t number) const {
    const auto found = m_objects.find(number);
    return found == m_objects.end() ? nullptr : &found->second;
}

void LensFlareManager::ObjectSetPosition(uint32_t number, const Vector3& position) {
    if (Object* object = Find(number))
        object->position = position;
}

void LensFlareManager::ObjectSetFade(uint32_t number, float fade) {
    if (Object* object = Find(number))
        object->fade = fade > 0.0f ? std::min(fade, 1.0f) : 0.0f; // NaN gives 0.0
}

void LensFlareManager::ObjectSetScale(uint32_t number, float scale) {
    if (Object* object = Find(number))
        object->scale = scale < 0.0f ? 0.0f : scale;
}

void LensFlareManager::ObjectSetVisible(uint32_t number, bool visible) {
    if (Object* object = Find(number))
        object->visible = visible;
}

void LensFlareManager::ObjectDelete(uint32_t number) {
    m_objects.erase(number);
}
