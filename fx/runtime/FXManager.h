#pragma once

// The single object through which the program reaches FX types and live instances: the
// registry of types (FXTypeRegistry, reached through the Type operations), the live
// instances with their update and render passes, the dynamics presets, the runtime
// settings and the statistics block.

#include "definitions/FXTypeRegistry.h"
#include "math/Math.h"
#include "runtime/FXHandle.h"
#include "runtime/FXMemory.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class FXCamera;
class FXDynamics;
class FXObject;
struct FXFrustum;

// Counters of the statistics block, zeroed by ResetStats.
inline constexpr int kFXStatCount = 12;
using FXStats = std::array<uint32_t, kFXStatCount>;

// Positions of the counters in FXStats.
enum FXStat : int {
    FX_STAT_TYPES = 0,
    FX_STAT_TYPES_PEAK = 1,
    FX_STAT_LIVE = 2,
    FX_STAT_LIVE_PEAK = 3,
    FX_STAT_UPDATED = 4,
    FX_STAT_UPDATED_PEAK = 5,
    FX_STAT_RENDERED = 6,
    FX_STAT_RENDERED_PEAK = 7,
    FX_STAT_FINISHED = 8,
    FX_STAT_FINISHED_PEAK = 9,
    FX_STAT_CULLED_BY_SIZE = 10,
    FX_STAT_BINDS = 11,
};

// Flags of an instance's active record.
enum FXRecordFlag : uint8_t {
    FX_RECORD_FINISHED = 1,   // waiting to be destroyed (after its children)
    FX_RECORD_UPDATE_NOW = 2, // update at the next step regardless of visibility
    FX_RECORD_DRAWN = 4,      // takes part in drawing
    FX_RECORD_VISIBLE = 8,    // visible in the last visibility pass
    FX_RECORD_SIZE_FADE = 16, // fades with its projected size
    FX_RECORD_NOT_RENDERABLE = 32,
    FX_RECORD_INHERITED = 64, // given at creation, copied by attached children
};

// One live instance as the update and render passes see it. The table of records is
// contiguous; removal moves the last record into the hole.
struct FXRecord {
    uint32_t block = 0;   // the instance's block; FXManager::HandleOf gives its handle
    float pending = 0.0f; // seconds accumulated but not yet given to the instance
    Vector3 position;     // translation after the last update
    float radius = 0.0f;  // bounding radius after the last update
    float fade = 0.0f;    // the fade it draws with in the drawing pass
    uint8_t flags = 0;    // FXRecordFlag bits
    // Where the instance's dynamics clone lives in its block, in 8-byte words from the
    // block's start; 0 when it has none.
    uint8_t dynamicsWords = 0;
    uint16_t typeSlot = 0; // the manager's number for the instance's type
};

// The view state of the drawing pass in progress, read by the styles while they draw.
struct FXViewState {
    Matrix4 view;
    Matrix4 projection;
    Vector3 eyePosition;
    Vector3 forward;
};

class FXManager {
public:
    // Creates the manager (empty registries, default settings) and registers the dynamics
    // presets. Always true; a second call keeps the running manager.
    static bool Startup();
    // Destroys the manager (first destroying every instance and type); always true.
    static bool Shutdown();
    // The manager, or null before Startup and after Shutdown.
    static FXManager* Instance() { return s_instance; }

    // --- worlds -----------------------------------------------------------------------
    // A further manager, independent of the one Startup made: its own registry,
    // instances, settings and statistics, with the dynamics presets registered. It is not
    // current when made. Everything that reaches the runtime through Instance() (the
    // styles, the preview, the review jobs) works in the current manager, so a program can
    // run two versions of an effect side by side by switching. The random generator,
    // gravity and wind stay global: a program that wants each world to repeat exactly
    // keeps a random state per world (RandomState). Owned by the caller.
    static FXManager* CreateWorld();
    // Destroys a manager made by CreateWorld, its instances and types (made current while
    // they go, then the previous manager is current again). Null is ignored.
    static void DestroyWorld(FXManager* world);
    // Makes manager (null allowed) the one Instance() answers and returns the previous
    // one. Shutdown destroys the current manager: switch back before it.
    static FXManager* MakeCurrent(FXManager* manager);

