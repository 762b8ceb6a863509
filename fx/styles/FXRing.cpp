#include "FXRing.h"

#include "FXChildTypes.h"
#include "FXLife.h"
#include "RingBatch.h"
#include "definitions/FXStyle.h"
#include "runtime/FXDynamics.h"
#include "runtime/FXManager.h"
#include "runtime/FXRandom.h"
#include "scene/Mesh.h"
#include "scene/RenderDevice.h"
#include "scene/TextureReference.h"

#include <algorithm>
#include <cmath>
#include <limits>

FXTypeRing::FXTypeRing(const char* name) : FXType(name) {
    constexpr float kLargest = std::numeric_limits<float>::max();
    AddTimeFloat("Radius", "", &m_radius, {{0.0f, 0.0f}, {1.0f, 5.0f}}, 0.0f, 10000.0f);
    AddTimeVector3("Offset", "", &m_offset, {{0.0f, {}}, {1.0f, {}}});
    AddTimeFloat("SpinX", "Spin around X axis in Degrees", &m_spinX, {{0.0f, 0.0f}, {1.0f, 0.0f}},
                 -360.0f, 360.0f);
    AddTimeFloat("SpinY", "Spin around Y axis in Degrees", &m_spinY, {{0.0f, 0.0f}, {1.0f, 0.0f}},
                 -360.0f, 360.0f);
    AddTimeFloat("SpinZ", "Spin around Z axis in Degrees (used for billboards)", &m_spinZ,
                 {{0.0f, 0.0f}, {1.0f, 0.0f}}, -360.0f, 360.0f);
    AddTimeColour("Colour", "", &m_colour,
                  {{0.0f, {1.0f, 0.0f, 0.0f, 1.0f}}, {1.0f, {0.0f, 1.0f, 0.0f, 1.0f}}});
    AddFloat("RadiusEpsilon", "Radius random modifier (0.0-1.0)", &m_radiusEpsilon, 0.0f, 0.0f,
             1.0f);
    AddFloat("RateEpsilon", "Rate random modifier (0.0-1.0)", &m_rateEpsilon, 0.0f, 0.0f, 1.0f);
    AddFloat("SpinEpsilonX", "Spin random modifier in X (0.0-1.0)", &m_spinEpsilonX, 0.0f, 0.0f,
             1.0f);
    AddFloat("SpinEpsilonY", "Spin random modifier in Y (0.0-1.0)", &m_spinEpsilonY, 0.0f, 0.0f,
             1.0f);
    AddFloat("SpinEpsilonZ", "Spin random modifier in Z (0.0-1.0)", &m_spinEpsilonZ, 0.0f, 0.0f,
             1.0f);
    AddBool("SpinRandom", "Spin random direction", &m_spinRandom, false);
    AddFloat("Duration", "", &m_duration, 5.0f, 0.1f, 500.0f);
    AddBool("UseMesh", "Set to true to use a mesh instead of a texture", &m_useMesh, false);
    AddBool("UseDepthTest", "Set to true to allow depth sorting of mesh", &m_useDepthTest, false);
    AddBool("UseDepthSort", "Depth Sort the particles of this type", &m_useDepthSort, false);
    AddBool("Loop", "", &m_loop, false);
    AddBool("AlternateFOV", "Use the alternate FOV (for rendering FX on the background)",
            &m_alternateFov, false);
    AddBool("Billboard", "", &m_billboard, false);
    AddBool("SelfIlluminated", "", &m_selfIlluminated, false);
    AddInt("Blending", "0: None, 1: Alpha, 2: Additive, 3: Multiply, 4: AdditiveAlpha", &m_blending,
           1, 0, 4);
    AddString("Texture", "Name of texture", &m_texture, "Data:art/fx/point.tga");
    AddString("Mesh", "Name of mesh", &m_mesh, "Data:art/fx/box.kmo");
    AddString("Spawn_Fx", "Name of fx that will be spawned when this one dies", &m_spawnFx, "");
    AddString("BirthSpawn_Fx",
              "Name of fx that will be spawned when this one is created, attached to it",
              &m_birthSpawnFx, "");
    AddBool("RandomBitmap", "Choose one frame from the animated texture to use", &m_randomBitmap,
            false);
    AddInt("SortOrder", "If not zero this value will be used to determine rendering order",
           &m_sortOrder, 0);
    AddFloat("DepthOffset",
             "For billboards this will adjust the depth of the ring, in the viewing direction",
             &m_depthOffset, 0.0f);
    AddFloat("PointDistance",
             "The distance from the camera at which the ring renders as a point (set to -1 "
             "for no points)",
             &m_pointDistance, -1.0f, -1.0f, kLargest);
}

