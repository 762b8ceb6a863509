// A seeded scene of sprays and rings (gravity, wind, gravity wells, attached spawns, death
// spawns, spinning, offset, depth-sorted and point-drawn rings, a moving emitter) run for
// 200 steps, every instance's transform and every vertex drawn compared bit for bit with
// the run recorded in tests/data/runtime/seeded_run.txt. Any change of the runtime that
// moves one particle or one vertex by one ulp shows here, at the first step it happens.
//
// Within a step, transforms and drawn primitives are compared as sets (each with its draw
// state), so that the order in which instances of one type are drawn may change; the order
// between types has tests of its own. Run with SPARV_UPDATE_REFERENCES=1 to record anew.
#include "runtime/FXManager.h"
#include "styles/FXRing.h"
#include "styles/FXSpray.h"
#include "support/TestStyleScene.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kSteps = 200;

// FNV-1a over bytes.
class Hash {
public:
    void Add(const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            m_value ^= bytes[i];
            m_value *= 0x100000001B3ull;
        }
    }
    template <typename T>
    void Add(const T& value) {
        Add(&value, sizeof value);
    }
    uint64_t Value() const { return m_value; }

private:
    uint64_t m_value = 0xCBF29CE484222325ull;
};

uint64_t HashOfSet(std::vector<uint64_t> items) {
    std::sort(items.begin(), items.end());
    Hash hash;
    for (uint64_t item : items)
        hash.Add(item);
    return hash.Value();
}

struct StepRecord {
    size_t live = 0;
    size_t draws = 0;
    uint64_t transforms = 0;
    uint64_t vertices = 0;

    bool operator==(const StepRecord&) const = default;
};

std::string Line(int step, const StepRecord& record) {
    char text[128];
    std::snprintf(text, sizeof text, "%d %zu %zu %016" PRIx64 " %016" PRIx64, step, record.live,
                  record.draws, record.transforms, record.vertices);
    return text;
}

// Vertices of one draw in the pieces that make one primitive of what the styles draw: the
// six vertices of a quad, a triangle, a point, or a whole strip or line list.
size_t PieceSize(const RecordedDraw& draw) {
    switch (draw.primitive) {
    case Primitive::Triangles:
        return draw.vertices.size() % 6 == 0 ? 6 : 3;
    case Primitive::Points:
        return 1;
    default:
        return draw.vertices.size();
    }
}

class FXSeededRun : public testing::Test {
protected:
    FXSeededRun() {
        m_scene.WriteTexture("Data/art/fx/point.tga", 4);
        FXSetWind({1.5f, 0.0f, 0.5f});
        BuildTypes();
        m_scene.LookAt({0.0f, 12.0f, 45.0f}, {0.0f, 4.0f, 0.0f});
    }
    ~FXSeededRun() override { FXSetWind({}); }

    FXManager& Manager() { return m_scene.Manager(); }

    template <class Type>
    Type& Add(const char* name) {
        auto type = std::make_shared<Type>(name);
        Type& reference = *type;
        Manager().TypeAdd(std::move(type));
        return reference;
    }

    static void Curve(FXType& type, const char* name, std::vector<TimeFloat> keys) {
        FXVariable variable;
        variable.SetArrayTimeFloat(keys);
        EXPECT_TRUE(type.SetProperty(name, variable)) << name;
    }

