// Every style's parameter table, row by row: order, name, kind, range, default and
// description. The rows are written out here independently of the style constructors on
// purpose: a typo, a missing blank or a swapped row in a constructor shows up as a
// mismatch with this copy.
#include "definitions/FXParam.h"
#include "definitions/FXStyle.h"
#include "definitions/FXTypeFactory.h"

#include <charconv>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct ParamRow {
    int style;
    int number; // 1-based position in the style's table
    const char* name;
    VarType kind;
    // "" for none, "min to max" (inclusive), or ">= 0" for vectors with non-negative
    // components.
    const char* range;
    // The default: numbers such as "(0.0, (1,0,0,1)), (1.0, (0,1,0,1))", where brackets
    // and commas only separate them; the text itself for strings.
    const char* value;
    const char* description;
};

// clang-format off
const ParamRow kRows[] = {
    // STYLE_SPRAY
    {STYLE_SPRAY, 1, "Emitter_Duration", VARTYPE_FLOAT, "0.0 to 30.0", "5.0", "Emitter duration, in seconds"},
    {STYLE_SPRAY, 2, "Emitter_Loop", VARTYPE_BOOL, "", "false", ""},
    {STYLE_SPRAY, 3, "Emitter_ScaleSpeed", VARTYPE_BOOL, "", "false", "Scale the speed of particles by the fx_scale parameter"},
    {STYLE_SPRAY, 4, "Emitter_Direction", VARTYPE_INT, "0 to 2", "0", "0: Normal, 1: World Up, 2: World Down"},
    {STYLE_SPRAY, 5, "Emitter_InheritVelocity", VARTYPE_FLOAT, "0.0 to 1.0", "0.0", "Percentage of parents velocity that is inherited by particles.  0.0 to 1.0"},
    {STYLE_SPRAY, 6, "Emitter_Drag", VARTYPE_FLOAT, "0.0 to 1.0", "1.0", "Speed at which the velocity of a particle decays.  0.0 to 1.0"},
    {STYLE_SPRAY, 7, "Emitter_Rate", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 10000.0", "(0.0, 50.0), (1.0, 0.0)", "Number of particles emitted in a second"},
    {STYLE_SPRAY, 8, "Emitter_Rate_LOD%", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 100.0", "(0.0, 0.0), (1.0, 0.0)", "Percentage of the rate that we can reduce emission to."},
    {STYLE_SPRAY, 9, "Emitter_Deviation", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 360.0", "(0.0, 0.0), (1.0, 180.0)", "Cone of emission, in degrees"},
    {STYLE_SPRAY, 10, "Emitter_Volume", VARTYPE_ARRAY_TIMEVECTOR3, ">= 0", "(0.0, (0,0,0)), (1.0, (0,0,0))", ""},
    {STYLE_SPRAY, 11, "Emitter_Offset", VARTYPE_ARRAY_TIMEVECTOR3, "", "(0.0, (0,0,0)), (1.0, (0,0,0))", ""},
    {STYLE_SPRAY, 12, "Particle_Speed", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 1000000.0", "(0.0, 10.0), (1.0, 10.0)", ""},
    {STYLE_SPRAY, 13, "Emitter_RotRate", VARTYPE_ARRAY_TIMEFLOAT, "-720.0 to 720.0", "(0.0, 0.0), (1.0, 0.0)", "Emitter rotation rate, in degrees / second"},
    {STYLE_SPRAY, 14, "Particle_Fx", VARTYPE_STRING, "", "dot", "Name of fx to be used as a particle"},
    {STYLE_SPRAY, 15, "Particle_Dynamics", VARTYPE_INT, "0 to 10", "0", "0:Forw, 1:Grav(Die), 2:Grav(Bounce) 3:Grav(Stick), 4:Wind, 5:Water, 6:Local, 7:Land, 8:Grav(Ignore), 9:Surface, 10:Gravwell"},
    {STYLE_SPRAY, 16, "Gravwell_Strength", VARTYPE_ARRAY_TIMEFLOAT, "-10000.0 to 10000.0", "(0.0, 9.81), (1.0, 9.81)", "The strength at which a Gravwell dynamic is applied"},
    {STYLE_SPRAY, 17, "Particle_Scale", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 10000.0", "(0.0, 1.0), (1.0, 1.0)", "Multiplies the scale of spawned fx depending on the age of the emitter"},
    {STYLE_SPRAY, 18, "Force_First", VARTYPE_BOOL, "", "false", "Force a spawn of one particle the first frame"},
    // STYLE_RING
    {STYLE_RING, 1, "Radius", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 10000.0", "(0.0, 0.0), (1.0, 5.0)", ""},
    {STYLE_RING, 2, "Offset", VARTYPE_ARRAY_TIMEVECTOR3, "", "(0.0, (0,0,0)), (1.0, (0,0,0))", ""},
    {STYLE_RING, 3, "SpinX", VARTYPE_ARRAY_TIMEFLOAT, "-360.0 to 360.0", "(0.0, 0.0), (1.0, 0.0)", "Spin around X axis in Degrees"},
    {STYLE_RING, 4, "SpinY", VARTYPE_ARRAY_TIMEFLOAT, "-360.0 to 360.0", "(0.0, 0.0), (1.0, 0.0)", "Spin around Y axis in Degrees"},
    {STYLE_RING, 5, "SpinZ", VARTYPE_ARRAY_TIMEFLOAT, "-360.0 to 360.0", "(0.0, 0.0), (1.0, 0.0)", "Spin around Z axis in Degrees (used for billboards)"},
    {STYLE_RING, 6, "Colour", VARTYPE_ARRAY_TIMECOLOUR, "", "(0.0, (1,0,0,1)), (1.0, (0,1,0,1))", ""},
    {STYLE_RING, 7, "RadiusEpsilon", VARTYPE_FLOAT, "0.0 to 1.0", "0.0", "Radius random modifier (0.0-1.0)"},
    {STYLE_RING, 8, "RateEpsilon", VARTYPE_FLOAT, "0.0 to 1.0", "0.0", "Rate random modifier (0.0-1.0)"},
    {STYLE_RING, 9, "SpinEpsilonX", VARTYPE_FLOAT, "0.0 to 1.0", "0.0", "Spin random modifier in X (0.0-1.0)"},
    {STYLE_RING, 10, "SpinEpsilonY", VARTYPE_FLOAT, "0.0 to 1.0", "0.0", "Spin random modifier in Y (0.0-1.0)"},
    {STYLE_RING, 11, "SpinEpsilonZ", VARTYPE_FLOAT, "0.0 to 1.0", "0.0", "Spin random modifier in Z (0.0-1.0)"},
    {STYLE_RING, 12, "SpinRandom", VARTYPE_BOOL, "", "false", "Spin random direction"},
    {STYLE_RING, 13, "Duration", VARTYPE_FLOAT, "0.1 to 500.0", "5.0", ""},
    {STYLE_RING, 14, "UseMesh", VARTYPE_BOOL, "", "false", "Set to true to use a mesh instead of a texture"},
    {STYLE_RING, 15, "UseDepthTest", VARTYPE_BOOL, "", "false", "Set to true to allow depth sorting of mesh"},
    {STYLE_RING, 16, "UseDepthSort", VARTYPE_BOOL, "", "false", "Depth Sort the particles of this type"},
    {STYLE_RING, 17, "Loop", VARTYPE_BOOL, "", "false", ""},
    {STYLE_RING, 18, "AlternateFOV", VARTYPE_BOOL, "", "false", "Use the alternate FOV (for rendering FX on the background)"},
    {STYLE_RING, 19, "Billboard", VARTYPE_BOOL, "", "false", ""},
    {STYLE_RING, 20, "SelfIlluminated", VARTYPE_BOOL, "", "false", ""},
    {STYLE_RING, 21, "Blending", VARTYPE_INT, "0 to 4", "1", "0: None, 1: Alpha, 2: Additive, 3: Multiply, 4: AdditiveAlpha"},
    {STYLE_RING, 22, "Texture", VARTYPE_STRING, "", "Data:art/fx/point.tga", "Name of texture"},
    {STYLE_RING, 23, "Mesh", VARTYPE_STRING, "", "Data:art/fx/box.kmo", "Name of mesh"},
    {STYLE_RING, 24, "Spawn_Fx", VARTYPE_STRING, "", "", "Name of fx that will be spawned when this one dies"},
    {STYLE_RING, 25, "BirthSpawn_Fx", VARTYPE_STRING, "", "", "Name of fx that will be spawned when this one is created, attached to it"},
    {STYLE_RING, 26, "RandomBitmap", VARTYPE_BOOL, "", "false", "Choose one frame from the animated texture to use"},
    {STYLE_RING, 27, "SortOrder", VARTYPE_INT, "", "0", "If not zero this value will be used to determine rendering order"},
    {STYLE_RING, 28, "DepthOffset", VARTYPE_FLOAT, "", "0.0", "For billboards this will adjust the depth of the ring, in the viewing direction"},
    {STYLE_RING, 29, "PointDistance", VARTYPE_FLOAT, "-1.0 to 3.4028235e38", "-1.0", "The distance from the camera at which the ring renders as a point (set to -1 for no points)"},
    // STYLE_BEAM
    {STYLE_BEAM, 1, "Duration", VARTYPE_FLOAT, "0.001 to 30.0", "5.0", ""},
    {STYLE_BEAM, 2, "Loop", VARTYPE_BOOL, "", "false", ""},
    {STYLE_BEAM, 3, "Blending", VARTYPE_INT, "0 to 4", "1", "0: None, 1: Alpha, 2: Additive, 3: Multiply, 4: AdditiveAlpha"},
    {STYLE_BEAM, 4, "Texture", VARTYPE_STRING, "", "Data:art/fx/point.tga", ""},
    {STYLE_BEAM, 5, "SelfIlluminated", VARTYPE_BOOL, "", "false", ""},
    {STYLE_BEAM, 6, "Offset", VARTYPE_ARRAY_TIMEVECTOR3, "", "(0.0, (0,0,0)), (1.0, (0,0,0))", ""},
    {STYLE_BEAM, 7, "Length", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 10000.0", "(0.0, 0.0), (1.0, 1.0)", "Scaled length of beam (0.0-1.0)"},
    {STYLE_BEAM, 8, "Noise", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 1.0", "(0.0, 0.0), (1.0, 0.5)", ""},
    {STYLE_BEAM, 9, "Segments", VARTYPE_ARRAY_TIMEFLOAT, "1.0 to 10.0", "(0.0, 1.0), (1.0, 1.0)", "Number of segments in beam (to be used with noise)"},
    {STYLE_BEAM, 10, "Texture_U_Offset", VARTYPE_ARRAY_TIMEFLOAT, "-10.0 to 10.0", "(0.0, 0.0), (1.0, 5.0)", ""},
    {STYLE_BEAM, 11, "Texture_U_Repeat", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 100.0", "(0.0, 1.0), (1.0, 5.0)", ""},
    {STYLE_BEAM, 12, "Width", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 10000.0", "(0.0, 1.0), (1.0, 1.0)", ""},
    {STYLE_BEAM, 13, "Colour", VARTYPE_ARRAY_TIMECOLOUR, "", "(0.0, (1,0,0,1)), (1.0, (0,1,0,1))", ""},
    {STYLE_BEAM, 14, "Arc", VARTYPE_ARRAY_TIMEVECTOR3, "", "(0.0, (0,0,0)), (1.0, (0,0,0))", ""},
    {STYLE_BEAM, 15, "LengthEpsilon", VARTYPE_FLOAT, "0.0 to 1.0", "0.0", "Length random modifier (0.0-1.0)"},
    {STYLE_BEAM, 16, "WidthEpsilon", VARTYPE_FLOAT, "0.0 to 1.0", "0.0", "Width random modifier (0.0-1.0)"},
    {STYLE_BEAM, 17, "LineDistance", VARTYPE_FLOAT, "-1.0 to 3.4028235e38", "-1.0", "The distance from the camera at which the beam renders as a line (set to -1 for no lines)"},
    // STYLE_TRAIL
    {STYLE_TRAIL, 1, "Length", VARTYPE_FLOAT, "0.1 to 5.0", "1.0", "Length, in seconds"},
    {STYLE_TRAIL, 2, "Width", VARTYPE_FLOAT, "0.01 to 1000.0", "1.0", ""},
    {STYLE_TRAIL, 3, "Blending", VARTYPE_INT, "0 to 4", "1", "0: None, 1: Alpha, 2: Additive, 3: Multiply, 4: AdditiveAlpha"},
    {STYLE_TRAIL, 4, "Texture", VARTYPE_STRING, "", "Data:art/fx/point.tga", ""},
    {STYLE_TRAIL, 5, "ColourHead", VARTYPE_COLOUR, "", "(1,1,1,1)", ""},
    {STYLE_TRAIL, 6, "ColourTail", VARTYPE_COLOUR, "", "(1,1,1,1)", ""},
    {STYLE_TRAIL, 7, "Billboard", VARTYPE_BOOL, "", "true", ""},
    {STYLE_TRAIL, 8, "DeathRate", VARTYPE_FLOAT, "1.0 to 15.0", "1.0", ""},
    {STYLE_TRAIL, 9, "FadeOutTime", VARTYPE_FLOAT, "0.0 to 1.0", "1.0", "Time, in seconds"},
    {STYLE_TRAIL, 10, "Duration", VARTYPE_FLOAT, "0.1 to 100.0", "100.0", "Duration, in seconds"},
    {STYLE_TRAIL, 11, "LengthEpsilon", VARTYPE_FLOAT, "0.0 to 1.0", "0.0", "Length random modifier (0.0-1.0)"},
    {STYLE_TRAIL, 12, "DurationEpsilon", VARTYPE_FLOAT, "0.0 to 1.0", "0.0", "Duration random modifier (0.0-1.0)"},
    {STYLE_TRAIL, 13, "WidthEpsilon", VARTYPE_FLOAT, "0.0 to 1.0", "0.0", "Width random modifier (0.0-1.0)"},
    {STYLE_TRAIL, 14, "LineDistance", VARTYPE_FLOAT, "-1.0 to 3.4028235e38", "-1.0", "The distance from the camera at which the beam renders as a line (set to -1 for no lines)"},
    // STYLE_COMBO
    {STYLE_COMBO, 1, "Fx1", VARTYPE_STRING, "", "", ""},
    {STYLE_COMBO, 2, "Fx2", VARTYPE_STRING, "", "", ""},
    {STYLE_COMBO, 3, "FX3", VARTYPE_STRING, "", "", ""},
    {STYLE_COMBO, 4, "FX4", VARTYPE_STRING, "", "", ""},
    {STYLE_COMBO, 5, "FX5", VARTYPE_STRING, "", "", ""},
    {STYLE_COMBO, 6, "FX6", VARTYPE_STRING, "", "", ""},
    {STYLE_COMBO, 7, "FX7", VARTYPE_STRING, "", "", ""},
    {STYLE_COMBO, 8, "FX8", VARTYPE_STRING, "", "", ""},
    // STYLE_CONDITIONAL
    {STYLE_CONDITIONAL, 1, "Fx1", VARTYPE_STRING, "", "", ""},
    {STYLE_CONDITIONAL, 2, "Fx2", VARTYPE_STRING, "", "", ""},
    // STYLE_LIGHT
    {STYLE_LIGHT, 1, "Radius", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 10000.0", "(0.0, 1.0), (1.0, 1.0)", ""},
    {STYLE_LIGHT, 2, "Colour", VARTYPE_ARRAY_TIMECOLOUR, "", "(0.0, (1,1,1,1)), (1.0, (1,1,1,1))", ""},
    {STYLE_LIGHT, 3, "Offset", VARTYPE_ARRAY_TIMEVECTOR3, "", "(0.0, (0,0,0)), (1.0, (0,0,0))", ""},
    {STYLE_LIGHT, 4, "Loop", VARTYPE_BOOL, "", "false", ""},
    {STYLE_LIGHT, 5, "Duration", VARTYPE_FLOAT, "0.1 to 500.0", "5.0", ""},
    {STYLE_LIGHT, 6, "Priority", VARTYPE_INT, "0 to 1", "0", "0 is high priority, 1 is low priority"},
    // STYLE_HYPERSPACE
    {STYLE_HYPERSPACE, 1, "Width", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 10000.0", "(0.0, 1.0), (1.0, 1.0)", ""},
    {STYLE_HYPERSPACE, 2, "Height", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 10000.0", "(0.0, 1.0), (1.0, 1.0)", ""},
    {STYLE_HYPERSPACE, 3, "Offset", VARTYPE_ARRAY_TIMEVECTOR3, "", "(0.0, (0,0,0)), (1.0, (0,0,0))", ""},
    {STYLE_HYPERSPACE, 4, "LineWidth", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 10.0", "(0.0, 1.0), (1.0, 1.0)", "The width of the vector lines"},
    {STYLE_HYPERSPACE, 5, "EdgeTexture_U_Offset", VARTYPE_ARRAY_TIMEFLOAT, "-10.0 to 10.0", "(0.0, 0.0), (1.0, 0.0)", ""},
    {STYLE_HYPERSPACE, 6, "EdgeTexture_U_Repeat", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 100.0", "(0.0, 1.0), (1.0, 1.0)", ""},
    {STYLE_HYPERSPACE, 7, "EdgeTexture2_U_Offset", VARTYPE_ARRAY_TIMEFLOAT, "-10.0 to 10.0", "(0.0, 0.0), (1.0, 0.0)", ""},
    {STYLE_HYPERSPACE, 8, "EdgeTexture2_U_Repeat", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 100.0", "(0.0, 1.0), (1.0, 1.0)", ""},
    {STYLE_HYPERSPACE, 9, "Colour", VARTYPE_ARRAY_TIMECOLOUR, "", "(0.0, (1,0,0,1)), (1.0, (0,1,0,1))", ""},
    {STYLE_HYPERSPACE, 10, "EdgeColour", VARTYPE_ARRAY_TIMECOLOUR, "", "(0.0, (1,1,1,1)), (1.0, (1,1,1,1))", "The colour of the vector edge"},
    {STYLE_HYPERSPACE, 11, "Duration", VARTYPE_FLOAT, "0.1 to 30.0", "5.0", ""},
    {STYLE_HYPERSPACE, 12, "Blending", VARTYPE_INT, "0 to 4", "1", "0: None, 1: Alpha, 2: Additive, 3: Multiply, 4: AdditiveAlpha"},
    {STYLE_HYPERSPACE, 13, "Texture", VARTYPE_STRING, "", "Data:art/fx/point.tga", "Name of texture"},
    {STYLE_HYPERSPACE, 14, "EdgeTexture", VARTYPE_STRING, "", "Data:art/fx/point.tga", "Name of edge texture"},
    {STYLE_HYPERSPACE, 15, "EdgeTexture2", VARTYPE_STRING, "", "Data:art/fx/point.tga", "Name of edge texture"},
    // STYLE_LENSFLARE
    {STYLE_LENSFLARE, 1, "Radius", VARTYPE_ARRAY_TIMEFLOAT, "0.0 to 10000.0", "(0.0, 1.0), (1.0, 1.0)", ""},
    {STYLE_LENSFLARE, 2, "Colour", VARTYPE_ARRAY_TIMECOLOUR, "", "(0.0, (1,0,0,1)), (1.0, (0,1,0,1))", ""},
    {STYLE_LENSFLARE, 3, "LensFlare", VARTYPE_STRING, "", "", "Name of LensFlare file"},
    {STYLE_LENSFLARE, 4, "Duration", VARTYPE_FLOAT, "0.1 to 500.0", "5.0", ""},
    {STYLE_LENSFLARE, 5, "Infinite", VARTYPE_BOOL, "", "false", "Does the lensflare appear on the background"},
};
// clang-format on

// The numbers of a default or range text, in order; brackets, commas and blanks
// separate them.
std::vector<float> Numbers(const char* text) {
    std::vector<float> numbers;
    const char* end = text + std::strlen(text);
    const char* p = text;
    while (p < end) {
        if (std::strchr("(), ", *p)) {
            ++p;
            continue;
        }
        float number = 0.0f;
        const auto [next, error] = std::from_chars(p, end, number);
        if (error != std::errc()) {
            ADD_FAILURE() << "bad number in \"" << text << "\"";
            break;
        }
        numbers.push_back(number);
        p = next;
    }
    return numbers;
}

// The numbers of a default text in consecutive groups of width (one group per key).
std::vector<std::vector<float>> Groups(const char* text, size_t width) {
    const std::vector<float> numbers = Numbers(text);
    EXPECT_EQ(numbers.size() % width, 0u) << text;
    std::vector<std::vector<float>> groups;
    for (size_t i = 0; i + width <= numbers.size(); i += width)
        groups.emplace_back(numbers.begin() + static_cast<std::ptrdiff_t>(i),
                            numbers.begin() + static_cast<std::ptrdiff_t>(i + width));
    return groups;
}

FXVariable Expected(const ParamRow& row) {
    FXVariable value;
    switch (row.kind) {
    case VARTYPE_FLOAT:
        value.SetFloat(Numbers(row.value).at(0));
        break;
    case VARTYPE_INT:
        value.SetInt(static_cast<int32_t>(Numbers(row.value).at(0)));
        break;
    case VARTYPE_BOOL:
        value.SetBool(std::strcmp(row.value, "true") == 0);
        break;
    case VARTYPE_STRING:
        value.SetString(row.value);
        break;
    case VARTYPE_COLOUR: {
        const auto c = Groups(row.value, 4).at(0);
        value.SetColour({c[0], c[1], c[2], c[3]});
        break;
    }
    case VARTYPE_ARRAY_TIMEFLOAT: {
        std::vector<TimeFloat> keys;
        for (const auto& g : Groups(row.value, 2))
            keys.push_back({g[0], g[1]});
        value.SetArrayTimeFloat(keys);
        break;
    }
    case VARTYPE_ARRAY_TIMEVECTOR3: {
        std::vector<TimeVector3> keys;
        for (const auto& g : Groups(row.value, 4))
            keys.push_back({g[0], {g[1], g[2], g[3]}});
        value.SetArrayTimeVector3(keys);
        break;
    }
    case VARTYPE_ARRAY_TIMECOLOUR: {
        std::vector<TimeColour> keys;
        for (const auto& g : Groups(row.value, 5))
            keys.push_back({g[0], {g[1], g[2], g[3], g[4]}});
        value.SetArrayTimeColour(keys);
        break;
    }
    default:
        ADD_FAILURE() << "no default notation for kind " << row.kind;
    }
    return value;
}

void ExpectRange(const ParamRow& row, const FXParam& param) {
    if (row.kind == VARTYPE_ARRAY_TIMEVECTOR3) {
        const auto* vectors = dynamic_cast<const FXParamTimeVector3*>(&param);
        ASSERT_NE(vectors, nullptr);
        EXPECT_EQ(vectors->NonNegative(), std::strcmp(row.range, ">= 0") == 0);
        return;
    }
    double minimum = 0.0, maximum = 0.0;
    const bool ranged = param.Range(minimum, maximum);
    if (!*row.range) {
        EXPECT_FALSE(ranged);
        return;
    }
    ASSERT_TRUE(ranged);
    const char* to = std::strstr(row.range, " to ");
    ASSERT_NE(to, nullptr) << row.range;
    const std::string low(row.range, to);
    // Limits are held as floats (ints exactly), so compare after rounding to float.
    EXPECT_EQ(static_cast<float>(minimum), Numbers(low.c_str()).at(0));
    EXPECT_EQ(static_cast<float>(maximum), Numbers(to + 4).at(0));
}

class FXStyleParamTable : public testing::TestWithParam<int> {};

TEST_P(FXStyleParamTable, MatchesTheDocumentedTable) {
    const int style = GetParam();
    std::vector<const ParamRow*> rows;
    for (const ParamRow& row : kRows)
        if (row.style == style)
            rows.push_back(&row);

    const std::shared_ptr<FXType> type = FXNewType(style, "t");
    ASSERT_NE(type, nullptr);
    FXPropertyList properties;
    type->GetProperties(properties);
    ASSERT_EQ(properties.size(), rows.size());
    ASSERT_EQ(type->Params().size(), rows.size());

    auto property = properties.begin();
    for (size_t i = 0; i < rows.size(); ++i, ++property) {
        const ParamRow& row = *rows[i];
        SCOPED_TRACE(testing::Message()
                     << FXStyleName(style) << " #" << row.number << " " << row.name);
        EXPECT_EQ(row.number, static_cast<int>(i) + 1); // the table itself is in order
        EXPECT_EQ(property->name, row.name);
        EXPECT_EQ(property->description, row.description);
        EXPECT_EQ(property->value.GetType(), row.kind);
        EXPECT_TRUE(property->value == Expected(row));
        const FXParam& param = *type->Params()[i];
        EXPECT_EQ(param.Kind(), row.kind);
        ExpectRange(row, param);
    }
}

INSTANTIATE_TEST_SUITE_P(AllStyles, FXStyleParamTable, testing::Range(0, kStyleCount),
                         [](const testing::TestParamInfo<int>& style) {
                             return std::string(FXStyleName(style.param));
                         });

} // namespace