int FXTypeRing::GetStyle() const {
    return STYLE_RING;
}

bool FXTypeRing::NoSizeFade() const {
    return m_pointDistance >= 0.0f;
}

float FXTypeRing::GetDuration() const {
    if (m_loop)
        return std::numeric_limits<float>::max();
    const FXDurationGuard guard(this);
    if (!guard.Entered())
        return 0.0f;
    float duration = m_duration;
    if (const FXType* spawn = FXFindChildType(m_spawnFx))
        duration = std::max(spawn->GetDuration() + m_duration, m_duration);
    // A birth spawn starts with the ring, so its duration is not added to Duration; when
    // one is found, its estimate replaces the death-spawn estimate.
    if (const FXType* birthSpawn = FXFindChildType(m_birthSpawnFx))
        duration = std::max(birthSpawn->GetDuration(), m_duration);
    return duration;
}

FXTypeRing::~FXTypeRing() = default;

size_t FXTypeRing::InstanceSize() const {
    return sizeof(FXObjectRing);
}

FXObject* FXTypeRing::CreateInstance(void* memory, const FXHandle& self, const FXHandle& parent,
                                     uintptr_t argument) {
    (void)argument;
    return FXConstructInstance<FXObjectRing>(memory, this, self, parent);
}

bool FXTypeRing::Prepare() {
    if (!m_batch)
        m_batch = std::make_unique<RingBatch>(*this);
    FXPrepareChildType(m_spawnFx);
    FXPrepareChildType(m_birthSpawnFx);
    return true;
}

void FXTypeRing::Release() {
    if (m_liveCount == 0)
        m_batch.reset();
}

void FXTypeRing::BeginBatch() {
    if (!m_batch)
        return;
    if (const RenderDevice* device = rndTable())
        m_batch->Begin(device->GetMatrix(MatrixStack::ModelView));
    else if (const FXManager* manager = FXManager::Instance())
        m_batch->Begin(manager->ViewState().view);
}

void FXTypeRing::EndBatch() {
    if (m_batch)
        m_batch->Draw();
}

void FXTypeRing::GetChildTypes(std::vector<std::string>& list) const {
    list.clear();
    list.push_back(m_spawnFx);
    list.push_back(m_birthSpawnFx);
}

namespace {

// Added to the age once the birth spawn is made, so that it is made only once.
constexpr float kBirthAge = 0.00001f;
// Slot of the dynamics preset that keeps an instance attached to its parent.
constexpr int kAttachedDynamics = 6;

// A random factor from 1.0 to 1.0 + epsilon.
float RandomFactor(float epsilon) {
    return RandomUnit() * epsilon + 1.0f;
}

// A random start angle in radians for an axis whose spin starts other than at rest.
float RandomStartAngle(const FXVariable& spin) {
    const auto keys = spin.TimeFloats();
    if (keys.empty() || keys.front().value == 0.0f)
        return 0.0f;
    return RandomUnit() * 360.0f * kDegreesToRadians;
}

// The rotation and scale of a placement: the upper-left 3 x 3 of a transform whose other
// entries are the identity's. The product is Matrix4's, term for term, including its
// fourth term, which is 0 x 0 here: the results are the bits a 4 x 4 product would give.
struct Axes {
    float m[3][3];

    Axes operator*(const Axes& o) const {
        Axes r;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                r.m[i][j] =
                    m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j] + 0.0f * 0.0f;
        return r;
    }
    Vector3 Row(int row) const { return {m[row][0], m[row][1], m[row][2]}; }
};

Axes Scaling(float s) {
    return {{{s, 0.0f, 0.0f}, {0.0f, s, 0.0f}, {0.0f, 0.0f, s}}};
}

// The upper-left 3 x 3 of a transform.
template <class Matrix>
Axes RotationOf(const Matrix& transform) {
    Axes rotation;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            rotation.m[row][column] = transform.m[row][column];
    return rotation;
}

} // namespace

