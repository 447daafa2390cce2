// The number-text module: every number the program writes or reads as text.
#include "record/NumberText.h"

#include "support/TestText.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tellurim {
namespace {

std::string printfFixed(double value, int decimals = 6)
{
    return cFormat("%.*f", decimals, value);
}

std::string fixed6(double value)
{
    std::string out;
    appendFixed6(out, value);
    return out;
}

std::string fixedN(double value, int decimals)
{
    std::string out;
    appendFixed(out, value, decimals);
    return out;
}

// Values where a naive conversion goes wrong: signed zeros, exact ties at the
// seventh decimal (which printf rounds to even), values just beside a tie,
// carries into the integer part, sub-normals and the largest finite values.
std::vector<double> awkwardValues()
{
    std::vector<double> values = {
        0.0, -0.0, 0.5, -0.5, 1.5, 2.5, 0.0000005, 0.0000015, 0.0000025, -0.0000025,
        0.0078125, 0.0234375, -0.0078125, 1.0 / 128.0 + 1.0, 0.9999995, 0.99999949999,
        9.9999995, 999999.9999995, 4503599627370495.5, 9007199254740993.0, 1e13, 1.8e13,
        1.8446744073709552e13, 1.8446744073709553e13, 1e15, 1e22, 1e300,
        std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
        static_cast<double>(std::numeric_limits<float>::max()),
        static_cast<double>(std::numeric_limits<float>::min()),
        static_cast<double>(std::numeric_limits<float>::denorm_min()),
        std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(),
        -std::numeric_limits<double>::denorm_min(), 1e-7, -1e-7, 4.9999999e-7, 5.0000001e-7,
        30.508333, 1609.344, 1e20, static_cast<double>(1.0e20f), 123456.789, -98765.4321};
    // Every multiple of 2^-7 below 4 is an exact tie or exact value at seven decimals.
    for (int k = 0; k < 512; ++k) {
        values.push_back(k / 128.0);
        values.push_back(-k / 128.0);
        values.push_back(std::nextafter(k / 128.0, 10.0));
        values.push_back(std::nextafter(k / 128.0, -10.0));
    }
    return values;
}

TEST(FixedFormatting, MatchesPrintfOnAwkwardValues)
{
    for (const double value : awkwardValues()) {
        EXPECT_EQ(fixed6(value), printfFixed(value)) << "value " << value;
        EXPECT_EQ(fixed6(static_cast<double>(static_cast<float>(value))),
                  printfFixed(static_cast<double>(static_cast<float>(value))));
    }
}

TEST(FixedFormatting, MatchesPrintfOnInfinitiesAndNaN)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double value : {inf, -inf, nan, -nan})
        EXPECT_EQ(fixed6(value), printfFixed(value));
}

TEST(FixedFormatting, MatchesPrintfOnRandomSingles)
{
    // Random bit patterns of singles from 1e-12 to 1e15 in magnitude, both
    // signs: every field value, angle and annual change a CSV file can hold.
    std::mt19937 random(20250101);
    std::uniform_int_distribution<uint32_t> mantissa(0, (1U << 23) - 1);
    std::uniform_int_distribution<uint32_t> exponent(127 - 40, 127 + 50);
    std::uniform_int_distribution<uint32_t> sign(0, 1);
    for (int i = 0; i < 300000; ++i) {
        const uint32_t bits = (sign(random) << 31) | (exponent(random) << 23) | mantissa(random);
        const double value = static_cast<double>(std::bit_cast<float>(bits));
        ASSERT_EQ(fixed6(value), printfFixed(value)) << "bits " << bits;
    }
}

TEST(FixedFormatting, MatchesPrintfOnRandomDoublesAndEveryPrecision)
{
    std::mt19937_64 random(77);
    std::uniform_int_distribution<uint64_t> mantissa(0, (uint64_t{1} << 52) - 1);
    std::uniform_int_distribution<uint64_t> exponent(1023 - 70, 1023 + 70);
    std::uniform_int_distribution<uint64_t> sign(0, 1);
    for (int i = 0; i < 100000; ++i) {
        const uint64_t bits = (sign(random) << 63) | (exponent(random) << 52) | mantissa(random);
        const double value = std::bit_cast<double>(bits);
        const int decimals = i % 10;
        ASSERT_EQ(fixedN(value, decimals), printfFixed(value, decimals)) << "bits " << bits;
    }
    for (const double value : awkwardValues()) {
        for (int decimals = 0; decimals <= 9; ++decimals) {
            EXPECT_EQ(fixedN(value, decimals), printfFixed(value, decimals))
                << "value " << value << " decimals " << decimals;
        }
    }
}