    // --- types ------------------------------------------------------------------------
    // Registers a type under its name; a name already present is traced and ignored
    // (the registry keeps the first type).
    void TypeAdd(std::shared_ptr<FXType> type) { m_types.Add(std::move(type)); }
    // The registered type of a name (case-insensitive), loading it on first use. A type
    // whose file cannot be read is replaced by the "badfx" type under the requested
    // name; null when even that cannot be had, or for an empty name.
    FXType* TypeFind(const char* name) { return m_types.Find(name); }
    // Finds the type and runs its Prepare; false when the type cannot be had.
    bool TypePrepare(const char* name) { return m_types.Prepare(name); }
    // The factory: reads the type's file and builds the type of its style with its
    // defaults overridden by the file's values (unknown names, wrong kinds and refused
    // values keep the default). Null when the file cannot be read.
    std::shared_ptr<FXType> TypeLoad(const char* name) { return FXTypeRegistry::Load(name); }
    // Writes the type's file under its stored name.
    bool TypeSave(const FXType& type) { return FXTypeRegistry::Save(type); }
    // Calls Release on every registered type.
    void TypeReleaseAll() { m_types.ReleaseAll(); }
    // Destroys every live instance, then empties the type registry.
    void Reset();
    // The registered type of a name without loading, or null.
    FXType* TypeLookup(const char* name) const { return m_types.Lookup(name); }
    size_t TypeCount() const { return m_types.Count(); }

    // --- instances --------------------------------------------------------------------
    // A top-level instance of a type (no parent, no delay, inherited flag 0) with its own
    // clone of preset (may be null). The null handle when the type cannot be had, for
    // light-style types while the light level is negative, and past the instance
    // ceiling.
    FXHandle Create(const char* name, const FXDynamics* preset, uintptr_t argument = 0);
    // A child of parent, advanced by delay seconds at its first update, inheriting the
    // parent's inherited flag. The null handle also when the parent does not validate.
    FXHandle CreateAttached(const char* name, const FXDynamics* preset, const FXHandle& parent,
                            float delay);
    // Destroys the instance at once, its children first.
    void Destroy(FXHandle handle);
    // Makes the instance and, depth first, its children finish by themselves.
    void Stop(const FXHandle& handle);
    void SetVisible(const FXHandle& handle, bool visible);
    void SetTransform(const FXHandle& handle, const Matrix4& transform);
    void SetVelocity(const FXHandle& handle, const Vector3& velocity);
    void SetScale(const FXHandle& handle, float scale);
    void SetLength(const FXHandle& handle, float length);
    bool SetParamFade(const FXHandle& handle, float fade);
    bool GetTransform(const FXHandle& handle, Matrix4& out) const;
    float GetGravwellStrength(const FXHandle& handle) const;
    // The instance's parameter vector, multiplied by its length; false when it has none.
    bool GetParamVector(const FXHandle& handle, Vector3& out) const;
    // The instance of a live handle, or null.
    FXObject* Resolve(const FXHandle& handle) const;
    // The dynamics clone the instance of a live handle moves with, or null.
    FXDynamics* DynamicsOf(const FXHandle& handle) const;
    bool IsAlive(const FXHandle& handle) const { return m_memory->Validate(handle); }
    size_t LiveCount() const { return m_records.size(); }
    const std::vector<FXRecord>& Records() const { return m_records; }
    // The handle of the instance of a record of Records().
    FXHandle HandleOf(const FXRecord& record) const { return m_memory->HandleOf(record.block); }
    // The handles of the instance's children, in creation order.
    std::vector<FXHandle> Children(const FXHandle& handle) const;

    // Advances every instance by dt seconds in steps of at most 0.1 s (dt is first cut
    // to the maximum update step); off-screen instances are updated less often.
    void Update(float dt);
    // Culls against the frustum, fades small instances, sorts and draws the visible ones
    // through their types' batches. camera gives the projected-size measure and the
    // view state.
    void Render(const FXFrustum& frustum, const FXCamera& camera);
    const FXViewState& ViewState() const { return m_viewState; }
    // Counts a texture or state bind made while drawing (statistics counter 12).
    void CountBind() { ++m_binds; }
    // Primitives the render device drew during the last Render.
    uint64_t GetLastPrimitiveCount() const { return m_lastPrimitives; }

