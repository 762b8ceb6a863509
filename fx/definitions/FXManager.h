#pragma once

// The single object through which the program reaches FX types (and, with the live
// runtime, instances): the registry of types keyed by lower-case name, the factory that
// turns an FX file into a typed object, the dynamics presets, the runtime settings and
// the statistics block.

#include "FXType.h"
#include "math/Math.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

class FXDynamics;

// Counters of the statistics block, zeroed by ResetStats.
inline constexpr int kFXStatCount = 12;
using FXStats = std::array<uint32_t, kFXStatCount>;

class FXManager {
public:
    // Creates the manager (empty registries, default settings) and registers the dynamics
    // presets. Always true; a second call keeps the running manager.
    static bool Startup();
    // Destroys the manager (first destroying every instance and type); always true.
    static bool Shutdown();
    // The manager, or null before Startup and after Shutdown.
    static FXManager* Instance() { return s_instance; }

    // --- types ------------------------------------------------------------------------
    // Registers a type under its name; a name already present is traced and ignored
    // (the registry keeps the first type).
    void TypeAdd(std::shared_ptr<FXType> type);
    // The registered type of a name (case-insensitive), loading it on first use. A type
    // whose file cannot be read is replaced by the "badfx" type under the requested
    // name; null when even that cannot be had, or for an empty name.
    FXType* TypeFind(const char* name);
    // Finds the type and runs its Prepare; false when the type cannot be had.
    bool TypePrepare(const char* name);
    // The factory: reads the type's file and builds the type of its style with its
    // defaults overridden by the file's values (unknown names, wrong kinds and refused
    // values keep the default). Null when the file cannot be read.
    std::shared_ptr<FXType> TypeLoad(const char* name);
    // Writes the type's file under its stored name.
    bool TypeSave(const FXType& type);
    // Calls Release on every registered type.
    void TypeReleaseAll();
    // Destroys every live instance, then empties the type registry.
    void Reset();
    // The registered type of a name without loading, or null.
    FXType* TypeLookup(const char* name) const;
    size_t TypeCount() const { return m_types.size(); }

    // --- dynamics presets -------------------------------------------------------------
    // Stores a preset under slot, replacing an earlier one.
    void DynamicsRegister(int slot, std::shared_ptr<FXDynamics> dynamics);
    // The preset of a slot, or null.
    FXDynamics* DynamicsFind(int slot) const;

    // --- settings ---------------------------------------------------------------------
    float GetMaxUpdateStep() const { return m_maxUpdateStep; }
    void SetMaxUpdateStep(float seconds) { m_maxUpdateStep = seconds; }
    float GetFieldOfView() const { return m_fieldOfView; }
    float GetPointFadeNear() const { return m_pointFadeNear; }
    float GetPointFadeFar() const { return m_pointFadeFar; }
    int32_t GetLightLevel() const { return m_lightLevel; }
    // Only tests and tools change the light level; the editor never does.
    void SetLightLevel(int32_t level) { m_lightLevel = level; }
    uint8_t GetBit6Only() const { return m_bit6Only; }

    // --- statistics -------------------------------------------------------------------
    void ResetStats() { m_stats.fill(0); }
    void GetStats(FXStats& out) const { out = m_stats; }
    FXStats& Stats() { return m_stats; }

private:
    FXManager();
    ~FXManager();
    FXManager(const FXManager&) = delete;
    FXManager& operator=(const FXManager&) = delete;

    static FXManager* s_instance;

    std::unordered_map<std::string, std::shared_ptr<FXType>> m_types;
    std::unordered_map<int, std::shared_ptr<FXDynamics>> m_dynamics;
    float m_maxUpdateStep = 1.0f;
    float m_fieldOfView = 70.0f;
    float m_pointFadeNear = 3.4028235e38f;
    float m_pointFadeFar = 3.4028235e38f;
    int32_t m_lightLevel = -1;
    uint8_t m_bit6Only = 0;
    FXStats m_stats{};
};

// Global settings read by the dynamics every step. The getters give the live vector.
Vector3* FXGetGravity();
void FXSetGravity(const Vector3& gravity);
Vector3* FXGetWind();
void FXSetWind(const Vector3& wind);
