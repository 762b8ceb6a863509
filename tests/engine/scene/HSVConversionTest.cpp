#include "scene/HSVConversion.h"

#include <array>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Triple = std::array<float, 3>;

Triple ToHSV(const Triple& rgb) {
    Triple hsv{};
    HSVConversion::RGBToHSV(rgb[0], rgb[1], rgb[2], hsv[0], hsv[1], hsv[2]);
    return hsv;
}

Triple ToRGB(const Triple& hsv) {
    Triple rgb{};
    HSVConversion::HSVToRGB(hsv[0], hsv[1], hsv[2], rgb[0], rgb[1], rgb[2]);
    return rgb;
}

void ExpectNear(const Triple& actual, const Triple& expected, float tolerance, const char* what) {
    for (size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance)
            << what << " component " << i << " of (" << expected[0] << ", " << expected[1] << ", "
            << expected[2] << ")";
}

TEST(HSVConversion, KnownColoursHaveTheirHueOnTheUnitCircle) {
    struct Row {
        Triple rgb;
        Triple hsv;
    };
    const std::vector<Row> rows = {
        {{1, 0, 0}, {0, 1, 1}},
        {{1, 1, 0}, {1.0f / 6, 1, 1}},
        {{0, 1, 0}, {1.0f / 3, 1, 1}},
        {{0, 1, 1}, {0.5f, 1, 1}},
        {{0, 0, 1}, {2.0f / 3, 1, 1}},
        {{1, 0, 1}, {5.0f / 6, 1, 1}},
        {{0.5f, 0.25f, 0.25f}, {0, 0.5f, 0.5f}},
        {{1, 0.5f, 0}, {1.0f / 12, 1, 1}},
    };
    for (const Row& row : rows) {
        ExpectNear(ToHSV(row.rgb), row.hsv, 1e-6f, "to HSV");
        ExpectNear(ToRGB(row.hsv), row.rgb, 1e-6f, "to RGB");
    }
    ExpectNear(ToRGB({1.0f, 1.0f, 1.0f}), {1, 0, 0}, 1e-6f, "hue 1 is red again");
}

TEST(HSVConversion, GreysHaveNoHueOrSaturation) {
    for (float grey : {0.0f, 0.2f, 0.5f, 1.0f}) {
        const Triple hsv = ToHSV({grey, grey, grey});
        EXPECT_EQ(hsv[0], 0.0f);
        EXPECT_EQ(hsv[1], 0.0f);
        EXPECT_EQ(hsv[2], grey);
        // Whatever the hue, no saturation is grey.
        ExpectNear(ToRGB({0.7f, 0.0f, grey}), {grey, grey, grey}, 0.0f, "grey");
    }
}

TEST(HSVConversion, RoundTripsGiveTheColourBack) {
    constexpr int kSteps = 12;
    for (int r = 0; r <= kSteps; ++r)
        for (int g = 0; g <= kSteps; ++g)
            for (int b = 0; b <= kSteps; ++b) {
                const Triple rgb = {static_cast<float>(r) / kSteps, static_cast<float>(g) / kSteps,
                                    static_cast<float>(b) / kSteps};
                const Triple hsv = ToHSV(rgb);
                for (float component : hsv) {
                    EXPECT_GE(component, 0.0f);
                    EXPECT_LT(component, 1.0f + 1e-7f);
                }
                EXPECT_LT(hsv[0], 1.0f);
                ExpectNear(ToRGB(hsv), rgb, 1e-5f, "RGB round trip");
            }
    // The other way, where hue and saturation mean something (saturation and value > 0).
    for (int h = 0; h < 24; ++h)
        for (int s = 1; s <= 8; ++s)
            for (int v = 1; v <= 8; ++v) {
                const Triple hsv = {static_cast<float>(h) / 24, static_cast<float>(s) / 8,
                                    static_cast<float>(v) / 8};
                ExpectNear(ToHSV(ToRGB(hsv)), hsv, 1e-5f, "HSV round trip");
            }
}

} // namespace
