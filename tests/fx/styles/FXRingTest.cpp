// The ring: its random modifiers, spawns and lifetime, and the exact quads, points and
// meshes its batch draws, seen through the recording render device.
#include "styles/FXRing.h"

#include "diag/Diag.h"
#include "runtime/FXAlternateProjection.h"
#include "runtime/FXCamera.h"
#include "runtime/FXDynamicsAttached.h"
#include "runtime/FXFrustum.h"
#include "runtime/FXManager.h"
#include "runtime/FXRandom.h"
#include "scene/Mesh.h"
#include "scene/RecordingRenderDevice.h"
#include "scene/Texture.h"
#include "scene/TextureReference.h"
#include "styles/RingBatch.h"
#include "support/MathExpect.h"
#include "support/TempWorkDir.h"
#include "support/TestFx.h"
#include "support/TestProperties.h"
#include "support/TextureFiles.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace {

constexpr float kTolerance = 1e-4f;
constexpr Colour kColour{0.8f, 0.6f, 0.4f, 1.0f};

// A 2 x 2 texture of one opaque colour.
std::string Tga(uint8_t red, uint8_t blue) {
    std::vector<uint8_t> rgba;
    for (int pixel = 0; pixel < 4; ++pixel)
        rgba.insert(rgba.end(), {red, 0, blue, 255});
    return TgaFile(2, 2, rgba);
}

// One quad of a triangle draw, from its six vertices.
struct Quad {
    Vector3 centre, x, y;
};

std::vector<Quad> QuadsOf(const RecordedDraw& draw) {
    std::vector<Quad> quads;
    const auto& v = draw.vertices;
    for (size_t i = 0; i + 6 <= v.size(); i += 6)
        quads.push_back({(v[i].position + v[i + 5].position) * 0.5f,
                         (v[i + 5].position - v[i + 1].position) * 0.5f,
                         (v[i + 1].position - v[i].position) * 0.5f});
    return quads;
}

class FXRingTest : public testing::Test {
protected:
    void SetUp() override {
        FXManager::Startup();
        RandomSeed(1);
        m_previousSink = dbSetTraceSink([](const std::string&) {});
        m_dir.write("Data/art/fx/red.tga", Tga(255, 0));
        m_dir.write("Data/art/fx/blue.tga", Tga(0, 255));
        m_dir.write("Data/art/fx/sheet.anim",
                    "anim = { texture = 'Data:art/fx/red.tga', columns = 2, rows = 2, fps = 1 }");
        m_dir.write("Data/art/fx/two.anim",
                    "anim = { textures = { 'Data:art/fx/red.tga', 'Data:art/fx/blue.tga' } }");
        auto ring = std::make_shared<FXTypeRing>("ring");
        m_ring = ring.get();
        Manager().TypeAdd(std::move(ring));
        SetConstant("Radius", 1.0f);
        SetConstantCurve(*m_ring, "Colour", kColour);
        Set("Texture", "");
    }
    void TearDown() override {
        FXManager::Shutdown();
        FXClearAlternateProjection();
        dbSetTraceSink(std::move(m_previousSink));
    }

    FXManager& Manager() { return *FXManager::Instance(); }

    template <typename T>
    void Set(const char* name, const T& value) {
        SetProperty(*m_ring, name, value);
    }
    void SetConstant(const char* name, float value) { SetConstantCurve(*m_ring, name, value); }

    FXHandle CreateRing(const Matrix4& transform = At({0.0f, 0.0f, -10.0f})) {
        const FXHandle handle = Manager().Create("ring", nullptr);
        EXPECT_FALSE(handle.IsNull());
        Manager().SetTransform(handle, transform);
        return handle;
    }
    FXObjectRing& Ring(const FXHandle& handle) {
        return *static_cast<FXObjectRing*>(Manager().Resolve(handle));
    }

