#include "FXRing.h"

#include "FXChildTypes.h"
#include "definitions/FXStyle.h"

#include <algorithm>
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

bool FXTypeRing::Prepare() {
    // The ring's batch (texture, animation, meshes) is created here with the runtime.
    FXPrepareChildType(m_spawnFx);
    FXPrepareChildType(m_birthSpawnFx);
    return true;
}

void FXTypeRing::GetChildTypes(std::vector<std::string>& list) const {
    list.clear();
    list.push_back(m_spawnFx);
    list.push_back(m_birthSpawnFx);
}
