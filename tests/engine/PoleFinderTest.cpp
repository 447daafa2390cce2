#include "EngineTestSupport.h"

#include "engine/PoleFinder.h"

#include <cmath>
#include <tuple>

namespace tellurim::test {
namespace {

/// Horizontal intensity at the surface, from the synthesis alone.
double horizontalIntensity(ModelEngine& engine, double latitude, double longitude, float date)
{
    FieldAtTime out;
    engine.synthesize(0.0f, static_cast<float>(latitude), static_cast<float>(longitude), date, out);
    return std::fabs(static_cast<double>(out.totalIntensity)
                     * std::cos(static_cast<double>(out.inclination) * M_PI / 180.0));
}

struct Point {
    double latitude;
    double longitude;
};

/// The minimum of H over a polar band by exhaustive scan on a fine grid, then
/// a compass search (eight neighbours, move to the lowest, halve the step when
/// none is lower) until the step is far below the tolerance.
Point bruteForceMinimum(ModelEngine& engine, double fromLatitude, double toLatitude, float date)
{
    Point best{fromLatitude, -180.0};
    double bestH = horizontalIntensity(engine, best.latitude, best.longitude, date);
    for (double lat = fromLatitude; lat <= toLatitude; lat += 0.25) {
        for (double lon = -180.0; lon < 180.0; lon += 0.5) {
            const double h = horizontalIntensity(engine, lat, lon, date);
            if (h < bestH) {
                bestH = h;
                best = {lat, lon};
            }
        }
    }
    double step = 0.25;
    while (step > 1.0e-6) {
        Point candidate = best;
        double candidateH = bestH;
        for (int dLat = -1; dLat <= 1; ++dLat) {
            for (int dLon = -1; dLon <= 1; ++dLon) {
                const Point p{best.latitude + dLat * step, best.longitude + dLon * step};
                const double h = horizontalIntensity(engine, p.latitude, p.longitude, date);
                if (h < candidateH) {
                    candidateH = h;
                    candidate = p;
                }
            }
        }
        if (candidateH < bestH) {
            best = candidate;
            bestH = candidateH;
        } else {
            step *= 0.5;
        }
    }
    return best;
}

TEST(PoleFinder, PolesLieAtTheMinimumOfHorizontalIntensity)
{
    for (const auto& [modelFile, date] : {std::pair{"WMM2025.COF", 2025.0f}, {"WMM2020.COF", 2020.0f}}) {
        SCOPED_TRACE(modelFile);
        ShippedEngine finder(modelFile);
        const MagneticPoles poles = finder.engine.findMagneticPoles(date);
        ShippedEngine reference(modelFile);
        const Point north = bruteForceMinimum(reference.engine, 60.0, 89.75, date);
        const Point south = bruteForceMinimum(reference.engine, -89.75, -50.0, date);
        EXPECT_NEAR(poles.north.decimalLatitude, north.latitude, 0.01);
        EXPECT_NEAR(poles.north.decimalLongitude, north.longitude, 0.01);
        EXPECT_NEAR(poles.south.decimalLatitude, south.latitude, 0.01);
        EXPECT_NEAR(poles.south.decimalLongitude, south.longitude, 0.01);
        EXPECT_TRUE(finder.sink.entries.empty() && reference.sink.entries.empty());
    }
}

/// Metres per degree of latitude on a sphere of the Earth's mean radius; a
/// local plane is accurate enough for distances of a few kilometres.
constexpr double kMetresPerDegree = 6371008.8 * M_PI / 180.0;

/// H from the two horizontal components, in double precision.
double exactHorizontal(ModelEngine& engine, double latitude, double longitude, float date)
{
    FieldAtTime out;
    engine.synthesize(0.0f, static_cast<float>(latitude), static_cast<float>(longitude), date, out);
    return std::hypot(out.northComponent, out.eastComponent);
}

/// The smallest H on a square of (2 * half + 1)^2 points spaced step metres,
/// centred on a point; also whether it lies inside the square's border.
struct LocalMinimum {
    Point at;
    bool inside;
};

LocalMinimum scanSquare(ModelEngine& engine, Point centre, double stepMetres, int half, float date)
{
    const double dLat = stepMetres / kMetresPerDegree;
    const double dLon = dLat / std::cos(centre.latitude * M_PI / 180.0);
    LocalMinimum best{centre, false};
    double bestH = 1.0e300;
    for (int i = -half; i <= half; ++i) {
        for (int j = -half; j <= half; ++j) {
            const Point p{centre.latitude + i * dLat, centre.longitude + j * dLon};
            const double h = exactHorizontal(engine, p.latitude, p.longitude, date);
            if (h < bestH) {
                bestH = h;
                best = {p, std::abs(i) < half && std::abs(j) < half};
            }
        }
    }
    return best;
}

double metresBetween(Point a, Point b)
{
    const double north = (a.latitude - b.latitude) * kMetresPerDegree;
    const double east = (a.longitude - b.longitude) * kMetresPerDegree
                        * std::cos(a.latitude * M_PI / 180.0);
    return std::hypot(north, east);
}

TEST(PoleFinder, PolesLieWithinTenMetresOfTheTrueMinimum)
{
    for (const auto& [modelFile, date] : {std::pair{"WMM2025.COF", 2025.0f}, {"WMM2020.COF", 2020.0f}}) {
        ShippedEngine finder(modelFile);
        ShippedEngine reference(modelFile);
        const MagneticPoles poles = finder.engine.findMagneticPoles(date);
        for (const PolePosition* pole : {&poles.north, &poles.south}) {
            SCOPED_TRACE(std::string(modelFile) + (pole == &poles.north ? " north" : " south"));
            const Point found{pole->decimalLatitude, pole->decimalLongitude};
            // 2 km square at 20 m, then 60 m square at 0.5 m around its best point.
            const LocalMinimum coarse = scanSquare(reference.engine, found, 20.0, 50, date);
            ASSERT_TRUE(coarse.inside);
            const LocalMinimum fine = scanSquare(reference.engine, coarse.at, 0.5, 60, date);
            ASSERT_TRUE(fine.inside);
            const double distance = metresBetween(found, fine.at);
            EXPECT_LT(distance, 10.0);
        }
    }
}

TEST(PoleFinder, ResultDoesNotDependOnEarlierComputations)
{
    ShippedEngine shipped;
    ModelEngine& engine = shipped.engine;
    const MagneticPoles first = engine.findMagneticPoles(2026.5f);

    // Leave the cache at another place, altitude and time, and search again.
    engine.computePoint(1234.0f, -12.5f, -33.25f, 2028.0f);
    const MagneticPoles second = engine.findMagneticPoles(2026.5f);
    engine.findMagneticPoles(2029.0f);
    const MagneticPoles third = engine.findMagneticPoles(2026.5f);

    for (const MagneticPoles* again : {&second, &third}) {
        EXPECT_EQ(again->north.decimalLatitude, first.north.decimalLatitude);
        EXPECT_EQ(again->north.decimalLongitude, first.north.decimalLongitude);
        EXPECT_EQ(again->south.decimalLatitude, first.south.decimalLatitude);
        EXPECT_EQ(again->south.decimalLongitude, first.south.decimalLongitude);
    }
    // The poles move over the years.
    const MagneticPoles later = engine.findMagneticPoles(2029.0f);
    EXPECT_NE(later.north.decimalLongitude, first.north.decimalLongitude);
}

TEST(PoleFinder, OutOfLifeSpanSearchWarnsOnlyAsTheFirstSynthesisAfterLoading)
{
    ShippedEngine shipped;
    shipped.engine.findMagneticPoles(2040.0f);
    ASSERT_EQ(shipped.sink.entries.size(), 1u);
    EXPECT_TRUE(shipped.sink.entries[0].information);
    shipped.engine.findMagneticPoles(2041.0f);
    EXPECT_EQ(shipped.sink.entries.size(), 1u);
}

std::tuple<int32_t, int32_t> latitudeDM(const PolePosition& p)
{
    return {p.latitudeDegrees, p.latitudeMinutes};
}

std::tuple<int32_t, int32_t, float> longitudeDMS(const PolePosition& p)
{
    return {p.longitudeDegrees, p.longitudeMinutes, p.longitudeSeconds};
}

TEST(PoleDecomposition, DegreesAndMinutesAreTruncatedAndEveryPartCarriesTheSign)
{
    PolePosition pole = polePositionFromDecimal(80.5f, -100.25f);
    EXPECT_EQ(pole.decimalLatitude, 80.5f);
    EXPECT_EQ(latitudeDM(pole), std::tuple(80, 30));
    EXPECT_EQ(pole.latitudeSeconds, 0.0f);
    EXPECT_EQ(pole.decimalLongitude, -100.25f);
    EXPECT_EQ(longitudeDMS(pole), std::tuple(-100, -15, 0.0f));

    pole = polePositionFromDecimal(-64.5f, -0.75f);
    EXPECT_EQ(latitudeDM(pole), std::tuple(-64, -30));
    EXPECT_NEAR(pole.latitudeSeconds, 0.0f, 1e-3f);
    EXPECT_EQ(pole.longitudeDegrees, 0);
    EXPECT_EQ(pole.longitudeMinutes, -45);

    // A longitude beyond -180 is not wrapped.
    pole = polePositionFromDecimal(70.0f, -180.5f);
    EXPECT_EQ(pole.decimalLongitude, -180.5f);
    EXPECT_EQ(pole.longitudeDegrees, -180);
    EXPECT_EQ(pole.longitudeMinutes, -30);

    // Non-finite input gives zero parts instead of overflow.
    pole = polePositionFromDecimal(std::nanf(""), 3.0e20f);
    EXPECT_EQ(pole.latitudeDegrees, 0);
    EXPECT_EQ(pole.longitudeDegrees, 0);
}

TEST(PoleDecomposition, LatitudeSecondsKeepFractionLongitudeSecondsRoundToATenthWithoutCarry)
{
    // 10 deg 20 min 30.47 s on both axes.
    const float value = static_cast<float>(10.0 + 20.0 / 60.0 + 30.47 / 3600.0);
    PolePosition pole = polePositionFromDecimal(value, value);
    EXPECT_NEAR(pole.latitudeSeconds, 30.47f, 0.002f);
    EXPECT_NE(pole.latitudeSeconds, 30.5f);
    EXPECT_EQ(pole.longitudeSeconds, 30.5f);
    EXPECT_EQ(pole.longitudeMinutes, 20);

    // Seconds just below sixty round to sixty.
    pole = polePositionFromDecimal(85.0f, static_cast<float>(-(120.0 + 7.0 / 60.0 + 59.96 / 3600.0)));
    EXPECT_EQ(longitudeDMS(pole), std::tuple(-120, -7, -60.0f));
}

}  // namespace
}  // namespace tellurim::test