    // Draws through the render pass with a camera of the view matrix, recording only that.
    void RenderView(const Matrix4& view = {}) {
        FXCamera camera;
        camera.SetViewMatrix(view);
        camera.UpdateMatrices();
        FXFrustum frustum;
        camera.BuildFrustum(frustum);
        m_device.LoadMatrix(MatrixStack::ModelView, view);
        m_device.ClearRecording();
        Manager().Render(frustum, camera);
    }
    // A first frame: the view state the rings' bounds read, a short update, the drawing.
    void Frame(const Matrix4& view = {}) {
        RenderView(view);
        Manager().Update(0.01f);
        RenderView(view);
    }
    // Queues the rings in this order, bypassing the render pass's sorting.
    void DrawInOrder(const std::vector<FXHandle>& rings) {
        m_device.ClearRecording();
        m_ring->BeginBatch();
        for (const FXHandle& ring : rings)
            Ring(ring).Render(1.0f);
        m_ring->EndBatch();
    }
    std::vector<const RecordedDraw*> Draws(Primitive primitive) const {
        std::vector<const RecordedDraw*> draws;
        for (const RecordedDraw& draw : m_device.Draws())
            if (draw.primitive == primitive)
                draws.push_back(&draw);
        return draws;
    }

    TempWorkDir m_dir;
    RecordingRenderDevice m_device;
    ScopedRenderTable m_table{&m_device};
    DiagTraceSink m_previousSink;
    FXTypeRing* m_ring = nullptr;
};

// --- quads ---------------------------------------------------------------------------------

