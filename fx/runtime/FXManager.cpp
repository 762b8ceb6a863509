#include "runtime/FXManager.h"

#include "definitions/FXStyle.h"
#include "diag/Diag.h"
#include "pool/TableGrowth.h"
#include "runtime/FXCamera.h"
#include "runtime/FXDynamics.h"
#include "runtime/FXDynamicsCommon.h"
#include "runtime/FXFrustum.h"
#include "runtime/FXObject.h"
#include "scene/RenderDevice.h"

#include <algorithm>
#include <cmath>

// The front of every instance block; the instance object follows at
// kFXInstanceHeaderSize, its dynamics clone, if any, after it (the record says where). An
// instance's children form a list through their headers, by block index (0 = none), in
// creation order, so that a child leaves its parent's list without a walk. The first
// child's previousSibling is the last child, so that a child is appended without a walk
// and the header stays four words.
struct FXManager::InstanceHeader {
    uint32_t recordIndex = 0;
    uint32_t firstChild = 0;
    uint32_t previousSibling = 0; // of the first child: the last child
    uint32_t nextSibling = 0;

    FXObject* Object() {
        return std::launder(reinterpret_cast<FXObject*>(reinterpret_cast<std::byte*>(this) +
                                                        kFXInstanceHeaderSize));
    }
    // The dynamics clone of a record whose header this is, or null.
    FXDynamics* Dynamics(const FXRecord& record) {
        if (record.dynamicsWords == 0)
            return nullptr;
        return std::launder(reinterpret_cast<FXDynamics*>(reinterpret_cast<std::byte*>(this) +
                                                          record.dynamicsWords * size_t{8}));
    }
    // Destroys the dynamics clone, if any.
    void DestroyDynamics(FXRecord& record) {
        if (FXDynamics* dynamics = Dynamics(record))
            dynamics->~FXDynamics();
        record.dynamicsWords = 0;
    }
};

FXManager* FXManager::s_instance = nullptr;