namespace tellurim::test {
namespace {

TEST(PoleFinder, EveryShippedModelHasItsPolesAtALocalMinimum)
{
    // IGRF in 1900 had the north dip pole on the Boothia peninsula.
    for (const auto& [modelFile, date] : {std::pair{"WMMHR2025.COF", 2026.0f}, {"IGRF14.shc", 1900.0f},
                                          {"IGRF14.shc", 2027.0f}}) {
        ShippedEngine shipped(modelFile);
        const MagneticPoles poles = shipped.engine.findMagneticPoles(date);
        EXPECT_TRUE(shipped.sink.entries.empty());
        for (const PolePosition* pole : {&poles.north, &poles.south}) {
            SCOPED_TRACE(testing::Message() << modelFile << " " << date << (pole == &poles.north ? " north" : " south"));
            const double latitude = pole->decimalLatitude;
            const double longitude = pole->decimalLongitude;
            EXPECT_GT(std::fabs(latitude), 60.0);
            const double h = horizontalIntensity(shipped.engine, latitude, longitude, date);
            for (const auto& [dLat, dLon] : {std::pair{0.01, 0.0}, {-0.01, 0.0}, {0.0, 0.03}, {0.0, -0.03}})
                EXPECT_LE(h, horizontalIntensity(shipped.engine, latitude + dLat, longitude + dLon, date));
        }
        if (date == 1900.0f) {
            EXPECT_NEAR(poles.north.decimalLatitude, 70.5, 1.0);
            EXPECT_NEAR(poles.north.decimalLongitude, -96.2, 1.5);
        }
    }
}

}  // namespace
}  // namespace tellurim::test
