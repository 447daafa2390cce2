#include "EngineTestSupport.h"
#include "engine/GeodeticTerms.h"

#include <cmath>
#include <cstring>

namespace tellurim::test {
namespace {

/// An engine holding a small synthetic model written with the given header.
struct SyntheticModel : ScratchModel {
    explicit SyntheticModel(const std::string& header, const std::vector<std::string>& records = {kAxialDipole})
    {
        EXPECT_TRUE(load(modelText(header, records)));
    }
};

/// The shipped WMM2025 model, freshly loaded.
class Wmm2025 : public testing::Test {
protected:
    FieldAtTime at(float latitude, float longitude, float time, float altitude = 0.0f)
    {
        return synthesize(engine, altitude, latitude, longitude, time);
    }
    ShippedEngine shipped;
    ModelEngine& engine = shipped.engine;
    RecordingSink& sink = shipped.sink;
};
class SynthesisLifeSpan : public Wmm2025 {};
class SynthesisPoleCase : public Wmm2025 {};
class SynthesisCacheUse : public Wmm2025 {};

TEST_F(SynthesisLifeSpan, DateFlagIncludesBothEndsAndAnInRangeFirstDateNeverWarns)
{
    EXPECT_EQ(at(10.0f, 10.0f, 2025.0f).dateOutOfRange, 0);
    EXPECT_EQ(at(10.0f, 10.0f, 2030.0f).dateOutOfRange, 0);
    EXPECT_EQ(at(10.0f, 10.0f, 2024.99f).dateOutOfRange, 1);
    EXPECT_EQ(at(10.0f, 10.0f, 2030.01f).dateOutOfRange, 1);
    EXPECT_EQ(at(10.0f, 10.0f, 2040.0f).dateOutOfRange, 1);
    EXPECT_TRUE(sink.entries.empty());  // the first date was in range
}

TEST_F(SynthesisLifeSpan, WarningAppearsOnceAfterEachLoad)
{
    EXPECT_EQ(at(10.0f, 10.0f, 2035.0f).dateOutOfRange, 1);
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_TRUE(sink.entries[0].information);
    EXPECT_EQ(sink.entries[0].text.rfind("WARNING: TIME BEYOND MODEL LIFE SPAN;", 0), 0u);
    EXPECT_GT(sink.entries[0].text.size(), std::strlen("WARNING: TIME BEYOND MODEL LIFE SPAN;"));

    EXPECT_EQ(at(10.0f, 10.0f, 2035.0f).dateOutOfRange, 1);
    EXPECT_EQ(at(20.0f, 10.0f, 2010.0f).dateOutOfRange, 1);
    EXPECT_EQ(sink.entries.size(), 1u);

    loadShipped(engine);
    at(10.0f, 10.0f, 2010.0f);
    EXPECT_EQ(sink.entries.size(), 2u);
}

TEST_F(SynthesisLifeSpan, DatesOfZeroOrLessStillWarnOnlyOnce)
{
    for (const float date : {0.0f, -5.0f, 0.0f, -2025.0f})
        EXPECT_EQ(at(10.0f, 10.0f, date).dateOutOfRange, 1);
    EXPECT_EQ(sink.entries.size(), 1u);
}

TEST(SynthesisBounds, BoxesOfTheHeaderSetTheCoordinateFlag)
{
    struct Case {
        std::string latMin, latMax, lonMin, lonMax;
        std::vector<std::pair<float, float>> inside, outside;  // latitude, longitude
    };
    const Case cases[] = {
        // Across 180 degrees.
        {"", "", "170.0", "-170.0", {{10, 175}, {10, -175}, {10, 170}, {10, -170}, {10, 180}},
         {{10, 0}, {10, -160}, {10, 160}}},
        // 235..295 east is stored as -125..-65.
        {"", "", "235.0", "295.0", {{40, -100}, {40, -65}}, {{40, -130}, {40, -64.9f}}},
        {"-10.0", "10.0", "", "", {{10, 50}}, {{-10.5f, 50}, {20, 50}}},
        // A latitude box needs both bounds.
        {"0.0", "10.0", "", "", {{50, 50}, {-50, 50}}, {}},
        // Either test outside sets the flag.
        {"20.0", "60.0", "-20.0", "40.0", {{30, 0}}, {{70, 0}, {30, 50}, {70, 50}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.latMin + " " + c.latMax + " " + c.lonMin + " " + c.lonMax);
        SyntheticModel model{headerRecord("2000.0", "R", "5.0", c.latMin, c.latMax, c.lonMin, c.lonMax)};
        for (const auto& [latitude, longitude] : c.inside)
            EXPECT_EQ(model.at(latitude, longitude).coordinatesOutOfRange, 0) << latitude << " " << longitude;
        for (const auto& [latitude, longitude] : c.outside)
            EXPECT_EQ(model.at(latitude, longitude).coordinatesOutOfRange, 1) << latitude << " " << longitude;
    }
}

TEST(SynthesisGridVariation, AppliesFrom55DegreesEitherSide)
{
    SyntheticModel model{headerRecord("2000.0")};
    EXPECT_EQ(model.at(54.9f, 10.0f).gridVariation, kNoGridVariation);
    EXPECT_EQ(model.at(-54.9f, 10.0f).gridVariation, kNoGridVariation);
    EXPECT_LT(model.at(55.0f, 10.0f).gridVariation, 1.0e19f);
    EXPECT_LT(model.at(-55.0f, 10.0f).gridVariation, 1.0e19f);
}

TEST(SynthesisGridVariation, DeclinationLessLongitudeNorthPlusLongitudeSouthWrapped)
{
    // An axial dipole has declination 0 everywhere, so the grid variation is
    // the longitude term alone.
    SyntheticModel model{headerRecord("2000.0")};
    ASSERT_EQ(model.at(80.0f, -100.0f).declination, 0.0f);
    EXPECT_EQ(model.at(80.0f, -100.0f).gridVariation, 100.0f);
    EXPECT_EQ(model.at(80.0f, 170.0f).gridVariation, -170.0f);
    EXPECT_EQ(model.at(80.0f, -190.0f).gridVariation, -170.0f);  // 190 - 360
    EXPECT_EQ(model.at(-80.0f, 170.0f).gridVariation, 170.0f);
    EXPECT_EQ(model.at(-80.0f, 190.0f).gridVariation, -170.0f);
    EXPECT_EQ(model.at(-80.0f, -100.0f).gridVariation, -100.0f);

    // With a real declination: lat 80 lon -100 adds 100, lat -80 lon 170
    // adds 170 and wraps when the sum passes 180.
    ShippedEngine shipped;
    const FieldAtTime north = synthesize(shipped.engine, 0.0f, 80.0f, -100.0f, 2025.0f);
    EXPECT_NEAR(north.gridVariation, north.declination + 100.0f, 1e-4f);
    const FieldAtTime south = synthesize(shipped.engine, 0.0f, -80.0f, 170.0f, 2025.0f);
    const float sum = south.declination + 170.0f;
    EXPECT_NEAR(south.gridVariation, sum > 180.0f ? sum - 360.0f : sum, 1e-4f);
    EXPECT_GE(south.gridVariation, -180.0f);
    EXPECT_LE(south.gridVariation, 180.0f);
}

TEST_F(SynthesisPoleCase, GeographicPolesAreFiniteAndContinuous)
{
    for (const float pole : {90.0f, -90.0f}) {
        for (const float longitude : {-180.0f, -45.0f, 0.0f, 33.3f, 179.0f}) {
            const FieldAtTime exact = at(pole, longitude, 2025.0f);
            EXPECT_EQ(geodeticTerms(0.0f, pole).ST, 0.0f);
            ASSERT_TRUE(std::isfinite(exact.declination) && std::isfinite(exact.inclination)
                        && std::isfinite(exact.totalIntensity));
            // The pole-case east component must be the limit of BP / ST.
            const FieldAtTime near = at(pole > 0.0f ? 89.9999f : -89.9999f, longitude, 2025.0f);
            EXPECT_GT(geodeticTerms(0.0f, pole > 0.0f ? 89.9999f : -89.9999f).ST, 0.0f);
            EXPECT_NEAR(exact.totalIntensity, near.totalIntensity, 0.1f);
            EXPECT_NEAR(exact.inclination, near.inclination, 0.001f);
            EXPECT_NEAR(exact.declination, near.declination, 0.01f) << pole << " " << longitude;
        }
    }
}

TEST_F(SynthesisPoleCase, HorizontalFieldIsSmoothOverTheLastHundredthOfADegree)
{
    // Within 0.02 degree of a pole the north and east components change
    // linearly with distance, so the value halfway must be the mean of its
    // neighbours. A colatitude sine that collapses to 0 before the pole
    // would put the midpoint several nT off.
    for (const float sign : {1.0f, -1.0f}) {
        const FieldResult outer = engine.computePoint(0.0f, sign * 89.98f, 30.0f, 2025.0f);
        const FieldResult middle = engine.computePoint(0.0f, sign * 89.99f, 30.0f, 2025.0f);
        const FieldResult pole = engine.computePoint(0.0f, sign * 90.0f, 30.0f, 2025.0f);
        EXPECT_NEAR(middle.BX, (outer.BX + pole.BX) / 2.0f, 0.05f) << sign;
        EXPECT_NEAR(middle.BY, (outer.BY + pole.BY) / 2.0f, 0.05f) << sign;
        EXPECT_GT(std::fabs(outer.BX - pole.BX), 1.0f);  // the field does change there
    }
}

TEST_F(SynthesisCacheUse, RepeatedAndInterleavedCallsGiveIdenticalBits)
{
    const FieldAtTime a = at(61.25f, -149.9f, 2026.3f, 1.5f);
    EXPECT_TRUE(sameBytes(a, at(61.25f, -149.9f, 2026.3f, 1.5f)));
    // B shares the latitude (a grid row), then the place (time + 1), then nothing.
    at(61.25f, 20.0f, 2026.3f, 1.5f);
    EXPECT_TRUE(sameBytes(a, at(61.25f, -149.9f, 2026.3f, 1.5f)));
    at(61.25f, -149.9f, 2027.3f, 1.5f);
    EXPECT_TRUE(sameBytes(a, at(61.25f, -149.9f, 2026.3f, 1.5f)));
    at(-12.0f, 99.0f, 2029.0f, 300.0f);
    EXPECT_TRUE(sameBytes(a, at(61.25f, -149.9f, 2026.3f, 1.5f)));

    ShippedEngine fresh;
    EXPECT_TRUE(sameBytes(a, synthesize(fresh.engine, 1.5f, 61.25f, -149.9f, 2026.3f)));
}

TEST_F(SynthesisCacheUse, NonFiniteInputsDoNotPoisonLaterResults)
{
    const FieldAtTime a = at(45.0f, 45.0f, 2026.0f);
    const float nan = std::nanf("");
    at(nan, nan, nan, nan);
    at(45.0f, -INFINITY, 2026.0f, INFINITY);
    EXPECT_TRUE(sameBytes(a, at(45.0f, 45.0f, 2026.0f)));
}

TEST_F(SynthesisCacheUse, NothingCachedSurvivesLoadingAnotherModel)
{
    at(50.0f, 7.0f, 2024.0f);
    at(50.0f, 7.0f, 2025.0f);
    loadShipped(engine, "WMM2020.COF");
    const FieldAtTime reloaded = at(50.0f, 7.0f, 2024.0f);
    const FieldAtTime reloadedNext = at(50.0f, 7.0f, 2025.0f);

    ShippedEngine fresh("WMM2020.COF");
    EXPECT_TRUE(sameBytes(reloaded, synthesize(fresh.engine, 0.0f, 50.0f, 7.0f, 2024.0f)));
    EXPECT_TRUE(sameBytes(reloadedNext, synthesize(fresh.engine, 0.0f, 50.0f, 7.0f, 2025.0f)));
}

TEST_F(SynthesisCacheUse, InputsEqualToTheResetMarkerAreStillComputed)
{
    // Right after a load the cache remembers -1000 for every input; a first
    // call with exactly those values must not use the empty tables.
    const FieldAtTime first = at(-1000.0f, -1000.0f, -1000.0f, -1000.0f);
    ShippedEngine used;
    synthesize(used.engine, 5.0f, 50.0f, 5.0f, 2026.0f);
    const FieldAtTime later = synthesize(used.engine, -1000.0f, -1000.0f, -1000.0f, -1000.0f);
    EXPECT_GT(first.totalIntensity, 0.0f);
    EXPECT_TRUE(sameBytes(first, later));
}

TEST_F(SynthesisCacheUse, CopiesEvaluateIndependentlyAndRedirectMessages)
{
    ModelEngine copy = engine;
    RecordingSink quiet;
    copy.setMessageSink(quiet);
    const FieldAtTime fromCopy = synthesize(copy, 0.0f, 30.0f, 30.0f, 2040.0f);
    EXPECT_EQ(quiet.entries.size(), 1u);
    EXPECT_TRUE(sink.entries.empty());
    // The original's cache is untouched by the copy: its first call still warns.
    EXPECT_TRUE(sameBytes(fromCopy, at(30.0f, 30.0f, 2040.0f)));
    EXPECT_EQ(sink.entries.size(), 1u);
}

TEST(SynthesisSpecialFields, ZeroFieldHasDeclinationZero)
{
    // A model whose coefficients are all zero: BX = BY = 0 exactly.
    SyntheticModel model{headerRecord("2000.0"), {}};
    for (const float latitude : {0.0f, 45.0f, 90.0f, -90.0f}) {
        const FieldAtTime out = model.at(latitude, 30.0f);
        EXPECT_EQ(out.totalIntensity, 0.0f);
        EXPECT_EQ(out.declination, 0.0f) << latitude;
        EXPECT_EQ(out.inclination, 0.0f);
    }
}

TEST_F(Wmm2025, AnyAltitudeIsAccepted)
{
    float previous = INFINITY;
    for (const float altitude : {-500.0f, 0.0f, 1000.0f, 36000.0f}) {
        const FieldAtTime out = at(30.0f, 30.0f, 2026.0f, altitude);
        EXPECT_EQ(out.coordinatesOutOfRange, 0);
        EXPECT_EQ(out.dateOutOfRange, 0);
        ASSERT_TRUE(std::isfinite(out.totalIntensity));
        EXPECT_LT(out.totalIntensity, previous);  // weaker with height
        previous = out.totalIntensity;
    }
}

TEST(SynthesisSpecialFields, AxialDipoleMatchesTheClosedForm)
{
    // At the equator on the reference sphere's scale a -30000 nT axial dipole
    // points north with |g10| (RE/r)^3; at the poles it is vertical with twice that.
    SyntheticModel model{headerRecord("2000.0")};
    const FieldAtTime equator = model.at(0.0f, 77.0f);
    EXPECT_NEAR(equator.totalIntensity, 30000.0 * std::pow(6371.2 / 6378.137, 3.0), 0.01);
    EXPECT_EQ(equator.declination, 0.0f);
    EXPECT_NEAR(equator.inclination, 0.0f, 1e-4f);
    const FieldAtTime north = model.at(90.0f, 0.0f);
    EXPECT_NEAR(north.totalIntensity, 2.0 * 30000.0 * std::pow(6371.2 / 6356.7523142, 3.0), 0.05);
    EXPECT_NEAR(north.inclination, 90.0f, 1e-4f);
}

TEST(NoModel, FlagsOnlyOutputsUntouchedZeroPolesAndNoMessages)
{
    RecordingSink sink;
    ModelEngine engine{sink};
    FieldAtTime out{1.0f, 2.0f, 3.0f, 4.0f, 0, 0};
    engine.synthesize(0.0f, 80.0f, 0.0f, 2025.0f, out);
    EXPECT_TRUE(sameBytes(out, FieldAtTime{1.0f, 2.0f, 3.0f, 4.0f, -1, -1}));
    const FieldResult r = engine.computePoint(0.0f, 10.0f, 10.0f, 2025.0f);
    EXPECT_EQ(r.dateOutOfRange, -1);
    EXPECT_EQ(r.coordinatesOutOfRange, -1);
    const MagneticPoles poles = engine.findMagneticPoles(2025.0f);
    EXPECT_EQ(poles.north.decimalLatitude, 0.0f);
    EXPECT_EQ(poles.south.decimalLongitude, 0.0f);
    EXPECT_TRUE(sink.entries.empty());
}

}  // namespace
}  // namespace tellurim::test
