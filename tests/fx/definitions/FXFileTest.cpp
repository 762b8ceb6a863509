#include "definitions/FXFile.h"

#include "definitions/FXStyle.h"
#include "support/CommaLocale.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {

class FXFileTest : public testing::Test {
protected:
    void SetUp() override { m_dir.write("Data/art/fx/.keep", ""); }

    // Writes Data/art/fx/NAME.lua.
    void WriteFx(const std::string& name, const std::string& content) {
        m_dir.write("Data/art/fx/" + name + ".lua", content);
    }

    // Reads NAME and expects success.
    FXPropertyList Read(const std::string& name, int expectedStyle = STYLE_RING) {
        int style = kStyleNone;
        FXPropertyList properties;
        std::string reason;
        EXPECT_TRUE(FXReadTypeFile(name.c_str(), style, properties, &reason)) << reason;
        EXPECT_EQ(style, expectedStyle);
        return properties;
    }

    // Expects the read of NAME to fail and returns the reason.
    std::string ReadFails(const std::string& name) {
        int style = 3;
        FXPropertyList properties;
        std::string reason;
        EXPECT_FALSE(FXReadTypeFile(name.c_str(), style, properties, &reason));
        EXPECT_EQ(style, kStyleNone);
        EXPECT_TRUE(properties.empty());
        return reason;
    }

    // A file holding one property of the given type and value source.
    static std::string OneProperty(const std::string& type, const std::string& value,
                                   const std::string& extra = "") {
        return "fx = { style = \"STYLE_RING\", " + extra +
               "properties = { property_00 = { name = \"P\", type = \"" + type +
               "\", value = " + value + " } } }\n";
    }

    TempWorkDir m_dir;
};

FXPropertyList EveryKind() {
    FXPropertyList list;
    auto add = [&list](const char* name) -> FXVariable& {
        list.push_back({name, "", {}});
        return list.back().value;
    };
    std::mt19937 random(7);
    std::uniform_real_distribution<float> any(-1e6f, 1e6f);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    add("Float").SetFloat(0.1f);
    add("Tiny").SetFloat(std::numeric_limits<float>::denorm_min());
    add("Huge").SetFloat(-std::numeric_limits<float>::max());
    add("Bool").SetBool(true);
    add("Off").SetBool(false);
    add("Int").SetInt(std::numeric_limits<int32_t>::min());
    add("Vector").SetVector3({any(random), any(random), any(random)});
    add("Text").SetString("Data:art/fx/point.tga \"quoted\" \\ back\nline ä");
    add("Colour").SetColour({unit(random), unit(random), unit(random), 1.0f});
    std::vector<float> floats;
    std::vector<Vector3> vectors;
    std::vector<Colour> colours;
    std::vector<TimeFloat> timeFloats;
    std::vector<TimeVector3> timeVectors;
    std::vector<TimeColour> timeColours;
    for (int i = 0; i < 20; ++i) {
        const float t = static_cast<float>(i) / 19.0f;
        floats.push_back(any(random));
        vectors.push_back({any(random), any(random), any(random)});
        colours.push_back({unit(random), unit(random), unit(random), unit(random)});
        timeFloats.push_back({t, any(random)});
        timeVectors.push_back({t, {any(random), any(random), any(random)}});
        timeColours.push_back({t, {unit(random), unit(random), unit(random), unit(random)}});
    }
    add("Floats").SetArrayFloat(floats);
    add("Vectors").SetArrayVector3(vectors);
    add("Colours").SetArrayColour(colours);
    add("TimeFloats").SetArrayTimeFloat(timeFloats);
    add("TimeVectors").SetArrayTimeVector3(timeVectors);
    add("TimeColours").SetArrayTimeColour(timeColours);
    add("NoKeys").SetArrayTimeFloat({});
    return list;
}

void ExpectSameList(const FXPropertyList& actual, const FXPropertyList& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    auto a = actual.begin();
    for (const FXProperty& e : expected) {
        EXPECT_EQ(a->name, e.name);
        EXPECT_TRUE(a->value == e.value) << e.name << " differs after the round trip";
        ++a;
    }
}

TEST_F(FXFileTest, EveryKindRoundTripsBitForBit) {
    const FXPropertyList written = EveryKind();
    std::string reason;
    ASSERT_TRUE(FXWriteTypeFile("everykind", STYLE_BEAM, written, &reason)) << reason;
    ExpectSameList(Read("everykind", STYLE_BEAM), written);

    // Writing what was read gives the same bytes: saved files are deterministic.
    const std::string first = m_dir.read("Data/art/fx/everykind.lua");
    ASSERT_TRUE(FXWriteTypeFile("everykind", STYLE_BEAM, written));
    EXPECT_EQ(m_dir.read("Data/art/fx/everykind.lua"), first);
}