FXObjectRing::FXObjectRing(FXTypeRing* type, const FXHandle& self, const FXHandle& parent)
    : FXObject(type, self, parent) {
    // The draws come in a fixed order, so that a seeded run repeats exactly.
    m_radiusFactor = RandomFactor(type->m_radiusEpsilon);
    m_rateFactor = RandomFactor(type->m_rateEpsilon);
    m_spinFactors.x = RandomFactor(type->m_spinEpsilonX);
    m_spinFactors.y = RandomFactor(type->m_spinEpsilonY);
    m_spinFactors.z = RandomFactor(type->m_spinEpsilonZ);
    if (type->m_spinRandom) {
        for (float* factor : {&m_spinFactors.x, &m_spinFactors.y, &m_spinFactors.z})
            if (RandomUnit() > 0.5f)
                *factor = -*factor;
    }
    m_spinAngles.x = RandomStartAngle(type->m_spinX);
    m_spinAngles.y = RandomStartAngle(type->m_spinY);
    m_spinAngles.z = RandomStartAngle(type->m_spinZ);

    ++type->m_liveCount;
    type->Prepare();
    const RingBatch* batch = type->m_batch.get();
    if (!batch)
        return;
    if (type->m_randomBitmap && batch->GetTextureReference()) {
        const unsigned frames = batch->GetTextureReference()->frameCount();
        const auto pick = static_cast<unsigned>(RandomUnit() * static_cast<float>(frames));
        // RandomUnit reaches 1.0, which would pick one past the last frame: it shows the
        // last frame instead. A reference with nothing loaded has no frame to pick.
        m_frameIndex = frames == 0 ? -1 : static_cast<int32_t>(std::min(pick, frames - 1));
    }
    const Mesh* mesh = nullptr;
    if (const MeshList* list = batch->GetMeshList(); list && list->count() > 0) {
        // count - 1: the last mesh of a list is picked only when RandomUnit is exactly 1.0.
        const auto index =
            static_cast<size_t>(RandomUnit() * static_cast<float>(list->count() - 1));
        mesh = list->mesh(index);
    } else {
        mesh = batch->GetMesh();
    }
    if (mesh) {
        m_meshInstance = MeshInstance::create();
        m_meshInstance->attachMesh(mesh);
    }
}

FXObjectRing::~FXObjectRing() {
    delete m_meshInstance;
    --Type().m_liveCount;
}

bool FXObjectRing::Update(float dt) {
    const FXTypeRing& type = Type();
    if (m_stopped && type.m_loop)
        return true;
    if (m_age == 0.0f && !type.m_birthSpawnFx.empty()) {
        BirthSpawn();
        m_age += kBirthAge;
    }
    const float sdt = dt * m_rateFactor;
    const float duration = type.m_duration;
    const FXLife life = FXAdvanceLife(m_age, sdt, duration, type.m_loop, m_stopped);
    if (life == FXLife::Stopped)
        return true;
    if (life == FXLife::Running) {
        const float t = LifeFraction();
        // The spin values are degrees per tenth of a second.
        const float turn = 10.0f * kDegreesToRadians * sdt;
        m_spinAngles.x += EvaluateTimeFloat(type.m_spinX.TimeFloats(), t) * turn * m_spinFactors.x;
        m_spinAngles.y += EvaluateTimeFloat(type.m_spinY.TimeFloats(), t) * turn * m_spinFactors.y;
        m_spinAngles.z += EvaluateTimeFloat(type.m_spinZ.TimeFloats(), t) * turn * m_spinFactors.z;
        m_ringRadius = EvaluateTimeFloat(type.m_radius.TimeFloats(), t) * m_radiusFactor;
        // A billboard's bounds ignore its offset: only an oriented ring reads it here.
        UpdateBounds(type.m_billboard ? Vector3{}
                                      : EvaluateTimeVector3(type.m_offset.TimeVector3s(), t));
        return false;
    }
    if (!type.m_spawnFx.empty())
        DeathSpawn(dt);
    return true;
}

float FXObjectRing::LifeFraction() const {
    return std::min(m_age / Type().m_duration, 1.0f);
}

Colour FXObjectRing::GetColour() const {
    return EvaluateTimeColour(Type().m_colour.TimeColours(), LifeFraction());
}