TEST_F(FXRingTest, QuadsAreTwoTrianglesWithTheirCornersCoordinatesAndTexture) {
    struct Row {
        const char* texture;
        bool textured;   // a missing texture draws untextured quads
        TextureUV uv[4]; // at c - X - Y, c - X + Y, c + X + Y, c + X - Y
    };
    const Row rows[] = {
        {"", false, {{0, 1}, {1, 1}, {1, 0}, {0, 0}}},
        {"Data:art/fx/missing.tga", false, {{0, 1}, {1, 1}, {1, 0}, {0, 0}}},
        {"Data:art/fx/red.tga", true, {{0, 1}, {1, 1}, {1, 0}, {0, 0}}},
        // An animation by age: the first frame, the upper-left quarter of the sheet.
        {"Data:art/fx/sheet.anim", true, {{0, 1}, {0.5f, 1}, {0.5f, 0.5f}, {0, 0.5f}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.texture);
        Set("Texture", row.texture);
        Set("Billboard", true);
        SetConstant("Radius", 1.5f);
        m_ring->Release();
        m_device.Enable(RenderState::FaceCulling);
        m_device.Enable(RenderState::DepthTest);
        const RenderStates before = m_device.GetStates();
        const FXHandle ring = CreateRing(At({1.0f, 2.0f, -10.0f}));
        Frame();
        const auto draws = Draws(Primitive::Triangles);
        ASSERT_EQ(draws.size(), 1u);
        const RecordedDraw& draw = *draws[0];
        const Vector3 c{1.0f, 2.0f, -10.0f}, x{1.5f, 0, 0}, y{0, 1.5f, 0};
        const Vector3 corners[6] = {c - x - y, c - x + y, c + x - y,
                                    c + x - y, c - x + y, c + x + y};
        const int uvOf[6] = {0, 1, 3, 3, 1, 2};
        ASSERT_EQ(draw.vertices.size(), 6u);
        for (int i = 0; i < 6; ++i) {
            ExpectNear(draw.vertices[i].position, corners[i], kTolerance);
            EXPECT_EQ(draw.vertices[i].u, row.uv[uvOf[i]].u) << i;
            EXPECT_EQ(draw.vertices[i].v, row.uv[uvOf[i]].v) << i;
            EXPECT_EQ(draw.vertices[i].colour, kColour);
        }
        EXPECT_EQ(draw.binding.texture != 0, row.textured);
        if (row.textured) {
            EXPECT_EQ(m_device.FindTexture(draw.binding.texture)->width, 2);
        }
        EXPECT_TRUE(draw.IsEnabled(RenderState::Texturing));
        EXPECT_FALSE(draw.IsEnabled(RenderState::FaceCulling));
        EXPECT_FALSE(draw.IsEnabled(RenderState::DepthTest)); // UseDepthTest is off
        EXPECT_EQ(draw.states.blendMode, BlendMode::Alpha);
        EXPECT_EQ(m_device.GetStates(), before);
        Manager().Destroy(ring);
    }
}

TEST_F(FXRingTest, BillboardsFaceTheCameraAndOtherRingsFollowTheirTransform) {
    // A camera at +10 on X looking back along -X: its right is -Z, its up +Y.
    Matrix4 camera;
    camera.SetRow(0, {0, 0, -1});
    camera.SetRow(2, {1, 0, 0});
    camera.SetTranslation({10, 0, 0});
    Matrix4 quarterTurn; // local X is world Z
    quarterTurn.SetRow(0, {0, 0, 1});
    quarterTurn.SetRow(2, {-1, 0, 0});
    struct Row {
        bool billboard;
        float depthOffset;
        Vector3 x, centre;
    };
    const Row rows[] = {
        {true, 0.0f, {0, 0, -1}, {0, 0, 0}},
        {true, 2.0f, {0, 0, -1}, {2, 0, 0}}, // moved towards the camera
        {false, 0.0f, {0, 0, 1}, {0, 0, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.billboard << " " << row.depthOffset);
        Set("Billboard", row.billboard);
        Set("DepthOffset", row.depthOffset);
        const FXHandle ring = CreateRing(quarterTurn);
        Frame(camera.Inverse());
        const auto draws = Draws(Primitive::Triangles);
        ASSERT_EQ(draws.size(), 1u);
        const Quad quad = QuadsOf(*draws[0]).at(0);
        ExpectNear(quad.x, row.x, kTolerance);
        ExpectNear(quad.y, {0, 1, 0}, kTolerance);
        ExpectNear(quad.centre, row.centre, kTolerance);
        Manager().Destroy(ring);
    }
}

TEST_F(FXRingTest, SpinZOf36TurnsABillboardOnceASecond) {
    Set("Billboard", true);
    SetConstant("SpinZ", 36.0f);
    CreateRing();
    Frame();
    auto angle = [this] {
        const Quad quad = QuadsOf(*Draws(Primitive::Triangles).at(0)).at(0);
        return std::atan2(quad.x.y, quad.x.x);
    };
    const float start = angle();
    Manager().Update(0.25f);
    RenderView();
    const float turned = std::remainder(angle() - start, 2.0f * std::numbers::pi_v<float>);
    // A quarter turn in a quarter of a second; a positive spin turns the quad clockwise as
    // the camera sees it (RotZ's rows (cos, -sin), (sin, cos) applied to row vectors).
    EXPECT_NEAR(turned, -std::numbers::pi_v<float> * 0.5f, 1e-3f);
}

TEST_F(FXRingTest, DepthSortDrawsTheFarthestFirstOtherwiseTheQueueOrder) {
    const FXHandle rings[] = {CreateRing(At({0, 0, -5})), CreateRing(At({0, 0, -20})),
                              CreateRing(At({0, 0, -10}))};
    Frame();
    for (const bool sorted : {true, false}) {
        Set("UseDepthSort", sorted);
        DrawInOrder({rings[0], rings[1], rings[2]});
        std::vector<float> depths;
        for (const Quad& quad : QuadsOf(*Draws(Primitive::Triangles).at(0)))
            depths.push_back(quad.centre.z);
        const std::vector<float> expected =
            sorted ? std::vector<float>{-20, -10, -5} : std::vector<float>{-5, -20, -10};
        EXPECT_EQ(depths, expected);
    }
}

TEST_F(FXRingTest, FarRingsArePointsFadingBetweenTheNearAndFarDistances) {
    struct Row {
        int blending;
        Colour halfFaded;
    };
    const Row rows[] = {
        {0, kColour},
        {1, {0.8f, 0.6f, 0.4f, 0.5f}},
        {2, {0.4f, 0.3f, 0.2f, 1.0f}},
        {3, {0.8f, 0.6f, 0.4f, 0.5f}},
        {4, {0.8f, 0.6f, 0.4f, 0.5f}},
    };
    Set("PointDistance", 100.0f);
    Manager().SetPointFadeDistances(150.0f, 250.0f);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.blending);
        Set("Blending", row.blending);
        std::vector<FXHandle> rings;
        for (const float depth : {50.0f, 120.0f, 200.0f, 300.0f})
            rings.push_back(CreateRing(At({0, 0, -depth})));
        Frame();
        const auto quads = Draws(Primitive::Triangles);
        ASSERT_EQ(quads.size(), 1u);
        EXPECT_EQ(QuadsOf(*quads[0]).size(), 1u);
        // Past the far distance a ring has no bounds left and is not drawn at all.
        const auto points = Draws(Primitive::Points);
        ASSERT_EQ(points.size(), 1u);
        EXPECT_EQ(points[0], &m_device.Draws().back());
        EXPECT_EQ(points[0]->states.pointSize, 2.0f);
        EXPECT_EQ(points[0]->binding.texture, 0u);
        EXPECT_EQ(points[0]->states.blendMode, static_cast<BlendMode>(row.blending));
        ASSERT_EQ(points[0]->vertices.size(), 2u);
        for (const RenderVertex& point : points[0]->vertices)
            ExpectNear(point.colour, point.position.z == -120.0f ? kColour : row.halfFaded,
                       kTolerance);
        EXPECT_EQ(m_device.GetStates().pointSize, 1.0f);
        for (const FXHandle& ring : rings)
            Manager().Destroy(ring);
    }
}

