#include "EngineTestSupport.h"

#include "record/LocationRecord.h"

#include <cmath>

namespace tellurim::test {
namespace {

class PointCalculation : public testing::Test {
protected:
    ShippedEngine shipped;
    ModelEngine& engine = shipped.engine;
    RecordingSink& sink = shipped.sink;
};

// The record's hemisphere indices become signs before the engine: only
// IHEM_NS 1 means south, only JHEM_EW 0 means west.
FieldResult atRecord(ModelEngine& engine, float latitude, float longitude, int32_t ns, int32_t ew)
{
    LocationRecord record;
    record.DLAT = latitude;
    record.DLON = longitude;
    record.IHEM_NS = ns;
    record.JHEM_EW = ew;
    return engine.computePoint(0.0f, signedLatitude(record), signedLongitude(record), 2026.0f);
}

TEST_F(PointCalculation, OnlySelectorOneMeansSouth)
{
    const FieldResult south = atRecord(engine, 45.0f, 10.0f, 1, 1);
    const FieldResult signedSouth = engine.computePoint(0.0f, -45.0f, 10.0f, 2026.0f);
    const FieldResult other = atRecord(engine, 45.0f, 10.0f, 2, 1);
    const FieldResult north = engine.computePoint(0.0f, 45.0f, 10.0f, 2026.0f);
    EXPECT_TRUE(sameBytes(south, signedSouth));
    EXPECT_TRUE(sameBytes(other, north));
    EXPECT_LT(south.DIP, 0.0f);
    EXPECT_GT(north.DIP, 0.0f);
}

TEST_F(PointCalculation, OnlySelectorZeroMeansWest)
{
    const FieldResult west = atRecord(engine, 40.0f, 105.0f, 0, 0);
    const FieldResult signedWest = engine.computePoint(0.0f, 40.0f, -105.0f, 2026.0f);
    const FieldResult other = atRecord(engine, 40.0f, 105.0f, 0, 5);
    const FieldResult east = engine.computePoint(0.0f, 40.0f, 105.0f, 2026.0f);
    EXPECT_TRUE(sameBytes(west, signedWest));
    EXPECT_TRUE(sameBytes(other, east));
    EXPECT_FALSE(sameBytes(west, east));
}

TEST_F(PointCalculation, ElevationIsMetres)
{
    const FieldResult point = engine.computePoint(1000.0f, 30.0f, 60.0f, 2026.0f);
    FieldAtTime out;
    engine.synthesize(1.0f, 30.0f, 60.0f, 2026.0f, out);
    EXPECT_EQ(point.TI, out.totalIntensity);
    EXPECT_EQ(point.DEC, out.declination);
    EXPECT_EQ(point.DIP, out.inclination);
}

TEST_F(PointCalculation, ComponentsAreConsistent)
{
    for (const float latitude : {-85.0f, -40.0f, 0.0f, 35.0f, 70.0f, 90.0f}) {
        const FieldResult r = engine.computePoint(250.0f, latitude, -73.0f, 2027.0f);
        SCOPED_TRACE(latitude);
        EXPECT_GE(r.BH, 0.0f);
        EXPECT_NEAR(r.BH, std::hypot(r.BX, r.BY), 0.01f);
        EXPECT_NEAR(r.TI, std::hypot(r.BH, r.BZ), 0.01f);
        EXPECT_NEAR(r.DEC, static_cast<double>(std::atan2(r.BY, r.BX)) * 180.0 / M_PI, 1e-4);
        EXPECT_NEAR(r.DIP, static_cast<double>(std::atan2(r.BZ, r.BH)) * 180.0 / M_PI, 1e-4);
    }
}

TEST_F(PointCalculation, AnnualChangeIsTheDifferenceOverOneYear)
{
    const FieldResult now = engine.computePoint(0.0f, 60.0f, 100.0f, 2026.0f);
    const FieldResult later = engine.computePoint(0.0f, 60.0f, 100.0f, 2027.0f);
    // The components are stored in single precision (0.004 nT steps at
    // 50000 nT), the changes are taken before that rounding.
    constexpr float kRounding = 0.01f;
    EXPECT_NEAR(now.BX2, later.BX - now.BX, kRounding);
    EXPECT_NEAR(now.BY2, later.BY - now.BY, kRounding);
    EXPECT_NEAR(now.BZ2, later.BZ - now.BZ, kRounding);
    EXPECT_NEAR(now.BH2, later.BH - now.BH, kRounding);
    EXPECT_EQ(now.TI2, later.TI - now.TI);
    EXPECT_NEAR(now.DEC2, (later.DEC - now.DEC) * 60.0f, 1e-3f);
    EXPECT_NEAR(now.DIP2, (later.DIP - now.DIP) * 60.0f, 1e-3f);
    EXPECT_EQ(now.gridVariationNextYear, later.gridVariation);
    EXPECT_NE(now.BX2, 0.0f);
}

TEST_F(PointCalculation, GridVariationOnlyFrom55Degrees)
{
    const FieldResult low = engine.computePoint(0.0f, 54.9f, 20.0f, 2026.0f);
    EXPECT_EQ(low.gridVariation, kNoGridVariation);
    EXPECT_EQ(low.gridVariationNextYear, kNoGridVariation);
    const FieldResult high = engine.computePoint(0.0f, -55.0f, -20.0f, 2026.0f);
    EXPECT_LE(std::fabs(high.gridVariation), 180.0f);
    EXPECT_LE(std::fabs(high.gridVariationNextYear), 180.0f);
    EXPECT_NEAR(high.gridVariation, high.DEC - 20.0f, 1e-4f);  // 55 S, 20 W: D + (-20)
}

TEST_F(PointCalculation, DateFlagComesFromTheDateNotTheYearAfter)
{
    EXPECT_EQ(engine.computePoint(0.0f, 10.0f, 10.0f, 2030.0f).dateOutOfRange, 0);
    EXPECT_EQ(engine.computePoint(0.0f, 10.0f, 10.0f, 2029.5f).dateOutOfRange, 0);
    EXPECT_TRUE(sink.entries.empty());  // the second synthesis never warns
    EXPECT_EQ(engine.computePoint(0.0f, 10.0f, 10.0f, 2024.0f).dateOutOfRange, 1);
    EXPECT_EQ(engine.computePoint(0.0f, 10.0f, 10.0f, 2024.0f).coordinatesOutOfRange, 0);
}

TEST_F(PointCalculation, SameInputsGiveSameBitsWhateverCameBetween)
{
    const FieldResult a = engine.computePoint(120.0f, -33.0f, -44.0f, 2026.25f);
    engine.computePoint(120.0f, -33.0f, -45.0f, 2026.25f);
    engine.computePoint(0.0f, 80.0f, 44.0f, 2028.0f);
    EXPECT_TRUE(sameBytes(a, engine.computePoint(120.0f, -33.0f, -44.0f, 2026.25f)));
}

TEST(PointCalculationModels, NoSecularVariationMeansNoChange)
{
    ScratchModel scratch;
    ASSERT_TRUE(scratch.load(modelText(headerRecord("2000.0"), {coefficientRecord(1, 0, -29000.0, 0.0),
                                                                coefficientRecord(1, 1, -1500.0, 4600.0),
                                                                coefficientRecord(2, 2, 1700.0, -700.0)})));
    const FieldResult r = scratch.engine.computePoint(0.0f, 65.0f, -30.0f, 2002.0f);
    for (const float change : {r.BH2, r.BX2, r.BY2, r.BZ2, r.TI2, r.DEC2, r.DIP2})
        EXPECT_EQ(change, 0.0f);
    EXPECT_EQ(r.gridVariation, r.gridVariationNextYear);
}

TEST(PointCalculationModels, DeclinationCrossing180ChangesTheShortWayRound)
{
    // A reversed axial dipole points south (declination near 180); an h(1,1)
    // that changes sign over the year swings the east component through 0.
    ScratchModel scratch;
    ASSERT_TRUE(scratch.load(modelText(headerRecord("2000.0"), {coefficientRecord(1, 0, 30000.0, 0.0),
                                                                coefficientRecord(1, 1, 0.0, 100.0, 0.0, -200.0)})));
    const FieldResult r = scratch.engine.computePoint(0.0f, 10.0f, 0.0f, 2000.0f);
    const FieldResult nextYear = scratch.engine.computePoint(0.0f, 10.0f, 0.0f, 2001.0f);
    ASSERT_GT(std::fabs(r.DEC), 179.0f);
    ASSERT_GT(std::fabs(nextYear.DEC - r.DEC), 350.0f);  // the sign of D flipped
    // The needle turns by well under a degree, not by nearly a full turn.
    const double turn = static_cast<double>(nextYear.DEC) - static_cast<double>(r.DEC);
    const double shortWay = turn > 0.0 ? turn - 360.0 : turn + 360.0;
    EXPECT_NEAR(r.DEC2, shortWay * 60.0, 1e-3);
    EXPECT_LT(std::fabs(r.DEC2), 60.0f);

    EXPECT_EQ(angleChangeMinutes(179.5f, -179.5f), 60.0);
    EXPECT_EQ(angleChangeMinutes(-179.5f, 179.5f), -60.0);
    EXPECT_EQ(angleChangeMinutes(0.0f, 180.0f), 10800.0);   // a half turn stays as it is
    EXPECT_EQ(angleChangeMinutes(0.0f, -180.0f), 10800.0);  // and lands in (-180, 180]
    EXPECT_EQ(angleChangeMinutes(10.0f, 12.5f), 150.0);
}

}  // namespace
}  // namespace tellurim::test