void FXObjectRing::UpdateBounds(const Vector3& offset) {
    const FXTypeRing& type = Type();
    const float meshScale = type.m_batch ? type.m_batch->GetMeshScale() : 1.0f;
    float r = meshScale * m_scale * m_ringRadius;
    // An oriented ring reaches out to its offset; a billboard is kept centred on the
    // instance by the visibility pass (its offset counts nothing).
    float r2 = type.m_billboard ? 0.0f : (offset * m_length).Length() + r;
    if (type.m_pointDistance >= 0.0f) {
        if (const FXManager* manager = FXManager::Instance()) {
            const FXViewState& view = manager->ViewState();
            const float depth = (m_transform.Translation() - view.eyePosition).Dot(view.forward);
            // Past the far point-fade distance a point has faded out: nothing to draw.
            if (manager->GetPointFadeFar() <= depth) {
                r = 0.0f;
                r2 = 0.0f;
            }
        }
    }
    const float bound = std::max(r, r2);
    SetRadius(bound);
    SetSecondSize(bound);
}

void FXObjectRing::HandOnPlacement(const FXHandle& spawn) const {
    FXManager* manager = FXManager::Instance();
    manager->SetTransform(spawn, m_transform.ToMatrix4());
    manager->SetLength(spawn, m_length);
    manager->SetScale(spawn, m_scale);
    manager->SetVisible(spawn, m_visible);
}

void FXObjectRing::BirthSpawn() {
    FXManager* manager = FXManager::Instance();
    FXDynamics* preset = manager->DynamicsFind(kAttachedDynamics);
    if (preset) {
        preset->SetVelocity({});
        preset->SetPosition(m_transform.Translation());
        preset->SetDamping(1.0f);
    }
    const FXHandle spawn =
        manager->CreateAttached(Type().m_birthSpawnFx.c_str(), preset, m_self, 0.0f);
    if (!spawn.IsNull())
        HandOnPlacement(spawn);
}

void FXObjectRing::DeathSpawn(float dt) {
    FXManager* manager = FXManager::Instance();
    const FXHandle spawn = manager->CreateAttached(Type().m_spawnFx.c_str(), nullptr, m_self, dt);
    if (!spawn.IsNull())
        HandOnPlacement(spawn);
}

void FXObjectRing::Render(float fade) {
    if (!m_visible)
        return;
    const FXTypeRing& type = Type();
    RingBatch* batch = type.m_batch.get();
    if (!batch)
        return;
    const float size = m_scale * m_ringRadius;
    if (size <= 0.0f)
        return;
    const float t = LifeFraction();
    Colour colour = EvaluateTimeColour(type.m_colour.TimeColours(), t);
    if (type.m_blending == 1) {
        colour.a *= fade;
    } else if (type.m_blending == 2) {
        colour.r *= fade;
        colour.g *= fade;
        colour.b *= fade;
    }

    const Vector3 offset = EvaluateTimeVector3(type.m_offset.TimeVector3s(), t);
    Vector3 centre = m_transform.TransformPoint(offset * m_length);
    // Without a scale the placement starts as the identity.
    Axes placement = Scaling(size);
    const Matrix4& camera = batch->GetCameraRotation();
    if (type.m_billboard) {
        placement = RotationOf(camera) * placement;
        if (m_spinAngles.z != 0.0f)
            placement = RotationOf(Matrix4::RotationZ(m_spinAngles.z)) * placement;
    } else {
        // A corner turns about Z first, then Y, then X, then with the instance.
        placement = RotationOf(m_transform) * placement;
        if (m_spinAngles.x != 0.0f)
            placement = RotationOf(Matrix4::RotationX(m_spinAngles.x)) * placement;
        if (m_spinAngles.y != 0.0f)
            placement = RotationOf(Matrix4::RotationY(m_spinAngles.y)) * placement;
        if (m_spinAngles.z != 0.0f)
            placement = RotationOf(Matrix4::RotationZ(m_spinAngles.z)) * placement;
    }
    if (type.m_depthOffset != 0.0f)
        centre += camera.Row(2) * type.m_depthOffset;
    batch->Queue({placement.Row(0), placement.Row(1), placement.Row(2), centre, colour, m_age,
                  m_frameIndex, m_meshInstance});
}