    // The most instances alive at once (default 65536). Past it creation answers the
    // null handle and traces once, so an effect that multiplies without end cannot
    // exhaust memory or stall the program.
    void SetInstanceCeiling(size_t ceiling) { m_instanceCeiling = ceiling; }
    size_t GetInstanceCeiling() const { return m_instanceCeiling; }
    // True when no further instance can be created.
    bool AtInstanceCeiling() const { return m_records.size() >= m_instanceCeiling; }

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
    // Only tests and tools change the point-fade distances; the editor never does.
    void SetPointFadeDistances(float nearDistance, float farDistance) {
        m_pointFadeNear = nearDistance;
        m_pointFadeFar = farDistance;
    }
    int32_t GetLightLevel() const { return m_lightLevel; }
    // Only tests and tools change the light level; the editor never does.
    void SetLightLevel(int32_t level) { m_lightLevel = level; }
    uint8_t GetBit6Only() const { return m_bit6Only; }

    // --- statistics -------------------------------------------------------------------
    void ResetStats() { m_stats.fill(0); }
    // Refreshes the type counters, then copies the block out.
    void GetStats(FXStats& out);

private:
    FXManager();
    ~FXManager();
    FXManager(const FXManager&) = delete;
    FXManager& operator=(const FXManager&) = delete;

    static FXManager* s_instance;

    struct InstanceHeader;
    // One instance in a pass over the live instances: its block and serial (its handle)
    // and the slot of its type. The update and drawing passes never overlap, so they share
    // one table of these.
    struct PassEntry {
        uint32_t block;
        uint16_t serial;
        uint16_t typeSlot;

        FXHandle Handle() const {
            return {block, static_cast<uint32_t>(serial) << 16 | kFXCheckLive};
        }
    };
    static constexpr uint16_t kNoTypeSlot = 0xFFFF; // past the last slot: ask the instance

    FXHandle CreateInstance(const char* name, const FXDynamics* preset, const FXHandle& parent,
                            uintptr_t argument, float delay, bool inherited);
    InstanceHeader* Header(const FXHandle& handle) const;
    // The header of a block in use (a record's or a child link's), without a check.
    InstanceHeader& HeaderAt(uint32_t block) const;
    // Destroys every child of the instance, depth first.
    void DestroyChildren(InstanceHeader& header);
    void LinkChild(InstanceHeader& parent, uint32_t parentBlock, uint32_t child);
    void UnlinkChild(InstanceHeader& parent, uint32_t child);
    // Takes a record out of the table: the last record moves into its place.
    void RemoveRecord(uint32_t index);
    void DestroyAllInstances();
    // The slot of a type in m_typeSlots, made on first use.
    uint16_t TypeSlot(FXType* type);
    // The projection the renderer currently uses, or the camera's when no device is
    // current.
    static Matrix4 CurrentProjection(const FXCamera& camera);
    // A record's instance as the passes list it.
    PassEntry EntryOf(const FXRecord& record) const {
        return {record.block, HandleOf(record).Serial(), record.typeSlot};
    }
    void RunStep(float step);
    void ProcessUpdateList();
    // Puts the draw list in drawing order: types with a sort order first, by it, then the
    // rest; types of equal order by name.
    void OrderDrawList();
    void DrawInstances(const std::vector<PassEntry>& entries);
    void SetPeak(int counter, int peak, uint32_t value);

    std::unique_ptr<FXMemory> m_memory;
    std::vector<FXRecord> m_records;
    // The update pass's instances, then the drawing pass's.
    std::vector<PassEntry> m_passList;
    std::vector<FXHandle> m_finishedList;
    // The types of live instances by slot, kept until every instance is gone.
    std::vector<FXType*> m_typeSlots;
    std::unordered_map<const FXType*, uint16_t> m_slotOfType;
    std::vector<uint32_t> m_slotRanks;  // drawing pass: the drawing rank of each slot
    std::vector<uint16_t> m_drawnSlots; // drawing pass: the slots drawn, in order
    FXViewState m_viewState;
    size_t m_instanceCeiling = 65536;
    bool m_ceilingTraced = false;
    int m_createDepth = 0; // instances being constructed, nested
    bool m_depthTraced = false;
    uint32_t m_binds = 0;
    uint64_t m_lastPrimitives = 0;

    FXTypeRegistry m_types;
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