TEST_F(FXRingTest, QuadsAreDrawnSixtyFourAtATimeAndPerTexture) {
    Set("Texture", "Data:art/fx/red.tga");
    for (int i = 0; i < 130; ++i)
        CreateRing(At({0, 0, -10}));
    Frame();
    std::vector<size_t> counts;
    for (const RecordedDraw* draw : Draws(Primitive::Triangles)) {
        counts.push_back(draw->vertices.size());
        EXPECT_NE(draw->binding.texture, 0u);
    }
    EXPECT_EQ(counts, (std::vector<size_t>{384, 384, 12}));
    FXStats stats;
    Manager().GetStats(stats);
    EXPECT_EQ(stats[FX_STAT_BINDS], 3u);
}

TEST_F(FXRingTest, ANewDrawStartsWhereTheTextureChanges) {
    Set("Texture", "Data:art/fx/two.anim");
    Set("RandomBitmap", true);
    std::vector<FXHandle> rings;
    for (int i = 0; i < 12; ++i)
        rings.push_back(CreateRing());
    Frame();
    // Runs of the same frame in queue order: one draw each.
    std::vector<std::pair<int32_t, size_t>> runs;
    for (const FXHandle& ring : rings) {
        const int32_t frame = Ring(ring).GetFrameIndex();
        ASSERT_TRUE(frame == 0 || frame == 1);
        if (runs.empty() || runs.back().first != frame)
            runs.push_back({frame, 0});
        ++runs.back().second;
    }
    ASSERT_GT(runs.size(), 2u) << "the seed should mix the frames";
    DrawInOrder(rings);
    const auto draws = Draws(Primitive::Triangles);
    ASSERT_EQ(draws.size(), runs.size());
    const TextureReference& reference = *m_ring->Batch()->GetTextureReference();
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(draws[i]->vertices.size(), runs[i].second * 6);
        const auto frame = static_cast<unsigned>(runs[i].first);
        EXPECT_EQ(draws[i]->binding.texture, reference.textureOfFrame(frame)->deviceId());
    }
}

TEST_F(FXRingTest, WithAnAlternateProjectionSetAlternateFovRingsDrawWithIt) {
    Matrix4 alternate;
    alternate.m[0][0] = 0.5f;
    FXSetAlternateProjection(alternate);
    Set("AlternateFOV", true);
    const Matrix4 normal = m_device.GetMatrix(MatrixStack::Projection);
    CreateRing();
    Frame();
    EXPECT_EQ(Draws(Primitive::Triangles).at(0)->projection, alternate);
    EXPECT_EQ(m_device.GetMatrix(MatrixStack::Projection), normal);
}