TEST_F(FXFileTest, RoundTripHoldsUnderACommaLocale) {
    const CommaLocale comma;
    if (!comma.Name())
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    const FXPropertyList written = EveryKind();
    ASSERT_TRUE(FXWriteTypeFile("comma", STYLE_RING, written));
    EXPECT_EQ(m_dir.read("Data/art/fx/comma.lua").find("0,1"), std::string::npos);
    ExpectSameList(Read("comma"), written);
}

TEST_F(FXFileTest, WriterNumbersPropertiesAndEntries) {
    FXPropertyList list;
    for (int i = 0; i < 12; ++i) {
        list.push_back({"P" + std::to_string(i), "", {}});
        list.back().value.SetInt(i);
    }
    std::vector<Vector3> many(101, Vector3{1, 2, 3});
    list.push_back({"Many", "", {}});
    list.back().value.SetArrayVector3(many);
    ASSERT_TRUE(FXWriteTypeFile("numbered", STYLE_SPRAY, list));
    const std::string text = m_dir.read("Data/art/fx/numbered.lua");
    EXPECT_NE(text.find("property_00"), std::string::npos);
    EXPECT_NE(text.find("property_11"), std::string::npos);
    EXPECT_NE(text.find("property_12"), std::string::npos);
    EXPECT_NE(text.find("entry_100"), std::string::npos);
    EXPECT_EQ(text.find("entry_101"), std::string::npos);
    // Keys come in the order they were written: style before properties, 00 before 11.
    EXPECT_LT(text.find("style"), text.find("properties"));
    EXPECT_LT(text.find("property_00"), text.find("property_11"));
    // Reading follows the numbering, property_10 after property_09, on every run.
    std::vector<std::string> names;
    for (const FXProperty& property : Read("numbered", STYLE_SPRAY))
        names.push_back(property.name);
    std::vector<std::string> expected;
    for (const FXProperty& property : list)
        expected.push_back(property.name);
    EXPECT_EQ(names, expected);
}

TEST_F(FXFileTest, ColoursAreClampedOnRead) {
    WriteFx("clamped", OneProperty("VARTYPE_COLOUR", "{1.5, -0.2, 0.5, 1}"));
    Colour c;
    ASSERT_TRUE(Read("clamped").front().value.GetColour(c));
    EXPECT_EQ(c, (Colour{1.0f, 0.0f, 0.5f, 1.0f}));

    WriteFx("timecolour",
            OneProperty("VARTYPE_ARRAY_TIMECOLOUR", "{ entry_00 = {-1, 2, 0.5, -3, 1}, "
                                                    "entry_01 = {2, 0, 0, 0, 0} }"));
    const FXPropertyList read = Read("timecolour");
    const auto keys = read.front().value.TimeColours();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].time, -1.0f); // times are not clamped
    EXPECT_EQ(keys[0].value, (Colour{1.0f, 0.5f, 0.0f, 1.0f}));
    EXPECT_EQ(keys[1].time, 2.0f);
}

TEST_F(FXFileTest, EntriesStopAtTheFirstMissingIndexAndOddTimeFloatsAreDropped) {
    WriteFx("gap", OneProperty("VARTYPE_ARRAY_TIMEVECTOR3",
                               "{ entry_00 = {0, 1, 1, 1}, entry_01 = {0.5, 2, 2, 2}, "
                               "entry_03 = {1, 3, 3, 3} }"));
    EXPECT_EQ(Read("gap").front().value.TimeVector3s().size(), 2u);
    WriteFx("empty", OneProperty("VARTYPE_ARRAY_VECTOR3", "{}"));
    EXPECT_EQ(Read("empty").front().value.GetType(), VARTYPE_ARRAY_VECTOR3);

    WriteFx("odd", OneProperty("VARTYPE_ARRAY_TIMEFLOAT", "{0, 1, 0.5, 2, 1}"));
    const FXPropertyList read = Read("odd");
    const auto keys = read.front().value.TimeFloats();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[1].time, 0.5f);
    EXPECT_EQ(keys[1].value, 2.0f);
}

