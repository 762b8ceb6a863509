#include "definitions/FXVariable.h"

#include "pool/MemCRT.h"

#include <cstring>
#include <gtest/gtest.h>
#include <limits>

namespace {

long LiveVariableBuffers() {
    return MemCRTLiveBlocks(kVariableAllocCategory);
}

TEST(FXVariable, KindNamesRoundTripAndRejectNearMisses) {
    for (int type = 0; type < VARTYPE_NONE; ++type) {
        VarType parsed = VARTYPE_NONE;
        ASSERT_TRUE(VarTypeFromName(VarTypeName(type), parsed));
        EXPECT_EQ(parsed, type);
    }
    EXPECT_STREQ(VarTypeName(VARTYPE_NONE), "");
    EXPECT_STREQ(VarTypeName(-1), "");
    EXPECT_STREQ(VarTypeName(13), "");
    VarType parsed = VARTYPE_NONE;
    EXPECT_FALSE(VarTypeFromName("vartype_float", parsed));
    EXPECT_FALSE(VarTypeFromName("VARTYPE_NONE", parsed));
    EXPECT_FALSE(VarTypeFromName("", parsed));
    EXPECT_EQ(parsed, VARTYPE_NONE);
}

TEST(FXVariable, AssigningEmptyKeepsTheTargetAndCopyOfEmptyIsEmpty) {
    FXVariable value;
    value.SetFloat(2.5f);
    const FXVariable empty;
    value = empty;
    ASSERT_EQ(value.GetType(), VARTYPE_FLOAT);
    EXPECT_EQ(value.GetFloat(), 2.5f);
    value = value; // self-assignment keeps the value
    EXPECT_EQ(value.GetFloat(), 2.5f);
    const FXVariable copy(empty);
    EXPECT_TRUE(copy.IsEmpty());
}

TEST(FXVariable, BuffersAreOwnedReleasedAndDeepCopied) {
    const long before = LiveVariableBuffers();
    {
        FXVariable text;
        text.SetString("short");
        EXPECT_EQ(LiveVariableBuffers(), before + 1);
        text.SetString("a much longer string than before");
        EXPECT_EQ(LiveVariableBuffers(), before + 1);
        text.SetString(text.String()); // from its own buffer
        EXPECT_STREQ(text.String(), "a much longer string than before");

        FXVariable copy(text);
        EXPECT_EQ(LiveVariableBuffers(), before + 2);
        EXPECT_NE(copy.String(), text.String());
        EXPECT_TRUE(copy == text);

        const TimeFloat keys[] = {{0.0f, 1.0f}, {1.0f, 2.0f}};
        copy.SetArrayTimeFloat(keys); // replaces the string buffer
        EXPECT_EQ(LiveVariableBuffers(), before + 2);
        FXVariable moved(std::move(copy));
        EXPECT_EQ(LiveVariableBuffers(), before + 2);
        EXPECT_EQ(moved.Count(), 2u);
        text.Clear();
        text.Clear();
        EXPECT_EQ(LiveVariableBuffers(), before + 1);
        text.SetInt(3); // scalars never touch the heap
        EXPECT_EQ(LiveVariableBuffers(), before + 1);
    }
    EXPECT_EQ(LiveVariableBuffers(), before);
}

TEST(FXVariable, TimeColourSetterReusesABufferOfTheSameLength) {
    FXVariable value;
    TimeColour keys[] = {{0.0f, {1, 0, 0, 1}}, {1.0f, {0, 0, 1, 1}}};
    value.SetArrayTimeColour(keys);
    const TimeColour* buffer = value.TimeColours().data();
    keys[1].value.g = 0.5f;
    value.SetArrayTimeColour(keys);
    EXPECT_EQ(value.TimeColours().data(), buffer);
    EXPECT_EQ(value.TimeColours()[1].value.g, 0.5f);

    FXVariable other;
    other.SetArrayTimeColour(keys);
    value = other; // assignment of the same length reuses it too
    EXPECT_EQ(value.TimeColours().data(), buffer);

    const TimeColour three[] = {keys[0], keys[1], keys[1]};
    value.SetArrayTimeColour(three);
    EXPECT_EQ(value.Count(), 3u);
}

// A getter of another kind fails, leaves a scalar out alone and empties an array out.
TEST(FXVariable, GettersRefuseOtherKinds) {
    FXVariable colour;
    colour.SetColour({0.1f, 0.2f, 0.3f, 0.4f});
    Vector3 vector{7, 8, 9};
    EXPECT_FALSE(colour.GetVector3(vector));
    EXPECT_EQ(vector, (Vector3{7, 8, 9}));
    std::vector<float> floats = {1, 2, 3};
    EXPECT_FALSE(colour.GetArrayFloat(floats));
    EXPECT_TRUE(floats.empty());
    const char* text = "untouched";
    EXPECT_FALSE(colour.GetString(text));
    EXPECT_STREQ(text, "untouched");
    EXPECT_TRUE(colour.TimeFloats().empty());

    FXVariable timed;
    const TimeVector3 keys[] = {{0, {1, 1, 1}}, {1, {2, 2, 2}}};
    timed.SetArrayTimeVector3(keys);
    std::vector<Vector3> stale = {{1, 1, 1}};
    EXPECT_FALSE(timed.GetArrayVector3(stale));
    EXPECT_TRUE(stale.empty());

    timed.SetArrayFloat({}); // an empty array is still an array
    EXPECT_EQ(timed.GetType(), VARTYPE_ARRAY_FLOAT);
    floats = {1};
    EXPECT_TRUE(timed.GetArrayFloat(floats));
    EXPECT_TRUE(floats.empty());
}

TEST(TimeKeyedEvaluation, FloatsBlendBetweenKeysHitKeysExactlyAndNeverDivideByZero) {
    const std::vector<TimeFloat> two{{0.0f, 2.0f}, {1.0f, 4.0f}};
    const std::vector<TimeFloat> three{{0.0f, 0.1f}, {0.3f, 0.7f}, {1.0f, 0.9f}};
    const std::vector<TimeFloat> sameTime{{0.5f, 1.0f}, {0.5f, 3.0f}, {1.0f, 3.0f}};
    const struct {
        std::vector<TimeFloat> keys;
        float t;
        float expected;
        bool exact; // a key's own value; otherwise a blend, within 4 ulps
    } rows[] = {
        {two, 0.5f, 3.0f, false},
        {two, 0.0f, 2.0f, true},
        {two, 1.0f, 4.0f, true},
        {three, 0.3f, 0.7f, true},
        {three, 0.65f, 0.8f, false},
        {{}, 0.5f, 0.0f, true},
        {{{0.5f, 7.0f}}, 0.0f, 7.0f, true}, // one key: its value throughout
        {{{0.5f, 7.0f}}, 2.0f, 7.0f, true},
        // Before the first key's time the first segment carries on, unclamped (f = -0.25).
        {{{0.2f, 1.0f}, {1.0f, 3.0f}}, 0.0f, 0.5f, false},
        {sameTime, 0.0f, 1.0f, true},
        {sameTime, 0.5f, 1.0f, true},
        {sameTime, 0.75f, 3.0f, true},
    };
    for (const auto& row : rows) {
        const float value = EvaluateTimeFloat(row.keys, row.t);
        if (row.exact)
            EXPECT_EQ(value, row.expected) << "t = " << row.t;
        else
            EXPECT_FLOAT_EQ(value, row.expected) << "t = " << row.t;
    }
}

TEST(TimeKeyedEvaluation, EqualNeighboursGiveExactlyTheirValue) {
    const float odd = 0.1f + 0.2f;
    const TimeFloat keys[] = {{0.0f, odd}, {0.7f, odd}, {1.0f, 5.0f}};
    for (float t = 0.0f; t <= 0.7f; t += 0.013f)
        EXPECT_EQ(EvaluateTimeFloat(keys, t), odd) << t;
    const TimeVector3 vectors[] = {{0.0f, {odd, odd, odd}}, {1.0f, {odd, odd, odd}}};
    EXPECT_EQ(EvaluateTimeVector3(vectors, 0.37f), (Vector3{odd, odd, odd}));
}

TEST(TimeKeyedEvaluation, VectorsAndColoursBlendEveryComponentAsFloatsDo) {
    const TimeVector3 vectors[] = {{0.0f, {0, 0, 0}}, {0.5f, {2, 4, 6}}};
    EXPECT_EQ(EvaluateTimeVector3(vectors, 0.25f), (Vector3{1, 2, 3}));
    EXPECT_EQ(EvaluateTimeVector3(vectors, 1.0f), (Vector3{2, 4, 6}));
    const TimeVector3 late[] = {{0.5f, {1, 0, 0}}, {1.0f, {2, 0, 0}}};
    EXPECT_FLOAT_EQ(EvaluateTimeVector3(late, 0.0f).x, 0.0f); // f = -1

    const Colour c = EvaluateTimeColour(
        std::vector<TimeColour>{{0.0f, {0, 1, 0.5f, 0}}, {1.0f, {1, 0, 0.5f, 1}}}, 0.25f);
    EXPECT_FLOAT_EQ(c.r, 0.25f);
    EXPECT_FLOAT_EQ(c.g, 0.75f);
    EXPECT_FLOAT_EQ(c.b, 0.5f);
    EXPECT_FLOAT_EQ(c.a, 0.25f);
    const TimeColour colours[] = {{0.0f, {0, 0, 0, 0}}, {0.5f, {1, 1, 1, 1}}};
    EXPECT_EQ(EvaluateTimeColour(colours, 0.9f), (Colour{1, 1, 1, 1}));
    const TimeColour fading[] = {{0.5f, {1, 1, 1, 1}}, {1.0f, {0, 0, 0, 0}}};
    EXPECT_FLOAT_EQ(EvaluateTimeColour(fading, 0.25f).r, 1.5f); // f = -0.5
}

TEST(TimeKeyedEvaluation, TwoKeyColourCurvesAnswerInlineWhatTheSearchAnswers) {
    const std::vector<std::vector<TimeColour>> curves = {
        {{0.0f, {1, 0, 0, 1}}, {1.0f, {0, 1, 0, 1}}},
        {{0.3f, {0.1f, 0.7f, 0.2f, 0.9f}}, {0.6f, {0.8f, 0.3f, 0.6f, 0.1f}}},
        {{0.5f, {1, 1, 1, 1}}, {0.5f, {0, 0, 0, 0}}}, // two keys at one time
        {{0.8f, {1, 0, 1, 0}}, {0.2f, {0, 1, 0, 1}}}, // out of order, as a hand-written file may be
    };
    const float times[] = {-1.0f, 0.0f, 0.2f, 0.3f, 0.4999f, 0.5f, 0.55f, 0.8f, 1.0f, 2.0f};
    for (const auto& keys : curves)
        for (const float t : times) {
            const Colour inlined = EvaluateTimeColour(keys, t);
            const Colour searched = EvaluateTimeColourKeys(keys, t);
            EXPECT_EQ(std::memcmp(&inlined, &searched, sizeof inlined), 0)
                << keys[0].time << " " << t;
        }
}

} // namespace
