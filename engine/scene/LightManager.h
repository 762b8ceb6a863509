#pragma once

// The scene's dynamic lights: creation, lookup by handle and removal. Bookkeeping only;
// the lights reach the picture through the renderer, which reads them from here.

#include "scene/Light.h"
#include "scene/LightHandle.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class LightManager {
public:
    // The handle that refers to no light.
    static constexpr LightHandle InvalidHandle{};

    // Creates the manager; a second call keeps the running one.
    static void Startup();
    // Destroys the manager and every light; handles made before stop reaching records.
    static void Shutdown();
    // The manager, or null before startup and after shutdown.
    static LightManager* i() { return s_instance; }

    // A new point light, on, at the origin, black, with attenuation radius 0.0. name
    // is for diagnostics only.
    LightHandle createPointLight(const char* name);
    // Ends the light; invalid and stale handles are ignored.
    void removeLight(const LightHandle& handle);

    // The record of a live light, or null.
    Light* getLight(const LightHandle& handle);
    const Light* getLight(const LightHandle& handle) const;
    // The name given at creation; the empty string for a handle that does not resolve.
    const std::string& getLightName(const LightHandle& handle) const;
    size_t getLightCount() const { return m_lightCount; }
    // The handles of the live lights, in slot order.
    std::vector<LightHandle> getLights() const;

private:
    LightManager() = default;
    ~LightManager() = default;
    LightManager(const LightManager&) = delete;
    LightManager& operator=(const LightManager&) = delete;

    struct Slot {
        Light light;
        std::string name;
        uint32_t serial = 0; // grows each time the slot is handed out
        bool used = false;
    };

    const Slot* find(const LightHandle& handle) const;

    static LightManager* s_instance;

    std::deque<Slot> m_slots; // a deque keeps records in place while it grows
    std::vector<uint32_t> m_freeSlots;
    size_t m_lightCount = 0;
};
