#include "runtime/FXManager.h"

#include "definitions/FXStyle.h"
#include "diag/Diag.h"
#include "pool/MemPoolSmall.h"
#include "runtime/FXCamera.h"
#include "runtime/FXDynamics.h"
#include "runtime/FXFrustum.h"
#include "runtime/FXObject.h"
#include "scene/RenderDevice.h"

#include <algorithm>
#include <cmath>

// A node of an instance's child list, from the "FXChildren" pool.
struct FXChildNode {
    FXHandle handle;
    FXChildNode* next = nullptr;
};

// The front of every instance block; the instance object follows at
// kFXInstanceHeaderSize.
struct FXManager::InstanceHeader {
    uint32_t recordIndex = 0;
    float sortKey = 0.0f;
    FXChildNode* firstChild = nullptr;
    FXChildNode* lastChild = nullptr;

    FXObject* Object() {
        return std::launder(reinterpret_cast<FXObject*>(reinterpret_cast<std::byte*>(this) +
                                                        kFXInstanceHeaderSize));
    }
};

std::unique_ptr<MemPoolSmall> FXManager::MakeChildPool() {
    static_assert(sizeof(InstanceHeader) <= kFXInstanceHeaderSize);
    return std::make_unique<MemPoolSmall>("FXChildren", sizeof(FXChildNode));
}

FXManager* FXManager::s_instance = nullptr;