TEST(FixedFormatting, AppendsWithoutDisturbingWhatIsThere)
{
    std::string out = "x=";
    appendFixed6(out, -2.5);
    appendFixed(out, 12.345, 2);
    EXPECT_EQ(out, "x=-2.50000012.35");  // 12.345 is stored just above the tie
}

TEST(NumberText, SinglesShowSixSignificantDigitsLikePrintf)
{
    EXPECT_EQ(formatSingle(98.4252f), "98.4252");
    EXPECT_EQ(formatSingle(30.508333f), "30.5083");
    EXPECT_EQ(formatSingle(1000000.0f), "1e+06");
    EXPECT_EQ(formatSingle(999999.0f), "999999");
    EXPECT_EQ(formatSingle(0.0001f), "0.0001");
    EXPECT_EQ(formatSingle(0.00001f), "1e-05");
    EXPECT_EQ(formatSingle(-600.0f), "-600");
    EXPECT_EQ(formatSingle(0.0f), "0");
    EXPECT_EQ(formatSingle(2026.2f), "2026.2");
    // Compared with the C library over a spread of magnitudes and digits.
    float value = 1.0e-7f;
    for (int i = 0; i < 4000; ++i) {
        ASSERT_EQ(formatSingle(value), cFormat("%.6g", static_cast<double>(value))) << value;
        ASSERT_EQ(formatSingle(-value), cFormat("%.6g", -static_cast<double>(value))) << value;
        value *= 1.0137f;
    }
}

TEST(NumberText, ShownTextsDoNotDependOnTheProcessLocale)
{
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (german == nullptr)
        german = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_EQ(formatSingle(30.5083f), "30.5083");
    EXPECT_EQ(parseSingle("30.5083").value, 30.5083f);
    EXPECT_EQ(parseSingle("30,5083").status, ParseStatus::NotANumber);
    std::setlocale(LC_NUMERIC, "C");
}

TEST(NumberText, SinglesAcceptWholeDecimalNumbersOnly)
{
    EXPECT_EQ(parseSingle("30.5083").value, 30.5083f);
    EXPECT_EQ(parseSingle("  -12.5e1 ").value, -125.0f);
    EXPECT_EQ(parseSingle("+7").value, 7.0f);
    EXPECT_EQ(parseSingle(".5").value, 0.5f);
    EXPECT_EQ(parseSingle("5.").value, 5.0f);
    EXPECT_EQ(parseSingle("1e-60").status, ParseStatus::Ok);  // underflows to zero
    EXPECT_EQ(parseSingle("1e-60").value, 0.0f);
    for (const char* bad : {"", " ", "abc", "12abc", "1 2", "--1", "+-1", "inf", "-nan", "0x1p3", "1e", "."})
        EXPECT_EQ(parseSingle(bad).status, ParseStatus::NotANumber) << bad;
    EXPECT_EQ(parseSingle("1e39").status, ParseStatus::TooLarge);
    EXPECT_EQ(parseSingle("-1e400").status, ParseStatus::TooLarge);
    EXPECT_EQ(parseSingle("1" + std::string(400, '0')).status, ParseStatus::TooLarge);
}

TEST(NumberText, IntegersAcceptSignedDigitsOnly)
{
    EXPECT_EQ(parseInteger("42").value, 42);
    EXPECT_EQ(parseInteger(" -7 ").value, -7);
    EXPECT_EQ(parseInteger("+3").value, 3);
    EXPECT_EQ(parseInteger("2147483647").value, 2147483647);
    for (const char* bad : {"", "4.0", "4e1", "12abc", "abc", "- 4", "0x10"})
        EXPECT_EQ(parseInteger(bad).status, ParseStatus::NotANumber) << bad;
    EXPECT_EQ(parseInteger("2147483648").status, ParseStatus::TooLarge);
    EXPECT_EQ(parseInteger("-99999999999").status, ParseStatus::TooLarge);
}

