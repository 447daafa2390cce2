// A latitude row evaluated at once must give every point the bits that the
// point calculation gives it alone: grid files, exports and the window agree.

#include "EngineTestSupport.h"
#include "engine/FastAngles.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace tellurim::test {
namespace {

// Rows of 13 longitudes: a full block of eight lanes and a short one.
const std::vector<float> kLongitudes = {-180.0f, -179.75f, -120.3f, -90.0f, -45.0f, -0.25f, 0.0f,
                                        1.0e-30f, 33.3f, 90.0f, 135.5f, 179.75f, 180.0f};

void expectRowsMatchPoints(ModelEngine& engine, float elevation, float latitude, float date)
{
    std::vector<FieldResult> row(kLongitudes.size());
    engine.computeRow(elevation, latitude, kLongitudes, date, row);
    for (std::size_t i = 0; i < kLongitudes.size(); ++i) {
        const FieldResult point = engine.computePoint(elevation, latitude, kLongitudes[i], date);
        EXPECT_TRUE(sameBytes(point, row[i])) << latitude << " " << kLongitudes[i] << " at " << date;
    }
    // And again after the points: nothing the points left cached changes the row.
    std::vector<FieldResult> again(kLongitudes.size());
    engine.computeRow(elevation, latitude, kLongitudes, date, again);
    for (std::size_t i = 0; i < kLongitudes.size(); ++i)
        EXPECT_TRUE(sameBytes(row[i], again[i])) << latitude << " " << kLongitudes[i];
}

TEST(RowEvaluation, EveryLongitudeHasTheBitsOfItsPointInEveryModel)
{
    struct Case {
        const char* model;
        float date;
    };
    for (const Case c : {Case{"WMM2025.COF", 2027.5f}, Case{"WMM2025.COF", 2019.0f},
                         Case{"WMMHR2025.COF", 2026.0f}, Case{"IGRF14.shc", 1950.5f},
                         Case{"IGRF14.shc", 2027.0f}}) {
        ShippedEngine shipped{c.model};
        for (const float latitude : {-90.0f, -89.99f, -55.0f, 0.0f, 37.5f, 89.9999f, 90.0f})
            for (const float elevation : {0.0f, 350000.0f})
                expectRowsMatchPoints(shipped.engine, elevation, latitude, c.date);
    }
}

TEST(RowEvaluation, RegionalFlagsLifeSpanWarningAndNoModelAreThoseOfThePoints)
{
    ScratchModel regional;
    ASSERT_TRUE(regional.load(modelText(headerRecord("2000.0", "R", "5.0", "-10.0", "50.0", "170.0", "-170.0"))));
    expectRowsMatchPoints(regional.engine, 0.0f, 20.0f, 2001.0f);
    std::vector<FieldResult> row(kLongitudes.size());
    regional.engine.computeRow(0.0f, 20.0f, kLongitudes, 2001.0f, row);
    EXPECT_EQ(row.front().coordinatesOutOfRange, 0);  // -180 is inside 170 .. -170
    EXPECT_EQ(row[6].coordinatesOutOfRange, 1);       // 0 is not

    // The first row after a load out of the life span warns once, like a point.
    ScratchModel fresh;
    ASSERT_TRUE(fresh.load(modelText(headerRecord("2000.0"))));
    fresh.engine.computeRow(0.0f, 10.0f, kLongitudes, 2010.0f, row);
    fresh.engine.computeRow(0.0f, 11.0f, kLongitudes, 2010.0f, row);
    EXPECT_EQ(fresh.sink.entries.size(), 1U);
    EXPECT_EQ(row[3].dateOutOfRange, 1);

    RecordingSink sink;
    ModelEngine none{sink};
    none.computeRow(0.0f, 10.0f, kLongitudes, 2010.0f, row);
    EXPECT_EQ(row[12].dateOutOfRange, -1);
    EXPECT_EQ(row[12].coordinatesOutOfRange, -1);
}

uint64_t unitsApart(double a, double b)
{
    const auto x = std::bit_cast<int64_t>(a);
    const auto y = std::bit_cast<int64_t>(b);
    return x > y ? static_cast<uint64_t>(x - y) : static_cast<uint64_t>(y - x);
}

TEST(FastAngles, ArcTangentsAreTheLibrarysToAUnitOrTwoAndItsOwnAtSpecialValues)
{
    std::mt19937_64 random{20261208};
    std::uniform_real_distribution<double> value{-1.0, 1.0};
    std::uniform_int_distribution<int> exponent{-40, 40};
    uint64_t worst = 0;
    uint64_t worstOfFour = 0;
    for (int i = 0; i < 200000; i += 4) {
        double y[4];
        double x[4];
        double four[4];
        for (int k = 0; k < 4; ++k) {
            y[k] = std::ldexp(value(random), exponent(random));
            x[k] = std::ldexp(value(random), exponent(random));
            worst = std::max(worst, unitsApart(arcTangent2(y[k], x[k]), std::atan2(y[k], x[k])));
        }
        arcTangent2Quad(y, x, four);
        for (int k = 0; k < 4; ++k)
            worstOfFour = std::max(worstOfFour, unitsApart(four[k], std::atan2(y[k], x[k])));
    }
    EXPECT_LE(worst, 1U);
    EXPECT_LE(worstOfFour, 2U);

    const double inf = std::numeric_limits<double>::infinity();
    const double specials[] = {0.0, -0.0, 1.0, -1.0, 5e-324, -5e-324, 1e300, -1e-300, inf, -inf,
                               std::numeric_limits<double>::quiet_NaN()};
    for (const double y : specials)
        for (const double x : specials) {
            const double ours = arcTangent2(y, x);
            const double library = std::atan2(y, x);
            const double ys[4] = {y, 1.0, 2.0, 3.0};
            const double xs[4] = {x, 1.0, 1.0, 1.0};
            double four[4];
            arcTangent2Quad(ys, xs, four);  // one special lane sends all four to the library
            for (const double result : {ours, four[0]}) {
                if (std::isnan(library))
                    EXPECT_TRUE(std::isnan(result));
                else
                    EXPECT_EQ(std::bit_cast<uint64_t>(result), std::bit_cast<uint64_t>(library)) << y << " " << x;
            }
        }
}

TEST(FastAngles, TurnedCosinesAndSinesAreTheLibrarysAndFallBackWhereTheyCannotBe)
{
    // Field vectors and their angles rounded to single, as the elements take them.
    std::mt19937_64 random{7};
    std::uniform_real_distribution<double> component{-60000.0, 60000.0};
    const double toRadians = static_cast<double>(0.017453292f);
    for (int i = 0; i < 100000; ++i) {
        const double x = component(random);
        const double y = component(random);
        const double h = std::hypot(x, y);
        const double exact = arcTangent2(y, x);
        const double angle = static_cast<double>(static_cast<float>(exact / toRadians)) * toRadians;
        const CosSin turned = cosSinNear(angle, exact, x / h, y / h);
        ASSERT_NEAR(turned.c, std::cos(angle), 1e-15) << x << " " << y;
        ASSERT_NEAR(turned.s, std::sin(angle), 1e-15) << x << " " << y;
    }
    // A zero angle keeps the sign of its sine; unknown ratios and far angles go to the library.
    EXPECT_TRUE(std::signbit(cosSinNear(-0.0, -0.0, 1.0, -0.0).s));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(cosSinNear(1.0, 1.0, nan, nan).c, std::cos(1.0));
    EXPECT_EQ(cosSinNear(2.0, 1.0, 0.5, 0.5).s, std::sin(2.0));
}

TEST(FastAngles, OnlyValuesCloseToASinglesRoundingPointAreNear)
{
    const double one = 1.0;
    const double halfway = 1.0 + std::ldexp(1.0, -24);  // between 1 and the next single
    EXPECT_FALSE(nearSingleRounding(one, 1e-12));
    EXPECT_TRUE(nearSingleRounding(halfway, 1e-12));
    EXPECT_TRUE(nearSingleRounding(halfway + 1e-13, 1e-12));
    EXPECT_FALSE(nearSingleRounding(halfway + 1e-11, 1e-12));
    EXPECT_TRUE(nearSingleRounding(1.0 - std::ldexp(1.0, -25), 1e-12));  // below a power of two
}

}  // namespace
}  // namespace tellurim::test
