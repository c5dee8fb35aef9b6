// Numbers as they reach the file, byte for byte, in any locale.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <clocale>
#include <cstring>
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

// The exact decimal expansion rounded half to even, as the standard library's
// fixed formatting writes it, without a sign when it is all zeros.
std::string exactFixed(double value, int decimals)
{
    char text[400];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string written(text, result.ptr);
    if (written[0] == '-' && written.find_first_not_of("0.", 1) == std::string::npos) written.erase(0, 1);
    return written;
}

TEST(FormatNumber, FloatsGiveTheExactlyRoundedDigitsIncludingTies)
{
    struct Case {
        double value;
        int decimals;
        const char* expected;
    } ties[] = {
        {0.125, 2, "0.12"}, {0.375, 2, "0.38"}, {-0.125, 2, "-0.12"}, {2.5, 0, "2"}, {3.5, 0, "4"},
        {-0.5, 0, "0"},     {0.0625, 3, "0.062"}, {-0.00390625, 2, "0.00"}, {999999999.0f, 2, "1000000000.00"},
    };
    for (const Case& c : ties) EXPECT_EQ(formatNumber(c.value, c.decimals), c.expected) << c.value;

    std::mt19937 random(8);
    for (int decimals = 0; decimals <= 5; ++decimals) {
        for (int i = -40000; i <= 40000; ++i) {
            for (float value : {static_cast<float>(i) / 8.0f, static_cast<float>(i) * 0.005f,
                                static_cast<float>(i) * 2.8346457f}) {
                ASSERT_EQ(formatNumber(value, decimals), exactFixed(value, decimals)) << value;
                // Again, now from the table of recent numbers.
                ASSERT_EQ(formatNumber(value, decimals), exactFixed(value, decimals)) << value;
            }
            std::uint32_t bits = random();
            float any;
            std::memcpy(&any, &bits, sizeof any);
            if (std::fabs(any) < 1e12f) {
                ASSERT_EQ(formatNumber(any, decimals), exactFixed(any, decimals)) << any;
            }
        }
    }
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

}  // namespace
}  // namespace tabulon::pdf