TEST(LenientNumbers, ReadLikeTheCLibraryInAnyLocale)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<std::string, double> reals[] = {
        {"12abc", 12.0}, {"abc", 0.0}, {" \t-2.5e1x", -25.0}, {"+.25", 0.25}, {"1e", 1.0}, {"5.", 5.0},
        {".", 0.0}, {"--1", 0.0}, {"3,5", 3.0},  // the separator is always a point
        {"0." + std::string(400, '0') + "1", 0.0}, {"1" + std::string(400, '0'), inf}, {"-INF", -inf}};
    for (const auto& [text, value] : reals)
        EXPECT_EQ(parseLenientDouble(text), value) << text;
    EXPECT_TRUE(std::isnan(parseLenientDouble("nan")));

    const int32_t low = std::numeric_limits<int32_t>::min(), high = std::numeric_limits<int32_t>::max();
    const std::pair<std::string, int32_t> integers[] = {
        {"12abc", 12}, {"abc", 0}, {"  -42", -42}, {"+7", 7}, {"3.9", 3}, {"-", 0}, {"-2147483648", low},
        {"-99999999999999999999", low}, {"2147483648", high}};
    for (const auto& [text, value] : integers)
        EXPECT_EQ(parseLenientInt(text), value) << text;
}

TEST(NumberText, CommandLineNumbersArePlainFiniteDecimals)
{
    EXPECT_EQ(parseCommandLineSingle("1e3").value, 1000.0f);
    EXPECT_EQ(parseCommandLineSingle(".5").value, 0.5f);
    for (const char* bad : {"", "+", "-", "+-5", "nan", "inf", "-inf", "1e99", "0x10", " 5", "5 ", "5,5", "1..2"})
        EXPECT_NE(parseCommandLineSingle(bad).status, ParseStatus::Ok) << bad;
    // Beyond the range either way is still a number: too large, or as good as 0.
    for (const char* large : {"1e99", "-3.5e38", "1e99999999999"})
        EXPECT_EQ(parseCommandLineSingle(large).status, ParseStatus::TooLarge) << large;
    for (const char* bad : {"inf", "1e", "e5", "0x10"})
        EXPECT_EQ(parseCommandLineSingle(bad).status, ParseStatus::NotANumber) << bad;
    const Parsed<float> tiny = parseCommandLineSingle("-1e-50");
    EXPECT_EQ(tiny.status, ParseStatus::Ok);
    EXPECT_FALSE(std::signbit(tiny.value));
    EXPECT_EQ(parseCommandLineSingle("1e-40").value, static_cast<float>(1e-40));
}

TEST(NumberText, OutOfRangeNumbersAreToldApartByTheirMagnitude)
{
    // Too large or too small for a double either through the digits or
    // through the exponent, the two pulling against each other.
    const std::string zeros(400, '0');
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(parseLenientDouble("0." + zeros + "1e1000x"), inf);
    EXPECT_EQ(parseLenientDouble("-1" + zeros + "e-800"), -0.0);
    EXPECT_EQ(parseLenientDouble("1e99999999999999999999"), inf);
    EXPECT_EQ(parseLenientDouble("1e-99999999999999999999"), 0.0);
    EXPECT_EQ(parseSingle("0." + zeros + "1e1000").status, ParseStatus::TooLarge);
    EXPECT_EQ(parseSingle("-1" + zeros + "e-800").status, ParseStatus::Ok);
    EXPECT_EQ(parseSingle("1e-99999999999999999999").status, ParseStatus::Ok);
    EXPECT_EQ(parseSingle("-1e99999999999999999999").status, ParseStatus::TooLarge);
}

TEST(NumberText, PaddedAndIntegerTexts)
{
    std::string out = "[";
    appendWidth8Fixed2(out, -3.14159);
    appendWidth8Fixed2(out, 123456.789);
    appendInteger(out, std::numeric_limits<int64_t>::min());
    EXPECT_EQ(out, "[   -3.14123456.79-9223372036854775808");
    EXPECT_EQ(formatShortestFixed(0.001f), "0.001");
    EXPECT_EQ(formatShortestFixed(1000000.0f), "1000000");
    EXPECT_EQ(parseDigits("0042", 4), 42);
    for (const char* bad : {"", "12345", "-1", "+1", " 1", "1a"})
        EXPECT_FALSE(parseDigits(bad, 4).has_value()) << bad;
}

}  // namespace
}  // namespace tellurim