// Scalars decode from any number; property keys need not follow the numbering; a
// "frames" table needs timeStart, anything else there is passed over; strings may be 4095
// bytes long; names are found in any case.
TEST_F(FXFileTest, ReadsWhatTheFormatAllows) {
    WriteFx("scalars", "fx = { style = \"STYLE_RING\", properties = {"
                       " { name = \"B\", type = \"VARTYPE_BOOL\", value = 0.25 },"
                       " whatever = { name = \"I\", type = \"VARTYPE_INT\", value = -2.9 },"
                       " property_07 = { name = \"F\", type = \"VARTYPE_FLOAT\", value = 3 }"
                       " } }");
    const FXPropertyList scalars = Read("Scalars");
    ASSERT_EQ(scalars.size(), 3u);
    for (const FXProperty& property : scalars) {
        if (property.name == "B")
            EXPECT_TRUE(property.value.GetBool());
        else if (property.name == "I")
            EXPECT_EQ(property.value.GetInt(), -2);
        else
            EXPECT_EQ(property.value.GetFloat(), 3.0f);
    }
    WriteFx("frames", OneProperty("VARTYPE_FLOAT", "1", "frames = { timeStart = {0, 1} }, "));
    EXPECT_EQ(Read("frames").size(), 1u);
    WriteFx("framesnotable", OneProperty("VARTYPE_FLOAT", "1", "frames = 5, "));
    EXPECT_EQ(Read("framesnotable").size(), 1u);
    const std::string longest(4095, 'x');
    WriteFx("longest", OneProperty("VARTYPE_STRING", "\"" + longest + "\""));
    EXPECT_EQ(Read("longest").front().value.String(), longest);
}

TEST_F(FXFileTest, RefusesMalformedFilesAndSaysWhy) {
    const std::string longest(4095, 'x');
    const struct {
        const char* name;
        std::string content; // none: the file does not exist
        const char* reason;  // a part of the reason, when it must name something
    } rows[] = {
        {"missing", "", nullptr},
        {"cased", "fx = { style = \"Style_Ring\", properties = {} }", "Style_Ring"},
        {"nostyle", "fx = { properties = {} }", nullptr},
        {"nofx", "effect = { style = \"STYLE_RING\", properties = {} }", nullptr},
        {"broken", "fx = {\n style = \"STYLE_RING\",\n properties = { ] }\n", ":3:"},
        {"vector4", OneProperty("VARTYPE_VECTOR3", "{1, 2, 3, 4}"), nullptr},
        {"colour3", OneProperty("VARTYPE_COLOUR", "{1, 2, 3}"), nullptr},
        {"entry3",
         OneProperty("VARTYPE_ARRAY_TIMEVECTOR3",
                     "{ entry_00 = {0, 1, 2, 3}, entry_01 = {1, 1, 2} }"),
         nullptr},
        {"entrytext", OneProperty("VARTYPE_ARRAY_COLOUR", "{ entry_00 = \"red\" }"), nullptr},
        {"intrange", OneProperty("VARTYPE_INT", "1e12"), nullptr},
        {"texttype", OneProperty("VARTYPE_FLOAT", "\"1.5\""), nullptr},
        {"badtype", OneProperty("VARTYPE_DOUBLE", "1"), "VARTYPE_DOUBLE"},
        {"toolong", OneProperty("VARTYPE_STRING", "\"" + longest + "y\""), nullptr},
        {"notable", "fx = { style = \"STYLE_RING\", properties = { property_00 = 5 } }", nullptr},
        {"noname",
         "fx = { style = \"STYLE_RING\", properties = { property_00 = "
         "{ nom = \"P\", type = \"VARTYPE_FLOAT\", value = 1 } } }",
         nullptr},
        {"noframes", OneProperty("VARTYPE_FLOAT", "1", "frames = { count = 2 }, "), nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (!row.content.empty())
            WriteFx(row.name, row.content);
        const std::string reason = ReadFails(row.name);
        EXPECT_FALSE(reason.empty());
        if (row.reason) {
            EXPECT_NE(reason.find(row.reason), std::string::npos) << reason;
        }
    }
}

TEST_F(FXFileTest, ASaveWithoutItsFolderFailsAndWritesNothing) {
    FXPropertyList list;
    list.push_back({"P", "", {}});
    list.back().value.SetFloat(1.0f);
    std::string reason;
    std::filesystem::remove_all(m_dir.root() / "Data");
    EXPECT_FALSE(FXWriteTypeFile("nofolder", STYLE_RING, list, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(std::filesystem::exists(m_dir.root() / "Data/art/fx/nofolder.lua"));
}

} // namespace