// --- meshes --------------------------------------------------------------------------------

TEST_F(FXRingTest, AMeshRingDrawsItsMeshInItsColourAndPlace) {
    Mesh triangle;
    triangle.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    triangle.indices = {0, 1, 2};
    triangle.scale = 2.0f;
    ASSERT_TRUE(SaveMesh(triangle, "Data:art/fx/tri.kmo"));
    m_dir.write("Data/art/fx/tris.akmo",
                "meshlist = { meshes = { 'Data:art/fx/tri.kmo' }, scale = 3 }");
    struct Row {
        const char* mesh;
        float meshScale;
    };
    for (const Row& row : {Row{"Data:art/fx/tri.kmo", 2.0f}, Row{"Data:art/fx/tris.akmo", 3.0f}}) {
        SCOPED_TRACE(row.mesh);
        Set("UseMesh", true);
        Set("Mesh", row.mesh);
        m_ring->Release();
        m_device.Enable(RenderState::FaceCulling);
        const FXHandle ring = CreateRing();
        Frame();
        EXPECT_FLOAT_EQ(Ring(ring).GetRadius(), row.meshScale); // the bounds take the mesh scale
        const auto draws = Draws(Primitive::Triangles);
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(draws[0]->modelView, At({0, 0, -10}));
        EXPECT_EQ(draws[0]->states.colour, kColour);
        EXPECT_TRUE(draws[0]->IsEnabled(RenderState::FaceCulling));
        ASSERT_EQ(draws[0]->vertices.size(), 3u);
        EXPECT_EQ(draws[0]->vertices[1].position, (Vector3{1, 0, 0}));
        EXPECT_EQ(m_device.GetMatrixDepth(MatrixStack::ModelView), 1);
        EXPECT_EQ(m_device.GetMatrix(MatrixStack::ModelView), Matrix4{});
        Manager().Destroy(ring);
    }
}

// --- life ----------------------------------------------------------------------------------

TEST_F(FXRingTest, ConstructionDrawsItsRandomNumbersInAFixedOrder) {
    Set("RadiusEpsilon", 0.5f);
    Set("RateEpsilon", 0.25f);
    Set("SpinEpsilonZ", 1.0f);
    Set("SpinRandom", true);
    // Turning from the start: a random start angle.
    Set("SpinY", std::vector<TimeFloat>{{0.0f, 10.0f}, {1.0f, 5.0f}});
    RandomSeed(9);
    const FXObjectRing& ring = Ring(CreateRing());
    RandomSeed(9);
    EXPECT_EQ(ring.GetRadiusFactor(), RandomUnit() * 0.5f + 1.0f);
    EXPECT_EQ(ring.GetRateFactor(), RandomUnit() * 0.25f + 1.0f);
    Vector3 spin{RandomUnit() * 0.0f + 1.0f, RandomUnit() * 0.0f + 1.0f, RandomUnit() + 1.0f};
    for (float* factor : {&spin.x, &spin.y, &spin.z})
        if (RandomUnit() > 0.5f)
            *factor = -*factor;
    EXPECT_EQ(ring.GetSpinFactors(), spin);
    EXPECT_EQ(ring.GetSpinAngles(), (Vector3{0, RandomUnit() * 360.0f * 0.017453292f, 0}));
}

TEST_F(FXRingTest, SpawnsLengthenTheLifeOfTheEffect) {
    AddTestFx("two", 2.0f);
    AddTestFx("three", 3.0f);
    struct Row {
        const char* spawn;
        const char* birthSpawn;
        float lifetime;
    };
    const Row rows[] = {{"", "", 5.0f}, {"two", "", 7.0f}, {"", "three", 5.0f}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.spawn << "/" << row.birthSpawn);
        Set("Spawn_Fx", row.spawn);
        Set("BirthSpawn_Fx", row.birthSpawn);
        EXPECT_EQ(m_ring->GetDuration(), row.lifetime);
        const FXHandle ring = CreateRing();
        int steps = 0;
        while (Manager().IsAlive(ring) && steps < 200) {
            Manager().Update(0.1f);
            ++steps;
        }
        EXPECT_NEAR(static_cast<float>(steps) * 0.1f, row.lifetime, 0.11f);
    }
}

