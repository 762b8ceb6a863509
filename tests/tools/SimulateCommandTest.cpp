#include "SparvFx.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

namespace {

class Simulate : public testing::Test {
protected:
    void SetUp() override {
        // A one-second fountain of half-second flares, 20 a second, spread in a cone.
        m_dir.write("Data/art/fx/fountain.lua", R"(fx = { style = "STYLE_SPRAY", properties = {
    { name = "Emitter_Duration", type = "VARTYPE_FLOAT", value = 1 },
    { name = "Emitter_Rate", type = "VARTYPE_ARRAY_TIMEFLOAT", value = {0, 20, 1, 20} },
    { name = "Emitter_Deviation", type = "VARTYPE_ARRAY_TIMEFLOAT", value = {0, 90, 1, 90} },
    { name = "Particle_Fx", type = "VARTYPE_STRING", value = "flare" },
    { name = "Particle_Dynamics", type = "VARTYPE_INT", value = 8 },
} })");
        m_dir.write("Data/art/fx/flare.lua", R"(fx = { style = "STYLE_LENSFLARE", properties = {
    { name = "Duration", type = "VARTYPE_FLOAT", value = 0.5 },
} })");
    }

    static CommandResult Run(const std::string& args) { return SparvFx("simulate " + args); }

    TempWorkDir m_dir;
};

TEST_F(Simulate, PrintsOneLinePerStepWithTheLiveCounts) {
    const CommandResult result = Run("fountain --steps 40");
    ASSERT_EQ(result.status, 0) << result.err;
    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 40u);
    // 0.05 s steps at 20 a second: one flare per step. A flare is advanced by its step on
    // the step it is born, so it lives through ten steps: nine flares and the emitter.
    EXPECT_EQ(lines[0], R"({"step": 1, "time": 0.05, "live": 2, "updated": 1, "finished": 0, )"
                        R"("types": {"flare": 1, "fountain": 1}})");
    EXPECT_EQ(lines[14], R"({"step": 15, "time": 0.75, "live": 10, "updated": 10, )"
                         R"("finished": 0, "types": {"flare": 9, "fountain": 1}})");
    // The emitter ends after a second; its last flares after another half.
    EXPECT_NE(lines[39].find(R"("live": 0, )"), std::string::npos) << lines[39];
}

TEST_F(Simulate, TheSeedDecidesThePositions) {
    const std::string args = "fountain --steps 5 --positions";
    const CommandResult first = Run(args);
    const CommandResult again = Run(args + " --seed 0");
    const CommandResult other = Run(args + " --seed 7");
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find(R"("instances": [{"type": "fountain", "pos": [0, 0, 0]}, )"),
              std::string::npos)
        << first.out;
    EXPECT_EQ(first.out, again.out);
    EXPECT_NE(first.out, other.out);
}

TEST_F(Simulate, StepsLongerThanTheMaximumAreCut) {
    // One update of 5 s: cut to 1 s by default (the emitter's last flares still live),
    // whole with the maximum lifted.
    const CommandResult cut = Run("fountain --steps 1 --dt 5");
    const CommandResult whole = Run("fountain --steps 1 --dt 5 --max-step 10");
    ASSERT_EQ(cut.status, 0) << cut.err;
    EXPECT_NE(cut.out.find(R"("fountain": 1)"), std::string::npos) << cut.out;
    EXPECT_NE(whole.out.find(R"("live": 0, )"), std::string::npos) << whole.out;
}

TEST_F(Simulate, BadInputSaysSo) {
    EXPECT_EQ(Run("fountain --dt fast").status, 2);
    EXPECT_EQ(Run("").status, 2);
    m_dir.write("Data/art/fx/ring.lua", R"(fx = { style = "STYLE_RING", properties = {} })");
    const CommandResult noBadfx = Run("nothing");
    EXPECT_EQ(noBadfx.status, 1);
    EXPECT_NE(noBadfx.err.find("nothing: cannot create"), std::string::npos) << noBadfx.err;
}

} // namespace
