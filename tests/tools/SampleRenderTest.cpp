// Every top-level sample effect, rendered headless at two moments of its life, matches
// the pictures kept in tests/data/samples (looked at when they were made). Run with
// SPARV_UPDATE_REFERENCES=1 to make them anew.
#include "SparvFx.h"
#include "scene/Image.h"
#include "support/ReferencePicture.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

struct SampleMoment {
    const char* name;
    const char* time;
};

constexpr SampleMoment kMoments[] = {
    {"explosion", "0.15"},
    {"explosion", "0.8"},
    {"sparks", "0.3"},
    {"sparks", "1.2"},
    {"smoke_puff", "1.2"},
    {"fire", "0.5"},
    {"fire", "2"},
    {"laser", "1"},
    {"engine", "6"},
    {"hyperspace_window", "0.5"},
    {"hyperspace_window", "2"},
    {"sun_flare", "1"},
    {"shockwave", "0.6"},
    {"muzzle_flash", "0.2"},
    {"muzzle_flash", "1.5"},
    {"vortex", "3"},
    {"ripples", "3"},
    {"ground_dust", "0.8"},
    {"rain", "2"},
    {"confetti", "1"},
};

class SampleRender : public testing::TestWithParam<SampleMoment> {};

TEST_P(SampleRender, MatchesItsPicture) {
    const SampleMoment& moment = GetParam();
    const std::string file = std::string(moment.name) + "_" + moment.time + ".png";
    const std::string drawn = testing::TempDir() + "drawn_" + file;
    const CommandResult result =
        SparvFx(std::string("render ") + moment.name + " --wkdir " + kSamples + " --time " +
                moment.time + " --size 192x108 --camera 30,-30,16 -o " + ShellQuote(drawn));
    if (result.status != 0 && result.err.find("without OpenGL") != std::string::npos) {
        std::string reason = result.err;
        SPARV_REQUIRE_HEADLESS_GL(false, reason);
    }
    ASSERT_EQ(result.status, 0) << result.err;
    Image picture;
    std::string reason;
    ASSERT_TRUE(ReadImage(drawn, picture, &reason)) << reason;
    std::filesystem::remove(drawn);
    ExpectMatchesReference(picture, "../samples/" + file, 4);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleRender, testing::ValuesIn(kMoments),
                         [](const testing::TestParamInfo<SampleMoment>& row) {
                             std::string name = std::string(row.param.name) + "_" + row.param.time;
                             for (char& c : name)
                                 if (c == '.')
                                     c = '_';
                             return name;
                         });

} // namespace
