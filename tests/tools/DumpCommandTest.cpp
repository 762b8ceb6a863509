#include "SparvFx.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

namespace {

TEST(DumpRaw, PrintsEveryKindInTheToolsJsonForm) {
    TempWorkDir dir;
    dir.write("Data/art/fx/Every.lua", R"(fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = { name = "F", type = "VARTYPE_FLOAT", value = 0.1 },
        property_01 = { name = "B", type = "VARTYPE_BOOL", value = 1 },
        property_02 = { name = "I", type = "VARTYPE_INT", value = -3 },
        property_03 = { name = "V", type = "VARTYPE_VECTOR3", value = {1, 2, 3} },
        property_04 = { name = "S", type = "VARTYPE_STRING", value = "say \"hi\"" },
        property_05 = { name = "C", type = "VARTYPE_COLOUR", value = {1, 0.5, 0, 1} },
        property_06 = { name = "TF", type = "VARTYPE_ARRAY_TIMEFLOAT", value = {0, 1, 1, 2} },
        property_07 = { name = "TC", type = "VARTYPE_ARRAY_TIMECOLOUR",
                        value = { entry_00 = {0, 1, 1, 1, 1} } },
    },
}
)");
    const CommandResult result = SparvFx("dump --raw DATA:ART/FX/every.lua");
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string& out = result.out;
    EXPECT_EQ(out.rfind("{\"style\": \"STYLE_RING\", \"properties\": [", 0), 0u) << out;
    EXPECT_EQ(out.back(), '\n');
    EXPECT_EQ(out.find('\n'), out.size() - 1); // one line
    for (const char* expected : {
             R"({"name": "F", "type": "VARTYPE_FLOAT", "value": 0.1})",
             R"({"name": "B", "type": "VARTYPE_BOOL", "value": true})",
             R"({"name": "I", "type": "VARTYPE_INT", "value": -3})",
             R"({"name": "V", "type": "VARTYPE_VECTOR3", "value": [1, 2, 3]})",
             R"({"name": "S", "type": "VARTYPE_STRING", "value": "say \"hi\""})",
             R"({"name": "C", "type": "VARTYPE_COLOUR", "value": [1, 0.5, 0, 1]})",
             R"({"name": "TF", "type": "VARTYPE_ARRAY_TIMEFLOAT", "value": [[0, 1], [1, 2]]})",
             R"({"name": "TC", "type": "VARTYPE_ARRAY_TIMECOLOUR", "value": [[0, 1, 1, 1, 1]]})",
         })
        EXPECT_NE(out.find(expected), std::string::npos) << expected << "\nin " << out;
}

TEST(DumpRaw, AnUnreadableFileSaysWhyAndExitsWithOne) {
    TempWorkDir dir;
    dir.write("broken.lua", "fx = {\n  style = \n");
    const CommandResult broken = SparvFx("dump --raw broken.lua");
    EXPECT_EQ(broken.status, 1);
    EXPECT_TRUE(broken.out.empty());
    EXPECT_EQ(broken.err.rfind("broken.lua: cannot read FX file", 0), 0u) << broken.err;
    EXPECT_NE(broken.err.find(":3:"), std::string::npos) << broken.err;

    const CommandResult missing = SparvFx("dump --raw nothing.lua");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("nothing.lua: cannot read FX file", 0), 0u) << missing.err;

    EXPECT_EQ(SparvFx("dump").status, 2);
    EXPECT_EQ(SparvFx("frobnicate").status, 2);
}

} // namespace