    void BuildTypes() {
        FXTypeRing& spark = Add<FXTypeRing>("spark");
        SetProperty(spark, "Billboard", true);
        SetProperty(spark, "Blending", 2);
        SetProperty(spark, "Duration", 1.5f);
        SetProperty(spark, "RateEpsilon", 0.5f);
        SetProperty(spark, "RadiusEpsilon", 0.3f);
        SetProperty(spark, "SpinRandom", true);
        SetProperty(spark, "DepthOffset", 0.5f);
        Curve(spark, "Radius", {{0.0f, 0.3f}, {0.4f, 0.5f}, {1.0f, 0.05f}});
        Curve(spark, "SpinZ", {{0.0f, 20.0f}, {1.0f, -10.0f}});
        FXVariable colours;
        colours.SetArrayTimeColour(std::vector<TimeColour>{{0.0f, {1.0f, 0.8f, 0.2f, 1.0f}},
                                                           {0.5f, {0.9f, 0.3f, 0.1f, 0.7f}},
                                                           {1.0f, {0.2f, 0.1f, 0.1f, 0.0f}}});
        EXPECT_TRUE(spark.SetProperty("Colour", colours));

        FXTypeRing& chip = Add<FXTypeRing>("chip");
        SetProperty(chip, "Blending", 1);
        SetProperty(chip, "Duration", 2.0f);
        SetProperty(chip, "UseDepthSort", true);
        SetProperty(chip, "SpinEpsilonX", 0.5f);
        SetProperty(chip, "SpinEpsilonY", 0.25f);
        SetProperty(chip, "Spawn_Fx", "puff");
        Curve(chip, "SpinX", {{0.0f, 10.0f}, {1.0f, 30.0f}});
        Curve(chip, "SpinY", {{0.0f, -15.0f}, {1.0f, -15.0f}});
        Curve(chip, "SpinZ", {{0.0f, 5.0f}, {1.0f, 0.0f}});
        Curve(chip, "Radius", {{0.0f, 0.4f}, {1.0f, 0.2f}});
        FXVariable offsets;
        offsets.SetArrayTimeVector3(
            std::vector<TimeVector3>{{0.0f, {0.0f, 0.5f, 0.0f}}, {1.0f, {0.2f, 0.0f, -0.3f}}});
        EXPECT_TRUE(chip.SetProperty("Offset", offsets));

        FXTypeRing& puff = Add<FXTypeRing>("puff");
        SetProperty(puff, "Billboard", true);
        SetProperty(puff, "Blending", 4);
        SetProperty(puff, "Duration", 0.6f);
        SetProperty(puff, "PointDistance", 48.0f);
        Curve(puff, "Radius", {{0.0f, 0.1f}, {1.0f, 0.6f}});

        FXTypeRing& halo = Add<FXTypeRing>("halo");
        SetProperty(halo, "Billboard", true);
        SetProperty(halo, "Duration", 4.0f);
        SetProperty(halo, "BirthSpawn_Fx", "well");
        SetProperty(halo, "SortOrder", 2);
        Curve(halo, "Radius", {{0.0f, 2.0f}, {1.0f, 3.0f}});

        FXTypeSpray& fountain = Add<FXTypeSpray>("fountain");
        SetProperty(fountain, "Emitter_Loop", true);
        SetProperty(fountain, "Emitter_Duration", 2.0f);
        SetProperty(fountain, "Emitter_InheritVelocity", 0.5f);
        SetProperty(fountain, "Emitter_Drag", 0.9f);
        SetProperty(fountain, "Particle_Fx", "spark");
        SetProperty(fountain, "Particle_Dynamics", 1);
        Curve(fountain, "Emitter_Rate", {{0.0f, 40.0f}, {1.0f, 60.0f}});
        Curve(fountain, "Emitter_Deviation", {{0.0f, 40.0f}, {1.0f, 40.0f}});
        Curve(fountain, "Particle_Speed", {{0.0f, 25.0f}, {1.0f, 20.0f}});
        Curve(fountain, "Emitter_RotRate", {{0.0f, 1.0f}, {1.0f, 1.0f}});
        SetConstantCurve(fountain, "Emitter_Volume", Vector3{1.0f, 0.5f, 1.0f});
        SetConstantCurve(fountain, "Emitter_Offset", Vector3{0.0f, 0.5f, 0.0f});

        FXTypeSpray& debris = Add<FXTypeSpray>("debris");
        SetProperty(debris, "Emitter_Duration", 1.0f);
        SetProperty(debris, "Force_First", true);
        SetProperty(debris, "Particle_Fx", "chip");
        SetProperty(debris, "Particle_Dynamics", 8);
        Curve(debris, "Emitter_Rate", {{0.0f, 20.0f}, {1.0f, 0.0f}});
        Curve(debris, "Emitter_Deviation", {{0.0f, 180.0f}, {1.0f, 360.0f}});
        Curve(debris, "Particle_Speed", {{0.0f, 6.0f}, {1.0f, 6.0f}});

        FXTypeSpray& nest = Add<FXTypeSpray>("nest");
        SetProperty(nest, "Emitter_Loop", true);
        SetProperty(nest, "Emitter_Direction", 1);
        SetProperty(nest, "Particle_Fx", "debris");
        SetProperty(nest, "Particle_Dynamics", 4);
        Curve(nest, "Emitter_Rate", {{0.0f, 2.0f}, {1.0f, 2.0f}});
        Curve(nest, "Particle_Speed", {{0.0f, 3.0f}, {1.0f, 3.0f}});

        FXTypeSpray& well = Add<FXTypeSpray>("well");
        SetProperty(well, "Emitter_Loop", true);
        SetProperty(well, "Particle_Fx", "puff");
        SetProperty(well, "Particle_Dynamics", 10);
        Curve(well, "Emitter_Rate", {{0.0f, 15.0f}, {1.0f, 15.0f}});
        Curve(well, "Gravwell_Strength", {{0.0f, 30.0f}, {1.0f, 10.0f}});
        Curve(well, "Particle_Speed", {{0.0f, 2.0f}, {1.0f, 2.0f}});
        SetConstantCurve(well, "Emitter_Volume", Vector3{4.0f, 4.0f, 4.0f});
    }