namespace {

Vector3 g_gravity{0.0f, -58.86f, 0.0f};
Vector3 g_wind{0.0f, 0.0f, 0.0f};

constexpr float kSubStep = 0.1f;
constexpr float kOffscreenInterval = 1.0f;
constexpr int kMaxCreateDepth = 32;
constexpr int kMaxSubSteps = 100000;

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

void FXManager::Reset() {
    DestroyAllInstances();
    m_types.Clear();
}

void FXManager::DynamicsRegister(int slot, std::shared_ptr<FXDynamics> dynamics) {
    m_dynamics[slot] = std::move(dynamics);
}

FXDynamics* FXManager::DynamicsFind(int slot) const {
    const auto found = m_dynamics.find(slot);
    return found == m_dynamics.end() ? nullptr : found->second.get();
}

void FXManager::SetPeak(int counter, int peak, uint32_t value) {
    m_stats[static_cast<size_t>(counter)] = value;
    uint32_t& top = m_stats[static_cast<size_t>(peak)];
    top = std::max(top, value);
}

void FXManager::GetStats(FXStats& out) {
    SetPeak(FX_STAT_TYPES, FX_STAT_TYPES_PEAK, static_cast<uint32_t>(m_types.Count()));
    out = m_stats;
}

FXManager::InstanceHeader* FXManager::Header(const FXHandle& handle) const {
    return static_cast<InstanceHeader*>(m_memory->Resolve(handle));
}

FXObject* FXManager::Resolve(const FXHandle& handle) const {
    InstanceHeader* header = Header(handle);
    return header ? header->Object() : nullptr;
}

FXHandle FXManager::Create(const char* name, const FXDynamics* preset, uintptr_t argument) {
    return CreateInstance(name, preset, kNullFXHandle, argument, 0.0f, false);
}

FXHandle FXManager::CreateAttached(const char* name, const FXDynamics* preset,
                                   const FXHandle& parent, float delay) {
    if (!m_memory->Validate(parent))
        return kNullFXHandle;
    const InstanceHeader* parentHeader = Header(parent);
    const bool inherited = (m_records[parentHeader->recordIndex].flags & FX_RECORD_INHERITED) != 0;
    return CreateInstance(name, preset, parent, 0, delay, inherited);
}

FXHandle FXManager::CreateInstance(const char* name, const FXDynamics* preset,
                                   const FXHandle& parent, uintptr_t argument, float delay,
                                   bool inherited) {
    if (delay < 0.0f)
        delay = 0.0f;
    FXType* type = TypeFind(name);
    if (!type)
        return kNullFXHandle;
    if (m_lightLevel < 0 && type->GetStyle() == STYLE_LIGHT)
        return kNullFXHandle;
    if (m_createDepth >= kMaxCreateDepth) {
        // An instance whose construction creates an instance of its own type (a combo
        // holding itself) would otherwise recurse until the stack runs out.
        if (!m_depthTraced) {
            dbTracefAux("FXManager: FX instances nested %d deep while being created; '%s' "
                        "is not created (does an effect contain itself?)",
                        kMaxCreateDepth, name);
            m_depthTraced = true;
        }
        return kNullFXHandle;
    }
    if (m_records.size() >= m_instanceCeiling) {
        if (!m_ceilingTraced) {
            dbTracefAux("FXManager: %zu live FX instances, the most allowed; '%s' and "
                        "further instances are not created",
                        m_records.size(), name);
            m_ceilingTraced = true;
        }
        return kNullFXHandle;
    }
    const FXHandle handle = m_memory->Allocate();
    if (handle.IsNull())
        return kNullFXHandle;

    FXRecord record;
    record.handle = handle;
    record.dynamics = preset ? preset->Clone() : nullptr;
    record.pending = delay;
    record.flags = FX_RECORD_UPDATE_NOW | FX_RECORD_DRAWN | FX_RECORD_VISIBLE;
    if (!type->IsRenderable())
        record.flags |= FX_RECORD_NOT_RENDERABLE;
    else if (!type->NoSizeFade())
        record.flags |= FX_RECORD_SIZE_FADE;
    if (inherited)
        record.flags |= FX_RECORD_INHERITED;
    m_records.push_back(record);

    auto* header = new (m_memory->Resolve(handle)) InstanceHeader;
    header->recordIndex = static_cast<uint32_t>(m_records.size() - 1);
    // The parent's list first: a child created by its parent's constructor is then
    // already known when the child's own constructor creates children in turn.
    if (!parent.IsNull()) {
        InstanceHeader* parentHeader = Header(parent);
        auto* node = m_childPool->New<FXChildNode>();
        node->handle = handle;
        if (parentHeader->lastChild)
            parentHeader->lastChild->next = node;
        else
            parentHeader->firstChild = node;
        parentHeader->lastChild = node;
    }
    void* objectMemory = reinterpret_cast<std::byte*>(header) + kFXInstanceHeaderSize;
    ++m_createDepth;
    FXObject* object = type->CreateInstance(objectMemory, handle, parent, argument);
    --m_createDepth;
    if (!object) {
        // A style without live instances: take back what was set up for it.
        if (!parent.IsNull())
            UnlinkChild(*Header(parent), handle);
        FXDynamicsDelete(m_records.back().dynamics);
        m_records.pop_back();
        header->~InstanceHeader();
        m_memory->Free(handle);
        return kNullFXHandle;
    }
    SetPeak(FX_STAT_LIVE, FX_STAT_LIVE_PEAK, static_cast<uint32_t>(m_records.size()));
    return handle;
}

void FXManager::UnlinkChild(InstanceHeader& parent, const FXHandle& child) {
    FXChildNode* previous = nullptr;
    for (FXChildNode* node = parent.firstChild; node; previous = node, node = node->next) {
        if (node->handle == child) {
            (previous ? previous->next : parent.firstChild) = node->next;
            if (parent.lastChild == node)
                parent.lastChild = previous;
            m_childPool->Delete(node);
            return;
        }
    }
}

void FXManager::Destroy(FXHandle handle) {
    // By value: the caller's handle may live in a child node this call releases.
    InstanceHeader* header = Header(handle);
    if (!header)
        return;
    while (FXChildNode* child = header->firstChild) {
        if (m_memory->Validate(child->handle)) {
            Destroy(child->handle); // unlinks itself from this list
        } else {
            header->firstChild = child->next;
            if (!header->firstChild)
                header->lastChild = nullptr;
            m_childPool->Delete(child);
        }
    }
    FXObject* object = header->Object();
    if (InstanceHeader* parent = Header(object->GetParentHandle()))
        UnlinkChild(*parent, handle);
    const uint32_t index = header->recordIndex;
    FXDynamicsDelete(m_records[index].dynamics);
    object->~FXObject();
    header->~InstanceHeader();
    m_memory->Free(handle);

    if (index + 1 != m_records.size()) {
        m_records[index] = m_records.back();
        Header(m_records[index].handle)->recordIndex = index;
    }
    m_records.pop_back();
    m_stats[FX_STAT_LIVE] = static_cast<uint32_t>(m_records.size());
}

void FXManager::Stop(const FXHandle& handle) {
    InstanceHeader* header = Header(handle);
    if (!header)
        return;
    header->Object()->Stop();
    m_records[header->recordIndex].flags |= FX_RECORD_UPDATE_NOW;
    for (FXChildNode* node = header->firstChild; node; node = node->next)
        Stop(node->handle);
}

void FXManager::SetVisible(const FXHandle& handle, bool visible) {
    InstanceHeader* header = Header(handle);
    if (!header)
        return;
    header->Object()->SetVisible(visible);
    for (FXChildNode* node = header->firstChild; node; node = node->next)
        SetVisible(node->handle, visible);
}

void FXManager::SetTransform(const FXHandle& handle, const Matrix4& transform) {
    InstanceHeader* header = Header(handle);
    if (!header)
        return;
    FXObject* object = header->Object();
    object->SetTransform(transform);
    m_records[header->recordIndex].position = object->GetTransform().Translation();
}

void FXManager::SetVelocity(const FXHandle& handle, const Vector3& velocity) {
    if (FXObject* object = Resolve(handle))
        object->SetVelocity(velocity);
}

void FXManager::SetScale(const FXHandle& handle, float scale) {
    if (FXObject* object = Resolve(handle))
        object->SetScale(scale);
}

void FXManager::SetLength(const FXHandle& handle, float length) {
    if (FXObject* object = Resolve(handle))
        object->SetLength(length);
}

bool FXManager::SetParamFade(const FXHandle& handle, float fade) {
    FXObject* object = Resolve(handle);
    return object && object->SetParamFade(fade);
}

bool FXManager::GetTransform(const FXHandle& handle, Matrix4& out) const {
    const FXObject* object = Resolve(handle);
    if (!object)
        return false;
    out = object->GetTransform();
    return true;
}

float FXManager::GetGravwellStrength(const FXHandle& handle) const {
    const FXObject* object = Resolve(handle);
    return object ? object->GetGravwellStrength() : 0.0f;
}

bool FXManager::GetParamVector(const FXHandle& handle, Vector3& out) const {
    const FXObject* object = Resolve(handle);
    if (!object || !object->GetParamVector(out))
        return false;
    out *= object->GetLength();
    return true;
}

std::vector<FXHandle> FXManager::Children(const FXHandle& handle) const {
    std::vector<FXHandle> children;
    if (const InstanceHeader* header = Header(handle))
        for (const FXChildNode* node = header->firstChild; node; node = node->next)
            children.push_back(node->handle);
    return children;
}

void FXManager::DestroyAllInstances() {
    // Top-level instances take their children with them; whatever remains (children of
    // parents that were destroyed already cannot remain) goes last record first.
    while (!m_records.empty())
        Destroy(m_records.back().handle);
}

void FXManager::Update(float dt) {
    if (!(dt >= 0.0f) || !std::isfinite(dt))
        return;
    // The remainder is kept in double so that 1.0 s is ten steps of 0.1, not ten and a
    // sliver of rounding error.
    // With the maximum step lifted (the editor's scrubbing), a huge dt is bounded to
    // kMaxSubSteps steps so that one call cannot stall the program.
    double remaining = std::min(dt, m_maxUpdateStep);
    remaining = std::min(remaining, static_cast<double>(kSubStep) * kMaxSubSteps);
    while (remaining > static_cast<double>(kSubStep)) {
        RunStep(kSubStep);
        remaining -= static_cast<double>(kSubStep);
    }
    RunStep(static_cast<float>(remaining));
}

void FXManager::RunStep(float step) {
    m_updateList.clear();
    m_finishedList.clear();
    const size_t live = m_records.size();
    const size_t offscreenAllowance = live / 8;
    size_t offscreenScheduled = 0;
    for (FXRecord& record : m_records) {
        if (record.flags & FX_RECORD_FINISHED) {
            m_finishedList.push_back(record.handle);
            continue;
        }
        record.pending += step;
        const bool onScreen = (record.flags & (FX_RECORD_VISIBLE | FX_RECORD_DRAWN)) ==
                              (FX_RECORD_VISIBLE | FX_RECORD_DRAWN);
        bool scheduled = onScreen || (record.flags & FX_RECORD_UPDATE_NOW);
        if (!scheduled && record.pending >= kOffscreenInterval &&
            offscreenScheduled <= offscreenAllowance) {
            scheduled = true;
            ++offscreenScheduled;
        }
        if (scheduled) {
            m_updateList.push_back({record.handle, record.dynamics, record.pending});
            record.flags &= static_cast<uint8_t>(~FX_RECORD_UPDATE_NOW);
            record.pending = 0.0f;
        }
    }
    SetPeak(FX_STAT_UPDATED, FX_STAT_UPDATED_PEAK, static_cast<uint32_t>(m_updateList.size()));
    SetPeak(FX_STAT_FINISHED, FX_STAT_FINISHED_PEAK, static_cast<uint32_t>(m_finishedList.size()));

    ProcessUpdateList();

    for (const FXHandle& handle : m_finishedList) {
        const InstanceHeader* header = Header(handle);
        if (header && !header->firstChild)
            Destroy(handle);
    }
    m_finishedList.clear();
}

void FXManager::ProcessUpdateList() {
    while (!m_updateList.empty()) {
        const size_t recordsBefore = m_records.size();
        // Entries are read by index: instances created during the pass append records
        // (and may grow the table), never entries.
        for (size_t i = 0; i < m_updateList.size(); ++i) {
            const UpdateEntry entry = m_updateList[i];
            InstanceHeader* header = Header(entry.handle);
            if (!header)
                continue;
            FXObject* object = header->Object();
            if (entry.dynamics && entry.dynamics->Update(*object, entry.pending))
                Stop(entry.handle);
            // The instance may have been moved in the table by now; find it by header.
            if (object->Update(entry.pending)) {
                FXRecord& record = m_records[Header(entry.handle)->recordIndex];
                record.flags |= FX_RECORD_FINISHED;
                m_finishedList.push_back(entry.handle);
            } else if (InstanceHeader* after = Header(entry.handle)) {
                FXRecord& record = m_records[after->recordIndex];
                record.position = object->GetTransform().Translation();
                record.radius = object->GetRadius();
            }
        }
        m_updateList.clear();
        for (size_t index = recordsBefore; index < m_records.size(); ++index) {
            FXRecord& record = m_records[index];
            m_updateList.push_back({record.handle, record.dynamics, record.pending});
            record.flags &= static_cast<uint8_t>(~FX_RECORD_UPDATE_NOW);
            record.pending = 0.0f;
        }
    }
}

void FXManager::Render(const FXFrustum& frustum, const FXCamera& camera) {
    m_viewState.view = camera.GetViewMatrix();
    m_viewState.eyePosition = camera.GetEyePosition();
    m_viewState.forward = camera.GetForwardAxis();
    m_viewState.projection = CurrentProjection(camera);

    const float tanHalfFov = std::tan(camera.GetFieldOfView() * 0.017453292f * 0.5f);
    const float nearDistance = camera.GetNearDistance();
    const Matrix4& view = camera.GetViewMatrix();
    m_renderRecords.clear();
    uint32_t culledBySize = 0;
    for (FXRecord& record : m_records) {
        if (record.flags & FX_RECORD_FINISHED)
            continue;
        const bool inside = frustum.ContainsSphere(record.position, record.radius);
        if (record.flags & FX_RECORD_NOT_RENDERABLE) {
            record.flags = inside ? (record.flags | FX_RECORD_VISIBLE)
                                  : (record.flags & static_cast<uint8_t>(~FX_RECORD_VISIBLE));
            continue;
        }
        record.flags &= static_cast<uint8_t>(~FX_RECORD_VISIBLE);
        if (!(record.flags & FX_RECORD_DRAWN))
            continue;
        if (m_bit6Only && !(record.flags & FX_RECORD_INHERITED))
            continue;
        if (!inside)
            continue;
        record.flags |= FX_RECORD_VISIBLE;
        float fade = 1.0f;
        if (record.flags & FX_RECORD_SIZE_FADE) {
            const float depth = -view.TransformPoint(record.position).z;
            const float ratio = record.radius / (std::max(depth, nearDistance) * tanHalfFov);
            const float size = 3.1415927f * ratio * ratio;
            if (size < 2.5e-5f)
                fade = 0.0f;
            else if (size < 1e-4f)
                fade = (size - 2.5e-5f) / (1e-4f - 2.5e-5f);
        }
        if (record.radius == 0.0f)
            fade = 0.0f;
        if (fade <= 0.0f)
            ++culledBySize;
        else
            m_renderRecords.push_back({record.handle, nullptr, 0.0f, fade});
    }
    m_stats[FX_STAT_CULLED_BY_SIZE] = culledBySize;
    SetPeak(FX_STAT_RENDERED, FX_STAT_RENDERED_PEAK, static_cast<uint32_t>(m_renderRecords.size()));
    if (m_renderRecords.empty())
        return;

    for (RenderRecord& record : m_renderRecords) {
        InstanceHeader* header = Header(record.handle);
        record.type = header->Object()->GetType();
        record.sortKey = header->sortKey;
    }
    auto byOrder = [](const RenderRecord& a, const RenderRecord& b) {
        if (a.type->GetSortOrder() != b.type->GetSortOrder())
            return a.type->GetSortOrder() < b.type->GetSortOrder();
        // Types by name, not by address: the drawing order (and so the blended picture)
        // is then the same on every run.
        if (a.type != b.type)
            return a.type->GetName() < b.type->GetName();
        return a.sortKey < b.sortKey;
    };
    // Types with a sort order draw first, in that order; the rest after them.
    const auto zeroPart =
        std::stable_partition(m_renderRecords.begin(), m_renderRecords.end(),
                              [](const RenderRecord& r) { return r.type->GetSortOrder() != 0; });
    std::sort(m_renderRecords.begin(), zeroPart, byOrder);
    std::sort(zeroPart, m_renderRecords.end(), byOrder);
    DrawRenderRecords();
}

Matrix4 FXManager::CurrentProjection(const FXCamera& camera) {
    if (const RenderDevice* device = rndTable())
        return device->GetMatrix(MatrixStack::Projection);
    return camera.GetProjectionMatrix();
}

void FXManager::DrawRenderRecords() {
    // Effects draw unlit, blended and without fog; the states they change are put back.
    RenderDevice* device = rndTable();
    constexpr RenderState kSaved[] = {RenderState::Lighting, RenderState::Blending,
                                      RenderState::Texturing, RenderState::AlphaTest,
                                      RenderState::Fog};
    bool savedOn[std::size(kSaved)] = {};
    Colour savedColour;
    uint64_t primitivesBefore = 0;
    if (device) {
        for (size_t i = 0; i < std::size(kSaved); ++i)
            savedOn[i] = device->IsEnabled(kSaved[i]);
        savedColour = device->GetStates().colour;
        primitivesBefore = device->GetCounters().primitives;
        if (device->IsEnabled(RenderState::Fog))
            device->Disable(RenderState::Fog);
        device->Disable(RenderState::Lighting);
        device->Enable(RenderState::Blending);
    }
    m_binds = 0;
    FXType* current = nullptr;
    for (const RenderRecord& record : m_renderRecords) {
        FXObject* object = Resolve(record.handle);
        if (!object)
            continue;
        if (record.type != current) {
            if (current)
                current->EndBatch();
            current = record.type;
            current->BeginBatch();
        }
        object->Render(record.fade);
    }
    if (current)
        current->EndBatch();
    m_stats[FX_STAT_BINDS] = m_binds;
    if (device) {
        m_lastPrimitives = device->GetCounters().primitives - primitivesBefore;
        for (size_t i = 0; i < std::size(kSaved); ++i)
            device->SetEnabled(kSaved[i], savedOn[i]);
        device->SetColour(savedColour);
    }
}
