#include "widgets/FloatField.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(FloatField, ShowsTheShortestTextThatReadsBackBitForBit) {
    const std::pair<float, const char*> rows[] = {
        {0.0f, "0"},   {-0.0f, "0"},    {1.5f, "1.5"},    {-9.81f, "-9.81"},
        {0.1f, "0.1"}, {100.0f, "100"}, {1e10f, "1e+10"}, {1.2345678f, "1.2345678"}};
    for (const auto& [value, text] : rows)
        EXPECT_EQ(FloatField::Format(value), QString::fromLatin1(text)) << text;

    for (const float value : {1.0f / 3.0f, -123456.789f, 3.4028235e38f, 1.17549435e-38f}) {
        const std::optional<float> back = FloatField::Parse(FloatField::Format(value));
        ASSERT_TRUE(back.has_value()) << value;
        EXPECT_EQ(std::memcmp(&*back, &value, sizeof value), 0) << value;
    }
}

TEST(FloatField, ReadsNumbersWithAPointOrASingleComma) {
    const std::pair<const char*, float> rows[] = {
        {"  -2.25 ", -2.25f}, {"+3", 3.0f},  {"-.5", -0.5f},   {"4.", 4.0f},
        {"2.5E-2", 0.025f},   {"1,5", 1.5f}, {"-0,25", -0.25f}};
    for (const auto& [text, value] : rows)
        EXPECT_EQ(FloatField::Parse(QString::fromLatin1(text)), value) << text;
}

TEST(FloatField, RefusesWhatIsNotAFiniteFloat) {
    for (const char* text : {"", "   ", "abc", "1.5x", "1..5", "1 5", "1,000,000", "1,5.0", "+-1",
                             "-", ".", "0x10", "inf", "nan", "1e50"})
        EXPECT_FALSE(FloatField::Parse(QString::fromLatin1(text)).has_value()) << text;
    EXPECT_FALSE(FloatField::Parse(QStringLiteral("\u0661")).has_value()); // Arabic-Indic one
}

} // namespace
