#include "SparvFx.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

namespace {

TEST(BudgetCommand, PrintsOneLineOfJsonPerEffect) {
    const CommandResult result = SparvFx("budget shockwave lamp --wkdir " + kSamples);
    ASSERT_EQ(result.status, 0) << result.err;
    // The ring stays until the ripple it spawns when it dies is gone; lights are off.
    EXPECT_EQ(Lines(result.out),
              (std::vector<std::string>{
                  R"({"name": "shockwave", "total": 2, "types": {"ripple": 1, "shockwave": 1}})",
                  R"({"name": "lamp", "total": 0, "types": {}})"}));
}

TEST(BudgetCommand, AnEffectThatSpawnsItselfIsUnboundedAndNamesTheChain) {
    TempWorkDir dir;
    dir.write("Data/art/fx/phoenix.lua", R"(fx = { style = "STYLE_RING", properties = {
    { name = "Duration", type = "VARTYPE_FLOAT", value = 0.5 },
    { name = "Spawn_Fx", type = "VARTYPE_STRING", value = "Phoenix" },
} })");
    const CommandResult result = SparvFx("budget phoenix");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, R"({"name": "phoenix", "total": "unbounded", "chain": ["phoenix", )"
                          R"("phoenix"], "reason": "'phoenix' spawns itself without end: )"
                          R"(phoenix -> phoenix"})"
                          "\n");
}

TEST(BudgetCommand, BadInputSaysSo) {
    const CommandResult missing = SparvFx("budget nosuch --wkdir " + kSamples);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("nosuch: cannot read FX file", 0), 0u) << missing.err;
    EXPECT_EQ(SparvFx("budget").status, 2);
    EXPECT_EQ(SparvFx("budget rain --step 0.5 --wkdir " + kSamples).status, 2);
}

TEST(BudgetCommand, LintReportsTheEffectsOverABudget) {
    const CommandResult result = SparvFx("lint --budget 100 --wkdir " + kSamples);
    EXPECT_EQ(result.status, 1);
    const auto lines = Lines(result.out);
    // Only the explosion and the rain can have more than a hundred instances alive.
    ASSERT_EQ(lines.size(), 2u) << result.out;
    EXPECT_EQ(lines[0].rfind("explosion: up to ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(" instances alive at once, over the budget of 100"), std::string::npos);
    EXPECT_EQ(lines[1].rfind("rain: up to ", 0), 0u) << lines[1];
    EXPECT_EQ(SparvFx("lint --budget 1000 --wkdir " + kSamples).status, 0);
    EXPECT_EQ(SparvFx("lint --budget many --wkdir " + kSamples).status, 2);
}

} // namespace
