// Numbers and strings as they reach the file, byte for byte, in any locale.
#include <gtest/gtest.h>

#include <clocale>
#include <random>

#include "pdf_format.h"

namespace tabulon::pdf {
namespace {

TEST(FormatNumber, FixedDecimalsWithAPoint)
{
    struct Case {
        double value;
        int decimals;
        const char* expected;
    } cases[] = {
        {2.5, 2, "2.50"},        {0.0, 2, "0.00"},        {595.28f, 2, "595.28"},  {841.89f, 2, "841.89"},
        {-22.68, 2, "-22.68"},   {128.0 / 255, 3, "0.502"}, {1.0, 3, "1.000"},     {12, 2, "12.00"},
        {-0.001, 2, "0.00"},     {-0.0, 3, "0.000"},      {0.86602540, 5, "0.86603"}, {1e20, 2, "100000000000000000000.00"},
        {123.4567, 0, "123"},    {0.015625, 6, "0.015625"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatNumber(c.value, c.decimals), c.expected) << c.value;
}

TEST(FormatNumber, IgnoresACommaDecimalUserLocale)
{
    // Qt calls setlocale() at start-up; formatting must not follow it.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) GTEST_SKIP() << "fr_FR.UTF-8 not installed";
    EXPECT_EQ(formatNumber(2.5, 2), "2.50");
    EXPECT_EQ(formatNumber(-1234.5678, 3), "-1234.568");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(FormatNumber, RoundTripsRandomValuesAtTwoDecimals)
{
    std::mt19937 random(20261209);
    std::uniform_real_distribution<double> values(-1e6, 1e6);
    for (int i = 0; i < 20000; ++i) {
        double value = values(random);
        std::string text = formatNumber(value, 2);
        ASSERT_EQ(text.find(','), std::string::npos);
        ASSERT_EQ(text.size() - text.find('.'), 3u) << text;
        EXPECT_NEAR(std::stod(text), value, 0.005 + 1e-9) << text;
    }
}

TEST(EscapeString, BackslashEscapesAndOctalForHighBytes)
{
    EXPECT_EQ(escapeString("a(b)c\\d"), "a\\(b\\)c\\\\d");
    EXPECT_EQ(escapeString("\xE9"), "\\351");
    EXPECT_EQ(escapeString("\x80\xFF"), "\\200\\377");
    EXPECT_EQ(escapeString("\t\b\n\f\r"), "\\t\\b\\n\\f\\r");
    EXPECT_EQ(escapeString(std::string("\x07\x00", 2)), std::string("\x07\x00", 2));
    EXPECT_EQ(textString("x)"), "(x\\))");
}

}  // namespace
}  // namespace tabulon::pdf
