#include "SparvFx.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

namespace {

// The line about NAME, or "" when there is none.
std::string LineFor(const std::vector<std::string>& lines, const std::string& name) {
    for (const std::string& line : lines)
        if (line.rfind(name + ": ", 0) == 0)
            return line;
    return {};
}

TEST(Lint, FindsEveryKindOfProblemInABrokenLibrary) {
    const std::string library = std::string(SPARV_TEST_DATA) + "/lint";
    const CommandResult result = SparvFx("lint --wkdir " + ShellQuote(library));
    EXPECT_EQ(result.status, 1) << result.err;
    const auto lines = Lines(result.out);

    EXPECT_EQ(LineFor(lines, "good"), "");
    EXPECT_EQ(LineFor(lines, "dot"), "");
    EXPECT_NE(LineFor(lines, "unreadable").find("cannot read FX file"), std::string::npos);
    EXPECT_NE(LineFor(lines, "unreadable").find(":4:"), std::string::npos)
        << "the Lua error names its line: " << LineFor(lines, "unreadable");
    EXPECT_EQ(LineFor(lines, "unknown"),
              "unknown: unknown property 'Radiuss' (STYLE_RING has no such property)");
    EXPECT_EQ(LineFor(lines, "wrongkind"),
              "wrongkind: Blending: expects VARTYPE_INT, the file has VARTYPE_FLOAT");
    EXPECT_EQ(LineFor(lines, "outofrange"),
              "outofrange: Duration: value 900 is outside the range 0.1 to 500");
    EXPECT_EQ(LineFor(lines, "keyoutofrange"),
              "keyoutofrange: Emitter_Rate: key at time 1 has value 20000, outside the range "
              "0 to 10000");
    EXPECT_NE(LineFor(lines, "missingchild").find("child type 'nosuchfx' cannot be found"),
              std::string::npos);
    EXPECT_EQ(LineFor(lines, "missingtexture"),
              "missingtexture: Texture: file 'Data:art/fx/nosuch.tga' does not exist");
    EXPECT_EQ(LineFor(lines, "cycle_a"), "cycle_a: reference cycle cycle_a -> cycle_b -> cycle_a");
    EXPECT_EQ(LineFor(lines, "cycle_b"), "cycle_b: reference cycle cycle_b -> cycle_a -> cycle_b");
    // Entry tables are read from entry_00 up to the first missing number.
    EXPECT_EQ(LineFor(lines, "unnamedentries"),
              "unnamedentries: Colour: reads as an empty array: its entries must be named "
              "entry_00, entry_01, ... (the file has 1, 2)");
    EXPECT_EQ(LineFor(lines, "gappedentries"),
              "gappedentries: Offset: reading stops at the missing entry_02, so entry_03 is "
              "not read");
    EXPECT_EQ(lines.size(), 11u) << result.out;
}

TEST(Lint, NamedTypesOnlyAndACleanLibraryPasses) {
    const std::string library = std::string(SPARV_TEST_DATA) + "/lint";
    const CommandResult clean = SparvFx("lint --wkdir " + ShellQuote(library) + " good Dot");
    EXPECT_EQ(clean.status, 0) << clean.out << clean.err;
    EXPECT_TRUE(clean.out.empty());
    const CommandResult missing = SparvFx("lint --wkdir " + ShellQuote(library) + " absent");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out.rfind("absent: cannot read FX file", 0), 0u) << missing.out;
}

TEST(NewAndDump, ANewTypeIsWrittenWithDefaultsAndDumpsLikeTheStyle) {
    TempWorkDir dir;
    dir.write("Data/art/fx/.keep", "");
    const CommandResult created = SparvFx("new spray Fountain");
    ASSERT_EQ(created.status, 0) << created.err;
    EXPECT_EQ(created.out, "DATA:ART/FX/fountain.lua\n");
    EXPECT_FALSE(dir.read("Data/art/fx/fountain.lua").empty());

    const CommandResult dumped = SparvFx("dump FOUNTAIN");
    ASSERT_EQ(dumped.status, 0) << dumped.err;
    const CommandResult style = SparvFx("dump --style STYLE_SPRAY");
    ASSERT_EQ(style.status, 0) << style.err;
    // The file holds exactly the defaults: only the name differs.
    std::string expected = style.out;
    expected.replace(expected.find("\"untitled\""), 10, "\"fountain\"");
    EXPECT_EQ(dumped.out, expected);
    EXPECT_EQ(dumped.out.rfind("{\"name\": \"fountain\", \"style\": \"STYLE_SPRAY\", "
                               "\"duration\": 5, \"children\": [\"dot\"], \"properties\": [",
                               0),
              0u)
        << dumped.out;
    EXPECT_NE(dumped.out.find(R"({"name": "Emitter_Duration", "type": "VARTYPE_FLOAT", )"
                              R"("description": "Emitter duration, in seconds", "value": 5})"),
              std::string::npos);

    EXPECT_EQ(SparvFx("new nostyle x").status, 2);
    EXPECT_EQ(SparvFx("dump --style nostyle").status, 2);
    EXPECT_EQ(SparvFx("new ring x --wkdir /nonexistent/folder").status, 1);
}

TEST(NewAndDump, AMissingTypeDumpsAsBadfxUnderItsName) {
    TempWorkDir dir;
    dir.write("Data/art/fx/badfx.lua", "fx = { style = \"STYLE_BEAM\", properties = {} }");
    const CommandResult result = SparvFx("dump Missing");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.rfind("{\"name\": \"missing\", \"style\": \"STYLE_BEAM\"", 0), 0u)
        << result.out;
    std::filesystem::remove(dir.root() / "Data/art/fx/badfx.lua");
    EXPECT_EQ(SparvFx("dump missing").status, 1);
}

} // namespace