    StepRecord Record() {
        StepRecord record;
        record.live = Manager().LiveCount();
        std::vector<uint64_t> transforms;
        for (const FXRecord& instance : Manager().Records()) {
            Matrix4 transform;
            EXPECT_TRUE(Manager().GetTransform(Manager().HandleOf(instance), transform));
            Hash hash;
            hash.Add(transform.m);
            transforms.push_back(hash.Value());
        }
        record.transforms = HashOfSet(std::move(transforms));
        const auto& draws = m_scene.Device().Draws();
        record.draws = draws.size();
        std::vector<uint64_t> pieces;
        for (const RecordedDraw& draw : draws) {
            const size_t size = PieceSize(draw);
            for (size_t first = 0; first + size <= draw.vertices.size(); first += size) {
                Hash hash;
                hash.Add(draw.primitive);
                hash.Add(draw.states.enabled);
                hash.Add(draw.states.blendMode);
                hash.Add(draw.states.pointSize);
                hash.Add(draw.binding);
                hash.Add(draw.vertices.data() + first, size * sizeof(RenderVertex));
                pieces.push_back(hash.Value());
            }
        }
        record.vertices = HashOfSet(std::move(pieces));
        return record;
    }

    std::vector<StepRecord> Run() {
        FXManager& manager = Manager();
        const FXHandle fountain = manager.Create("fountain", nullptr);
        manager.Create("nest", nullptr);
        const FXHandle halo = manager.Create("halo", nullptr);
        manager.SetTransform(halo, At({-6.0f, 8.0f, -4.0f}));
        std::vector<StepRecord> records;
        for (int step = 0; step < kSteps; ++step) {
            // The fountain circles, so emission is spread along its path.
            const float angle = static_cast<float>(step) * 0.05f;
            Matrix4 placement;
            placement.SetTranslation({8.0f * std::cos(angle), 0.0f, 8.0f * std::sin(angle)});
            manager.SetTransform(fountain, placement);
            manager.SetVelocity(fountain, {-8.0f * std::sin(angle), 0.0f, 8.0f * std::cos(angle)});
            manager.Update(step % 3 == 0 ? 0.05f : 1.0f / 60.0f);
            m_scene.Render();
            records.push_back(Record());
        }
        return records;
    }

    TestStyleScene m_scene;
};

TEST_F(FXSeededRun, RepeatsTheRecordedRunBitForBit) {
    const std::vector<StepRecord> records = Run();
    const std::string path = std::string(SPARV_TEST_DATA) + "/runtime/seeded_run.txt";
    if (std::getenv("SPARV_UPDATE_REFERENCES")) {
        std::ofstream out(path);
        out << "# step live-instances draws transforms-hash vertices-hash\n";
        for (size_t step = 0; step < records.size(); ++step)
            out << Line(static_cast<int>(step), records[step]) << '\n';
        return;
    }
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    std::vector<std::string> expected;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#')
            expected.push_back(line);
    ASSERT_EQ(expected.size(), records.size());
    // The scene must stay busy enough to mean something.
    EXPECT_GT(records.back().live, 100u);
    for (size_t step = 0; step < records.size(); ++step)
        ASSERT_EQ(Line(static_cast<int>(step), records[step]), expected[step])
            << "the run departs from the recorded one at step " << step;
}

} // namespace
