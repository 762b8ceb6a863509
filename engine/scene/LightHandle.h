#pragma once

// A reference to a light of the LightManager that survives the light's removal: the
// 1-based slot of the light (0 = none) and the serial the slot had when the light was
// made. A handle of a removed light no longer reaches a record, even when its slot has
// been reused.

#include <cstdint>

class Light;

class LightHandle {
public:
    constexpr LightHandle() = default;
    constexpr LightHandle(uint32_t slot, uint32_t serial) : m_slot(slot), m_serial(serial) {}

    // The light's record while the light lives and the manager runs, else null. Valid
    // until the light is removed or the manager shuts down.
    Light* getLightPtrForModification() const;

    constexpr uint32_t slot() const { return m_slot; }
    constexpr uint32_t serial() const { return m_serial; }
    constexpr bool operator==(const LightHandle&) const = default;

private:
    uint32_t m_slot = 0;
    uint32_t m_serial = 0;
};