namespace {

Vector3 g_gravity{0.0f, -58.86f, 0.0f};
Vector3 g_wind{0.0f, 0.0f, 0.0f};

constexpr float kSubStep = 0.1f;
constexpr float kOffscreenInterval = 1.0f;
constexpr int kMaxCreateDepth = 32;
constexpr int kMaxSubSteps = 100000;
// Seconds of a rest that count as rounding error of whole steps (see Update).
constexpr double kStepRounding = 1e-6;

// How far ahead the passes over instances ask for the memory of the instance they will
// reach: far enough to hide a miss, near enough to stay in the cache.
constexpr size_t kPrefetchAhead = 8;

// Asks for the cache lines of an instance block (its header and instance object).
void PrefetchBlock(const void* block) {
    const auto* bytes = static_cast<const char*>(block);
    for (size_t offset = 0; offset < kFXBlockPayloadSize; offset += 64)
        __builtin_prefetch(bytes + offset);
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

FXManager::FXManager() : m_memory(std::make_unique<FXMemory>()) {
    static_assert(sizeof(InstanceHeader) <= kFXInstanceHeaderSize);
    // Every live instance has a record: keep it to half a cache line.
    static_assert(sizeof(FXRecord) == 32);
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
    // Every dynamics object went with the manager: the pool, which outlives it, need not
    // keep their memory.
    FXDynamicsPool().Trim();
    return true;
}

FXManager* FXManager::CreateWorld() {
    auto* world = new FXManager;
    FXRegisterDynamicsPresets(*world);
    return world;
}

void FXManager::DestroyWorld(FXManager* world) {
    if (!world)
        return;
    // Instances that go may reach the manager through Instance().
    FXManager* previous = MakeCurrent(world);
    delete world;
    s_instance = previous == world ? nullptr : previous;
}

FXManager* FXManager::MakeCurrent(FXManager* manager) {
    FXManager* previous = s_instance;
    s_instance = manager;
    return previous;
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

FXManager::InstanceHeader& FXManager::HeaderAt(uint32_t block) const {
    return *static_cast<InstanceHeader*>(m_memory->PayloadOf(block));
}

FXObject* FXManager::Resolve(const FXHandle& handle) const {
    InstanceHeader* header = Header(handle);
    return header ? header->Object() : nullptr;
}

FXDynamics* FXManager::DynamicsOf(const FXHandle& handle) const {
    InstanceHeader* header = Header(handle);
    return header ? header->Dynamics(m_records[header->recordIndex]) : nullptr;
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
    // One block holds the header, the instance and its dynamics clone: a type that does
    // not know its instances' size gets the most an instance may take.
    const size_t instanceSize =
        type->InstanceSize() == 0 ? kFXInstanceMaxSize : type->InstanceSize();
    const size_t dynamicsOffset = kFXInstanceHeaderSize + (instanceSize + 7) / 8 * 8;
    static_assert((kFXBlockPayloadSize - kFXDynamicsMaxSize) / 8 <= UINT8_MAX,
                  "a record counts the offset of a dynamics clone in 8-byte words in a byte");
    const FXHandle handle =
        m_memory->Allocate(preset ? dynamicsOffset + preset->Size() : dynamicsOffset);
    if (handle.IsNull())
        return kNullFXHandle;

    FXRecord record;
    record.block = handle.block;
    record.pending = delay;
    record.flags = FX_RECORD_UPDATE_NOW | FX_RECORD_DRAWN | FX_RECORD_VISIBLE;
    if (!type->IsRenderable())
        record.flags |= FX_RECORD_NOT_RENDERABLE;
    else if (!type->NoSizeFade())
        record.flags |= FX_RECORD_SIZE_FADE;
    if (inherited)
        record.flags |= FX_RECORD_INHERITED;
    record.typeSlot = TypeSlot(type);
    ReserveWithEighth(m_records, m_records.size() + 1);
    m_records.push_back(record);

    auto* header = new (m_memory->PayloadOf(handle.block)) InstanceHeader;
    header->recordIndex = static_cast<uint32_t>(m_records.size() - 1);
    if (preset) {
        preset->CloneInto(reinterpret_cast<std::byte*>(header) + dynamicsOffset);
        m_records.back().dynamicsWords = static_cast<uint8_t>(dynamicsOffset / 8);
    }
    // The parent's list first: a child created by its parent's constructor is then
    // already known when the child's own constructor creates children in turn.
    if (!parent.IsNull())
        LinkChild(*Header(parent), parent.block, handle.block);
    void* objectMemory = reinterpret_cast<std::byte*>(header) + kFXInstanceHeaderSize;
    ++m_createDepth;
    FXObject* object = type->CreateInstance(objectMemory, handle, parent, argument);
    --m_createDepth;
    if (!object) {
        // A style without live instances (or one that gave up): take back what was set up
        // for it, children it made first.
        DestroyChildren(*header);
        if (!parent.IsNull())
            UnlinkChild(*Header(parent), handle.block);
        const uint32_t index = header->recordIndex;
        header->DestroyDynamics(m_records[index]);
        header->~InstanceHeader();
        m_memory->Free(handle);
        RemoveRecord(index);
        return kNullFXHandle;
    }
    SetPeak(FX_STAT_LIVE, FX_STAT_LIVE_PEAK, static_cast<uint32_t>(m_records.size()));
    return handle;
}

uint16_t FXManager::TypeSlot(FXType* type) {
    const auto [found, added] =
        m_slotOfType.try_emplace(type, static_cast<uint16_t>(m_typeSlots.size()));
    if (added) {
        if (m_typeSlots.size() >= kNoTypeSlot) {
            m_slotOfType.erase(found);
            return kNoTypeSlot; // so many types at once: the drawing pass asks the instance
        }
        m_typeSlots.push_back(type);
    }
    return found->second;
}

void FXManager::LinkChild(InstanceHeader& parent, uint32_t parentBlock, uint32_t child) {
    (void)parentBlock;
    InstanceHeader& node = HeaderAt(child);
    node.nextSibling = 0;
    if (parent.firstChild == 0) {
        parent.firstChild = child;
        node.previousSibling = child; // the only child is also the last
        return;
    }
    InstanceHeader& first = HeaderAt(parent.firstChild);
    const uint32_t last = first.previousSibling;
    HeaderAt(last).nextSibling = child;
    node.previousSibling = last;
    first.previousSibling = child;
}

void FXManager::UnlinkChild(InstanceHeader& parent, uint32_t child) {
    InstanceHeader& node = HeaderAt(child);
    if (child == parent.firstChild) {
        // The next child becomes the first and takes over the link to the last.
        parent.firstChild = node.nextSibling;
        if (node.nextSibling)
            HeaderAt(node.nextSibling).previousSibling = node.previousSibling;
    } else {
        HeaderAt(node.previousSibling).nextSibling = node.nextSibling;
        if (node.nextSibling)
            HeaderAt(node.nextSibling).previousSibling = node.previousSibling;
        else
            HeaderAt(parent.firstChild).previousSibling = node.previousSibling;
    }
    node.previousSibling = 0;
    node.nextSibling = 0;
}

void FXManager::Destroy(FXHandle handle) {
    InstanceHeader* header = Header(handle);
    if (!header)
        return;
    DestroyChildren(*header);
    FXObject* object = header->Object();
    if (InstanceHeader* parent = Header(object->GetParentHandle()))
        UnlinkChild(*parent, handle.block);
    const uint32_t index = header->recordIndex;
    header->DestroyDynamics(m_records[index]);
    object->~FXObject();
    header->~InstanceHeader();
    m_memory->Free(handle);
    RemoveRecord(index);
}

void FXManager::DestroyChildren(InstanceHeader& header) {
    // Each child leaves the list as it is destroyed.
    while (header.firstChild != 0)
        Destroy(m_memory->HandleOf(header.firstChild));
}

void FXManager::RemoveRecord(uint32_t index) {
    if (index + 1 != m_records.size()) {
        m_records[index] = m_records.back();
        HeaderAt(m_records[index].block).recordIndex = index;
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
    for (uint32_t child = header->firstChild; child; child = HeaderAt(child).nextSibling)
        Stop(m_memory->HandleOf(child));
}

void FXManager::SetVisible(const FXHandle& handle, bool visible) {
    InstanceHeader* header = Header(handle);
    if (!header)
        return;
    header->Object()->SetVisible(visible);
    for (uint32_t child = header->firstChild; child; child = HeaderAt(child).nextSibling)
        SetVisible(m_memory->HandleOf(child), visible);
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
        for (uint32_t child = header->firstChild; child; child = HeaderAt(child).nextSibling)
            children.push_back(m_memory->HandleOf(child));
    return children;
}

void FXManager::DestroyAllInstances() {
    // Top-level instances take their children with them; whatever remains (children of
    // parents that were destroyed already cannot remain) goes last record first.
    while (!m_records.empty())
        Destroy(HandleOf(m_records.back()));
    // Types may go now; a type made later at the same address is another type.
    m_typeSlots.clear();
    m_slotOfType.clear();
}

void FXManager::Update(float dt) {
    if (!(dt >= 0.0f) || !std::isfinite(dt))
        return;
    // 0.1 has no exact float: 0.3 minus two steps of 0.1 leaves a hair more than 0.1. A
    // rest within kStepRounding of a whole step is that step, so that 0.3, 0.6 and 1.0
    // are three, six and ten steps, not one more of a few nanoseconds. The rest is kept
    // in double so that long calls do not gather rounding error.
    // With the maximum step lifted (the editor's scrubbing), a huge dt is bounded to
    // kMaxSubSteps steps so that one call cannot stall the program.
    double remaining = std::min(dt, m_maxUpdateStep);
    remaining = std::min(remaining, static_cast<double>(kSubStep) * kMaxSubSteps);
    while (remaining > static_cast<double>(kSubStep) + kStepRounding) {
        RunStep(kSubStep);
        remaining -= static_cast<double>(kSubStep);
    }
    RunStep(static_cast<float>(remaining));
}

void FXManager::RunStep(float step) {
    m_passList.clear();
    m_finishedList.clear();
    const size_t live = m_records.size();
    ReserveWithEighth(m_passList, live);
    const size_t offscreenAllowance = live / 8;
    size_t offscreenScheduled = 0;
    for (FXRecord& record : m_records) {
        if (record.flags & FX_RECORD_FINISHED) {
            m_finishedList.push_back(HandleOf(record));
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
            // The pending time stays in the record until the instance is advanced by it:
            // nothing adds to it before then.
            m_passList.push_back(EntryOf(record));
            record.flags &= static_cast<uint8_t>(~FX_RECORD_UPDATE_NOW);
        }
    }
    SetPeak(FX_STAT_UPDATED, FX_STAT_UPDATED_PEAK, static_cast<uint32_t>(m_passList.size()));
    SetPeak(FX_STAT_FINISHED, FX_STAT_FINISHED_PEAK, static_cast<uint32_t>(m_finishedList.size()));

    ProcessUpdateList();

    for (const FXHandle& handle : m_finishedList) {
        const InstanceHeader* header = Header(handle);
        if (header && header->firstChild == 0)
            Destroy(handle);
    }
    m_finishedList.clear();
}

void FXManager::ProcessUpdateList() {
    while (!m_passList.empty()) {
        const size_t recordsBefore = m_records.size();
        // Entries are read by index: instances created during the pass append records
        // (and may grow the table), never entries. An instance destroyed by another's
        // update no longer resolves and is passed over.
        for (size_t i = 0; i < m_passList.size(); ++i) {
            // The block holds all an update reads: header, instance and dynamics clone.
            if (i + kPrefetchAhead < m_passList.size())
                PrefetchBlock(m_memory->PayloadOf(m_passList[i + kPrefetchAhead].block));
            const FXHandle handle = m_passList[i].Handle();
            InstanceHeader* header = Header(handle);
            if (!header)
                continue;
            FXRecord& scheduled = m_records[header->recordIndex];
            const float dt = scheduled.pending;
            FXDynamics* dynamics = header->Dynamics(scheduled);
            scheduled.pending = 0.0f;
            FXObject* object = header->Object();
            if (dynamics && dynamics->Update(*object, dt))
                Stop(handle);
            // Either update may create instances and so move the table; the header knows
            // where the record is now.
            const bool finished = object->Update(dt);
            InstanceHeader* after = Header(handle);
            if (!after)
                continue;
            FXRecord& record = m_records[after->recordIndex];
            if (finished) {
                record.flags |= FX_RECORD_FINISHED;
                m_finishedList.push_back(handle);
            } else {
                record.position = object->GetTransform().Translation();
                record.radius = object->GetRadius();
            }
        }
        m_passList.clear();
        ReserveWithEighth(m_passList, m_records.size() - recordsBefore);
        for (size_t index = recordsBefore; index < m_records.size(); ++index) {
            FXRecord& record = m_records[index];
            m_passList.push_back(EntryOf(record));
            record.flags &= static_cast<uint8_t>(~FX_RECORD_UPDATE_NOW);
        }
    }
}

void FXManager::Render(const FXFrustum& frustum, const FXCamera& camera) {
    m_viewState.view = camera.GetViewMatrix();
    m_viewState.eyePosition = camera.GetEyePosition();
    m_viewState.forward = camera.GetForwardAxis();
    m_viewState.projection = CurrentProjection(camera);

    // The projected size is measured with the manager's field of view, whatever the
    // camera's, so that an effect fades alike in every view.
    const float tanHalfFov = std::tan(m_fieldOfView * kDegreesToRadians * 0.5f);
    const float nearDistance = camera.GetNearDistance();
    const Matrix4& view = camera.GetViewMatrix();
    m_passList.clear();
    ReserveWithEighth(m_passList, m_records.size());
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
        record.fade = fade;
        if (fade <= 0.0f)
            ++culledBySize;
        else
            m_passList.push_back(EntryOf(record));
    }
    m_stats[FX_STAT_CULLED_BY_SIZE] = culledBySize;
    SetPeak(FX_STAT_RENDERED, FX_STAT_RENDERED_PEAK, static_cast<uint32_t>(m_passList.size()));
    if (m_passList.empty()) {
        // Nothing drawn: the counters of this view are zero, not the last view's.
        m_stats[FX_STAT_BINDS] = 0;
        m_lastPrimitives = 0;
        return;
    }
    OrderDrawList();
    DrawInstances(m_passList);
}

void FXManager::OrderDrawList() {
    // Entries of slots past the table (more types than slots) take their slot now.
    for (PassEntry& entry : m_passList) {
        if (entry.typeSlot == kNoTypeSlot)
            entry.typeSlot = TypeSlot(Resolve(entry.Handle())->GetType());
    }
    // The rank of each type drawn: by sort order, then by name (not by address, so that
    // the drawing order, and so the blended picture, is the same on every run). Types of
    // equal order and name share a rank.
    m_slotRanks.assign(m_typeSlots.size(), 0);
    m_drawnSlots.clear();
    for (const PassEntry& entry : m_passList) {
        if (m_slotRanks[entry.typeSlot] == 0) {
            m_slotRanks[entry.typeSlot] = 1;
            m_drawnSlots.push_back(entry.typeSlot);
        }
    }
    const auto before = [this](uint16_t a, uint16_t b) {
        const FXType& first = *m_typeSlots[a];
        const FXType& second = *m_typeSlots[b];
        if (first.GetSortOrder() != second.GetSortOrder())
            return first.GetSortOrder() < second.GetSortOrder();
        return first.GetName() < second.GetName();
    };
    std::sort(m_drawnSlots.begin(), m_drawnSlots.end(), before);
    uint32_t rank = 0;
    for (size_t i = 0; i < m_drawnSlots.size(); ++i) {
        if (i == 0 || before(m_drawnSlots[i - 1], m_drawnSlots[i]))
            ++rank;
        m_slotRanks[m_drawnSlots[i]] = rank;
    }
    // Types with a sort order draw first, in that order; the rest after them. The order of
    // the instances of one type is the one this sort has always given them, so that
    // blended pictures stay as they were.
    const auto byRank = [this](const PassEntry& a, const PassEntry& b) {
        return m_slotRanks[a.typeSlot] < m_slotRanks[b.typeSlot];
    };
    if (m_drawnSlots.size() == 1) {
        // Every comparison is a tie: the same moves as with byRank, without the look-ups.
        std::sort(m_passList.begin(), m_passList.end(),
                  [](const PassEntry&, const PassEntry&) { return false; });
        return;
    }
    const auto zeroPart =
        std::stable_partition(m_passList.begin(), m_passList.end(), [this](const PassEntry& e) {
            return m_typeSlots[e.typeSlot]->GetSortOrder() != 0;
        });
    std::sort(m_passList.begin(), zeroPart, byRank);
    std::sort(zeroPart, m_passList.end(), byRank);
}

Matrix4 FXManager::CurrentProjection(const FXCamera& camera) {
    if (const RenderDevice* device = rndTable())
        return device->GetMatrix(MatrixStack::Projection);
    return camera.GetProjectionMatrix();
}

void FXManager::DrawInstances(const std::vector<PassEntry>& entries) {
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
    for (size_t i = 0; i < entries.size(); ++i) {
        // The instances lie all over memory: ask for one a few entries ahead while this
        // one draws.
        if (i + kPrefetchAhead < entries.size())
            PrefetchBlock(m_memory->PayloadOf(entries[i + kPrefetchAhead].block));
        const PassEntry& entry = entries[i];
        InstanceHeader* header = Header(entry.Handle());
        if (!header)
            continue;
        FXObject* object = header->Object();
        FXType* type = m_typeSlots[entry.typeSlot];
        if (type != current) {
            if (current)
                current->EndBatch();
            current = type;
            current->BeginBatch();
        }
        object->Render(m_records[header->recordIndex].fade);
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
