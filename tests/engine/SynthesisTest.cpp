#include "EngineTestSupport.h"

#include <cmath>
#include <cstring>

namespace tellurim::test {
namespace {

/// An engine holding a small synthetic model written with the given header.
class SyntheticModel {
public:
    explicit SyntheticModel(const std::string& header, const std::string& records = axialDipole())
    {
        std::string name = m_dir.write("synthetic.COF", header + "\n" + records + kEndRecord + "\n");
        engine.readModelFile(12, name);
        EXPECT_TRUE(engine.isLoaded());
    }
    static std::string axialDipole() { return coefficientRecord(1, 0, -30000.0, 0.0, 0.0, 0.0) + "\n"; }

    SynthesisOutput at(float latitude, float longitude, float time = 2000.0f, float altitude = 0.0f)
    {
        SynthesisOutput out;
        engine.synthesize(altitude, latitude, longitude, time, out);
        return out;
    }

    RecordingSink sink;
    ModelEngine engine{sink};

private:
    TempDir m_dir;
};

bool identical(const SynthesisOutput& a, const SynthesisOutput& b)
{
    return std::memcmp(&a.declination, &b.declination, sizeof(float)) == 0
           && std::memcmp(&a.inclination, &b.inclination, sizeof(float)) == 0
           && std::memcmp(&a.totalIntensity, &b.totalIntensity, sizeof(float)) == 0
           && std::memcmp(&a.gridVariation, &b.gridVariation, sizeof(float)) == 0
           && a.dateOutOfRange == b.dateOutOfRange && a.coordinatesOutOfRange == b.coordinatesOutOfRange;
}

SynthesisOutput synthesize(ModelEngine& engine, float altitude, float latitude, float longitude, float time)
{
    SynthesisOutput out;
    engine.synthesize(altitude, latitude, longitude, time, out);
    return out;
}

TEST(SynthesisLifeSpan, DateFlagIncludesBothEnds)
{
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    EXPECT_EQ(synthesize(engine, 0.0f, 10.0f, 10.0f, 2025.0f).dateOutOfRange, 0);
    EXPECT_EQ(synthesize(engine, 0.0f, 10.0f, 10.0f, 2030.0f).dateOutOfRange, 0);
    EXPECT_EQ(synthesize(engine, 0.0f, 10.0f, 10.0f, 2024.99f).dateOutOfRange, 1);
    EXPECT_EQ(synthesize(engine, 0.0f, 10.0f, 10.0f, 2030.01f).dateOutOfRange, 1);
    EXPECT_TRUE(sink.entries.empty());  // the first date was in range
}

TEST(SynthesisLifeSpan, WarningAppearsOnceAfterEachLoad)
{
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    EXPECT_EQ(synthesize(engine, 0.0f, 10.0f, 10.0f, 2035.0f).dateOutOfRange, 1);
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_TRUE(sink.entries[0].information);
    EXPECT_EQ(sink.entries[0].text.rfind("WARNING: TIME BEYOND MODEL LIFE SPAN;", 0), 0u);
    EXPECT_GT(sink.entries[0].text.size(), std::strlen("WARNING: TIME BEYOND MODEL LIFE SPAN;"));

    EXPECT_EQ(synthesize(engine, 0.0f, 10.0f, 10.0f, 2035.0f).dateOutOfRange, 1);
    EXPECT_EQ(synthesize(engine, 0.0f, 20.0f, 10.0f, 2010.0f).dateOutOfRange, 1);
    EXPECT_EQ(sink.entries.size(), 1u);

    loadShipped(engine, "WMM2025.COF");
    synthesize(engine, 0.0f, 10.0f, 10.0f, 2010.0f);
    EXPECT_EQ(sink.entries.size(), 2u);
}

TEST(SynthesisLifeSpan, InRangeFirstSynthesisSilencesLaterOutOfRangeDates)
{
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    synthesize(engine, 0.0f, 10.0f, 10.0f, 2026.0f);
    EXPECT_EQ(synthesize(engine, 0.0f, 10.0f, 10.0f, 2040.0f).dateOutOfRange, 1);
    EXPECT_TRUE(sink.entries.empty());
}

TEST(SynthesisLifeSpan, DatesOfZeroOrLessStillWarnOnlyOnce)
{
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    for (const float date : {0.0f, -5.0f, 0.0f, -2025.0f})
        EXPECT_EQ(synthesize(engine, 0.0f, 10.0f, 10.0f, date).dateOutOfRange, 1);
    EXPECT_EQ(sink.entries.size(), 1u);
}

TEST(SynthesisBounds, LongitudeBoxAcross180)
{
    SyntheticModel model{headerRecord("2000.0", "R", "5.0", "", "", "170.0", "-170.0")};
    for (const float inside : {175.0f, -175.0f, 170.0f, -170.0f, 180.0f})
        EXPECT_EQ(model.at(10.0f, inside).coordinatesOutOfRange, 0) << inside;
    for (const float outside : {0.0f, -160.0f, 160.0f})
        EXPECT_EQ(model.at(10.0f, outside).coordinatesOutOfRange, 1) << outside;
}

TEST(SynthesisBounds, LongitudeBoxWrittenEastOf180)
{
    // 235..295 east is stored as -125..-65.
    SyntheticModel model{headerRecord("2000.0", "R", "5.0", "", "", "235.0", "295.0")};
    EXPECT_EQ(model.at(40.0f, -130.0f).coordinatesOutOfRange, 1);
    EXPECT_EQ(model.at(40.0f, -100.0f).coordinatesOutOfRange, 0);
    EXPECT_EQ(model.at(40.0f, -65.0f).coordinatesOutOfRange, 0);
    EXPECT_EQ(model.at(40.0f, -64.9f).coordinatesOutOfRange, 1);
}

TEST(SynthesisBounds, LatitudeBoxNeedsBothBounds)
{
    SyntheticModel bounded{headerRecord("2000.0", "R", "5.0", "-10.0", "10.0")};
    EXPECT_EQ(bounded.at(10.0f, 50.0f).coordinatesOutOfRange, 0);
    EXPECT_EQ(bounded.at(-10.5f, 50.0f).coordinatesOutOfRange, 1);
    EXPECT_EQ(bounded.at(20.0f, 50.0f).coordinatesOutOfRange, 1);

    SyntheticModel southOnly{headerRecord("2000.0", "R", "5.0", "0.0", "10.0")};
    EXPECT_EQ(southOnly.at(50.0f, 50.0f).coordinatesOutOfRange, 0);
    EXPECT_EQ(southOnly.at(-50.0f, 50.0f).coordinatesOutOfRange, 0);
}

TEST(SynthesisBounds, EitherTestOutsideSetsTheFlag)
{
    SyntheticModel model{headerRecord("2000.0", "R", "5.0", "20.0", "60.0", "-20.0", "40.0")};
    EXPECT_EQ(model.at(30.0f, 0.0f).coordinatesOutOfRange, 0);
    EXPECT_EQ(model.at(70.0f, 0.0f).coordinatesOutOfRange, 1);
    EXPECT_EQ(model.at(30.0f, 50.0f).coordinatesOutOfRange, 1);
    EXPECT_EQ(model.at(70.0f, 50.0f).coordinatesOutOfRange, 1);
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
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    const SynthesisOutput north = synthesize(engine, 0.0f, 80.0f, -100.0f, 2025.0f);
    EXPECT_NEAR(north.gridVariation, north.declination + 100.0f, 1e-4f);
    const SynthesisOutput south = synthesize(engine, 0.0f, -80.0f, 170.0f, 2025.0f);
    const float sum = south.declination + 170.0f;
    EXPECT_NEAR(south.gridVariation, sum > 180.0f ? sum - 360.0f : sum, 1e-4f);
    EXPECT_GE(south.gridVariation, -180.0f);
    EXPECT_LE(south.gridVariation, 180.0f);
}

TEST(SynthesisPoleCase, GeographicPolesAreFiniteAndContinuous)
{
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    for (const float pole : {90.0f, -90.0f}) {
        for (const float longitude : {-180.0f, -45.0f, 0.0f, 33.3f, 179.0f}) {
            const SynthesisOutput at = synthesize(engine, 0.0f, pole, longitude, 2025.0f);
            EXPECT_EQ(engine.cache().ST, 0.0f);
            ASSERT_TRUE(std::isfinite(at.declination) && std::isfinite(at.inclination)
                        && std::isfinite(at.totalIntensity));
            // The pole-case east component must be the limit of BP / ST.
            const float nearPole = pole > 0.0f ? 89.9999f : -89.9999f;
            const SynthesisOutput near = synthesize(engine, 0.0f, nearPole, longitude, 2025.0f);
            EXPECT_GT(engine.cache().ST, 0.0f);
            EXPECT_NEAR(at.totalIntensity, near.totalIntensity, 0.1f);
            EXPECT_NEAR(at.inclination, near.inclination, 0.001f);
            EXPECT_NEAR(at.declination, near.declination, 0.01f) << pole << " " << longitude;
        }
    }
}

TEST(SynthesisPoleCase, HorizontalFieldIsSmoothOverTheLastHundredthOfADegree)
{
    // Within 0.02 degree of a pole the north and east components change
    // linearly with distance, so the value halfway must be the mean of its
    // neighbours. A colatitude sine that collapses to 0 before the pole
    // would put the midpoint several nT off.
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    for (const float sign : {1.0f, -1.0f}) {
        const FieldResult outer = engine.computePoint(0.0f, sign * 89.98f, 30.0f, 2025.0f, 0, 1);
        const FieldResult middle = engine.computePoint(0.0f, sign * 89.99f, 30.0f, 2025.0f, 0, 1);
        const FieldResult pole = engine.computePoint(0.0f, sign * 90.0f, 30.0f, 2025.0f, 0, 1);
        EXPECT_NEAR(middle.BX, (outer.BX + pole.BX) / 2.0f, 0.05f) << sign;
        EXPECT_NEAR(middle.BY, (outer.BY + pole.BY) / 2.0f, 0.05f) << sign;
        EXPECT_GT(std::fabs(outer.BX - pole.BX), 1.0f);  // the field does change there
    }
}

TEST(SynthesisCacheUse, RepeatedAndInterleavedCallsGiveIdenticalBits)
{
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    const SynthesisOutput a = synthesize(engine, 1.5f, 61.25f, -149.9f, 2026.3f);
    EXPECT_TRUE(identical(a, synthesize(engine, 1.5f, 61.25f, -149.9f, 2026.3f)));
    // B shares the latitude (a grid row), then the place (time + 1), then nothing.
    synthesize(engine, 1.5f, 61.25f, 20.0f, 2026.3f);
    EXPECT_TRUE(identical(a, synthesize(engine, 1.5f, 61.25f, -149.9f, 2026.3f)));
    synthesize(engine, 1.5f, 61.25f, -149.9f, 2027.3f);
    EXPECT_TRUE(identical(a, synthesize(engine, 1.5f, 61.25f, -149.9f, 2026.3f)));
    synthesize(engine, 300.0f, -12.0f, 99.0f, 2029.0f);
    EXPECT_TRUE(identical(a, synthesize(engine, 1.5f, 61.25f, -149.9f, 2026.3f)));

    ModelEngine fresh{sink};
    loadShipped(fresh, "WMM2025.COF");
    EXPECT_TRUE(identical(a, synthesize(fresh, 1.5f, 61.25f, -149.9f, 2026.3f)));
}

TEST(SynthesisCacheUse, NonFiniteInputsDoNotPoisonLaterResults)
{
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    const SynthesisOutput a = synthesize(engine, 0.0f, 45.0f, 45.0f, 2026.0f);
    const float nan = std::nanf("");
    synthesize(engine, nan, nan, nan, nan);
    synthesize(engine, INFINITY, 45.0f, -INFINITY, 2026.0f);
    EXPECT_TRUE(identical(a, synthesize(engine, 0.0f, 45.0f, 45.0f, 2026.0f)));
}

TEST(SynthesisCacheUse, NothingCachedSurvivesLoadingAnotherModel)
{
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    synthesize(engine, 0.0f, 50.0f, 7.0f, 2024.0f);
    synthesize(engine, 0.0f, 50.0f, 7.0f, 2025.0f);
    loadShipped(engine, "WMM2020.COF");
    const SynthesisOutput reloaded = synthesize(engine, 0.0f, 50.0f, 7.0f, 2024.0f);
    const SynthesisOutput reloadedNext = synthesize(engine, 0.0f, 50.0f, 7.0f, 2025.0f);

    ModelEngine fresh{sink};
    loadShipped(fresh, "WMM2020.COF");
    EXPECT_TRUE(identical(reloaded, synthesize(fresh, 0.0f, 50.0f, 7.0f, 2024.0f)));
    EXPECT_TRUE(identical(reloadedNext, synthesize(fresh, 0.0f, 50.0f, 7.0f, 2025.0f)));
}

TEST(SynthesisCacheUse, InputsEqualToTheResetMarkerAreStillComputed)
{
    // Right after a load the cache remembers -1000 for every input; a first
    // call with exactly those values must not use the empty tables.
    RecordingSink sink;
    ModelEngine fresh{sink};
    loadShipped(fresh, "WMM2025.COF");
    const SynthesisOutput first = synthesize(fresh, -1000.0f, -1000.0f, -1000.0f, -1000.0f);

    ModelEngine used{sink};
    loadShipped(used, "WMM2025.COF");
    synthesize(used, 5.0f, 50.0f, 5.0f, 2026.0f);
    const SynthesisOutput later = synthesize(used, -1000.0f, -1000.0f, -1000.0f, -1000.0f);
    EXPECT_GT(first.totalIntensity, 0.0f);
    EXPECT_TRUE(identical(first, later));
}

TEST(SynthesisCacheUse, CopiesEvaluateIndependentlyAndRedirectMessages)
{
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    ModelEngine copy = engine;
    RecordingSink quiet;
    copy.setMessageSink(quiet);
    const SynthesisOutput fromCopy = synthesize(copy, 0.0f, 30.0f, 30.0f, 2040.0f);
    EXPECT_EQ(quiet.entries.size(), 1u);
    EXPECT_TRUE(sink.entries.empty());
    // The original's cache is untouched by the copy: its first call still warns.
    EXPECT_TRUE(identical(fromCopy, synthesize(engine, 0.0f, 30.0f, 30.0f, 2040.0f)));
    EXPECT_EQ(sink.entries.size(), 1u);
}

TEST(SynthesisSpecialFields, ZeroFieldHasDeclinationZero)
{
    // A model whose coefficients are all zero: BX = BY = 0 exactly.
    SyntheticModel model{headerRecord("2000.0"), ""};
    for (const float latitude : {0.0f, 45.0f, 90.0f, -90.0f}) {
        const SynthesisOutput out = model.at(latitude, 30.0f);
        EXPECT_EQ(out.totalIntensity, 0.0f);
        EXPECT_EQ(out.declination, 0.0f) << latitude;
        EXPECT_EQ(out.inclination, 0.0f);
    }
}

TEST(SynthesisSpecialFields, AnyAltitudeIsAccepted)
{
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    float previous = INFINITY;
    for (const float altitude : {-500.0f, 0.0f, 1000.0f, 36000.0f}) {
        const SynthesisOutput out = synthesize(engine, altitude, 30.0f, 30.0f, 2026.0f);
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
    const SynthesisOutput equator = model.at(0.0f, 77.0f);
    const double r = 6378.137;
    const double expected = 30000.0 * std::pow(6371.2 / r, 3.0);
    EXPECT_NEAR(equator.totalIntensity, expected, 0.01);
    EXPECT_EQ(equator.declination, 0.0f);
    EXPECT_NEAR(equator.inclination, 0.0f, 1e-4f);
    const SynthesisOutput north = model.at(90.0f, 0.0f);
    EXPECT_NEAR(north.totalIntensity, 2.0 * 30000.0 * std::pow(6371.2 / 6356.7523142, 3.0), 0.05);
    EXPECT_NEAR(north.inclination, 90.0f, 1e-4f);
}

TEST(SynthesisNoModel, FlagsOnlyAndOutputsUntouched)
{
    RecordingSink sink;
    ModelEngine engine{sink};
    SynthesisOutput out;
    out.declination = 1.0f;
    out.inclination = 2.0f;
    out.totalIntensity = 3.0f;
    out.gridVariation = 4.0f;
    engine.synthesize(0.0f, 80.0f, 0.0f, 2025.0f, out);
    EXPECT_EQ(out.dateOutOfRange, -1);
    EXPECT_EQ(out.coordinatesOutOfRange, -1);
    EXPECT_EQ(out.declination, 1.0f);
    EXPECT_EQ(out.inclination, 2.0f);
    EXPECT_EQ(out.totalIntensity, 3.0f);
    EXPECT_EQ(out.gridVariation, 4.0f);
    EXPECT_TRUE(sink.entries.empty());
}

}  // namespace
}  // namespace tellurim::test
