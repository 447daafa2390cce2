#include "files/CsvWriter.h"
#include "support/TestText.h"
#include "record/NumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
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

TEST(CsvRowFormat, SeparatesQuotesAndEndsRows)
{
    std::string out;
    CsvRow(out).text("Home").number(1609.344f).integer(-7).text("").end(true);
    EXPECT_EQ(out, "\"Home\",1609.343994,-7,\"\",\r\n");

    out.clear();
    CsvRow(out).integer(std::numeric_limits<int32_t>::min()).number(-0.0f).end(false);
    EXPECT_EQ(out, "-2147483648,-0.000000\r\n");

    // Quotes inside texts are doubled, commas kept.
    out.clear();
    CsvRow(out).text("Pike's \"Peak\", CO").end(false);
    EXPECT_EQ(out, "\"Pike's \"\"Peak\"\", CO\"\r\n");

    // An empty row is only the line end.
    out.clear();
    CsvRow(out).end(false);
    EXPECT_EQ(out, "\r\n");
}

TEST(CsvFileWrites, ReportsDiskFullWithItsCode)
{
    CsvFile file;
    ASSERT_FALSE(file.create("/dev/full").has_value());
    const auto error = file.write("a line\r\n");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->cause, FileCause::DiskFull);
    EXPECT_EQ(csvWriteErrorText(*error), "Error writing CSV file. Code: 13.");
}

}  // namespace
}  // namespace tellurim
