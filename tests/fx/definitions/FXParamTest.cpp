#include "definitions/FXParam.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

FXVariable Float(float v) {
    FXVariable value;
    value.SetFloat(v);
    return value;
}

FXVariable Int(int32_t v) {
    FXVariable value;
    value.SetInt(v);
    return value;
}

FXVariable TimeFloats(std::initializer_list<TimeFloat> keys) {
    FXVariable value;
    value.SetArrayTimeFloat(std::span<const TimeFloat>(keys.begin(), keys.size()));
    return value;
}

TEST(FXParam, FloatsTakeTheirInclusiveRangeOnlyOrAnyFloat) {
    float field = 0.5f;
    FXParamFloat param("Alpha", "Alpha value (0.0-1.0)", &field, 0.0f, 1.0f);
    EXPECT_FALSE(param.Write(Float(1.5f)));
    EXPECT_EQ(field, 0.5f);
    EXPECT_FALSE(param.Write(Float(std::nanf(""))));
    EXPECT_FALSE(param.Write(Int(1)));
    EXPECT_EQ(field, 0.5f);
    EXPECT_TRUE(param.Write(Float(1.0f)));
    EXPECT_EQ(field, 1.0f);
    EXPECT_TRUE(param.Write(Float(0.0f)));
    FXVariable read;
    param.Read(read);
    EXPECT_EQ(read.GetType(), VARTYPE_FLOAT);
    EXPECT_EQ(read.GetFloat(), 0.0f);

    FXParamFloat unranged("Speed", "", &field);
    EXPECT_TRUE(unranged.Write(Float(-1e30f)));
    EXPECT_TRUE(unranged.Write(Float(std::numeric_limits<float>::infinity())));
    double minimum = 0, maximum = 0;
    EXPECT_FALSE(unranged.Range(minimum, maximum));
}

TEST(FXParam, IntsBoolsStringsAndColoursCheckTheirKind) {
    int32_t count = 1;
    FXParamInt ranged("Mode", "", &count, 0, 2);
    EXPECT_FALSE(ranged.Write(Int(3)));
    EXPECT_FALSE(ranged.Write(Float(1.0f)));
    EXPECT_TRUE(ranged.Write(Int(2)));
    EXPECT_EQ(count, 2);

    bool flag = false;
    FXParamBool boolean("Loop", "", &flag);
    FXVariable on;
    on.SetBool(true);
    EXPECT_FALSE(boolean.Write(Int(1)));
    EXPECT_TRUE(boolean.Write(on));
    EXPECT_TRUE(flag);

    std::string text = "dot";
    FXParamString string("Particle_Fx", "", &text);
    FXVariable spark;
    spark.SetString("spark");
    EXPECT_FALSE(string.Write(Float(0)));
    EXPECT_TRUE(string.Write(spark));
    EXPECT_EQ(text, "spark");

    Colour colour{};
    FXParamColour colourParam("Colour", "", &colour);
    FXVariable red;
    red.SetColour({1, 0, 0, 1});
    EXPECT_TRUE(colourParam.Write(red));
    EXPECT_EQ(colour, (Colour{1, 0, 0, 1}));
    EXPECT_FALSE(colourParam.Write(spark));
}

TEST(FXParam, TimeFloatRangeAppliesToValuesNotTimes) {
    FXVariable field = TimeFloats({{0, 1}, {1, 1}});
    FXParamTimeFloat param("Rate", "", &field, 0.0f, 10.0f);
    EXPECT_TRUE(param.Write(TimeFloats({{-5, 0}, {7, 10}})));
    EXPECT_EQ(field.TimeFloats()[1].value, 10.0f);
    EXPECT_FALSE(param.Write(TimeFloats({{0, 0}, {1, 10.5f}})));
    EXPECT_EQ(field.TimeFloats()[1].value, 10.0f);
    EXPECT_FALSE(param.Write(Float(1)));
}

TEST(FXParam, NonNegativeTimeVectorsRefuseAnyNegativeComponent) {
    FXVariable field;
    const TimeVector3 start[] = {{0, {0, 0, 0}}, {1, {0, 0, 0}}};
    field.SetArrayTimeVector3(start);
    FXParamTimeVector3 volume("Emitter_Volume", "", &field, true);
    FXParamTimeVector3 offset("Emitter_Offset", "", &field, false);
    FXVariable negative;
    const TimeVector3 keys[] = {{0, {1, 2, 3}}, {1, {1, -0.001f, 3}}};
    negative.SetArrayTimeVector3(keys);
    EXPECT_FALSE(volume.Write(negative));
    EXPECT_EQ(field.TimeVector3s()[1].value, (Vector3{0, 0, 0}));
    EXPECT_TRUE(offset.Write(negative));
    EXPECT_EQ(field.TimeVector3s()[1].value.y, -0.001f);
}

} // namespace