TEST_F(FXRingTest, RateEpsilonMakesLivesUpToHalfAsShortAgain) {
    Set("Duration", 1.0f);
    Set("RateEpsilon", 0.5f);
    std::vector<FXHandle> rings;
    std::vector<float> factors;
    for (int i = 0; i < 20; ++i) {
        rings.push_back(CreateRing());
        factors.push_back(Ring(rings.back()).GetRateFactor());
        EXPECT_GE(factors.back(), 1.0f);
        EXPECT_LE(factors.back(), 1.5f);
    }
    EXPECT_GT(*std::max_element(factors.begin(), factors.end()), 1.3f);
    for (int step = 1; step <= 110; ++step) {
        Manager().Update(0.01f);
        for (size_t i = 0; i < rings.size(); ++i)
            if (!rings[i].IsNull() && !Manager().IsAlive(rings[i])) {
                EXPECT_NEAR(static_cast<float>(step) * 0.01f, 1.0f / factors[i], 0.0125f) << i;
                rings[i] = kNullFXHandle;
            }
    }
    for (const FXHandle& ring : rings)
        EXPECT_TRUE(ring.IsNull());
}

TEST_F(FXRingTest, TheBirthSpawnRidesAlongAndTheDeathSpawnMakesUpTheLastStep) {
    TestFxType& born = AddTestFx("born", -1.0f);
    TestFxType& dies = AddTestFx("dies", -1.0f);
    Set("BirthSpawn_Fx", "born");
    Set("Spawn_Fx", "dies");
    Set("Duration", 0.5f);
    const Matrix4 placement = At({3, 4, 5});
    const FXHandle ring = CreateRing(placement);
    Manager().SetScale(ring, 2.0f);
    Manager().SetLength(ring, 3.0f);
    auto expectPlacedLikeTheRing = [&](const FXHandle& spawn) {
        const FXObject& object = *Manager().Resolve(spawn);
        ExpectNear(object.GetTransform().Translation(), placement.Translation(), kTolerance);
        EXPECT_EQ(object.GetScale(), 2.0f);
        EXPECT_EQ(object.GetLength(), 3.0f);
    };
    Manager().Update(0.1f);
    ASSERT_EQ(Manager().Children(ring).size(), 1u);
    const FXHandle birth = Manager().Children(ring)[0];
    EXPECT_NE(dynamic_cast<const FXDynamicsAttached*>(Manager().DynamicsOf(birth)), nullptr);
    expectPlacedLikeTheRing(birth);
    EXPECT_EQ(born.log.created, 1);

    while (Manager().Children(ring).size() < 2 && dies.log.created == 0)
        Manager().Update(0.1f);
    const FXHandle death = Manager().Children(ring).at(1);
    EXPECT_EQ(Manager().DynamicsOf(death), nullptr);
    expectPlacedLikeTheRing(death);
    ASSERT_EQ(dies.log.updates.size(), 1u);
    EXPECT_FLOAT_EQ(dies.log.updates[0], 0.1f); // advanced by the step it was made in
}

TEST_F(FXRingTest, TheBatchGivesItsTextureBackOnceNoRingLives) {
    Set("Texture", "Data:art/fx/red.tga");
    Set("Duration", 0.5f);
    const size_t before = TextureRegistry::instance()->count();
    CreateRing();
    Frame();
    EXPECT_EQ(TextureRegistry::instance()->count(), before + 1);
    m_ring->Release(); // a ring still lives: kept
    ASSERT_TRUE(m_ring->HasBatch());
    Manager().Update(1.0f);
    EXPECT_EQ(m_ring->GetLiveCount(), 0);
    Manager().TypeReleaseAll();
    EXPECT_FALSE(m_ring->HasBatch());
    EXPECT_EQ(TextureRegistry::instance()->count(), before);
}

} // namespace
