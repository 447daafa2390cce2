#include "engine/EngineConstants.h"
#include "engine/FastAngles.h"
#include "engine/FieldElements.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tellurim {

namespace {

// Sums and angles in double, results in single precision (see FieldSums).
using Real = double;

constexpr Real wide(float value) { return static_cast<Real>(value); }
constexpr float narrow(Real value) { return static_cast<float>(value); }

bool outsideLongitudeBounds(float longitude, float lonMin, float lonMax)
{
    if (lonMax > lonMin)
        return longitude < lonMin || longitude > lonMax;
    // The box crosses the 180 degree meridian (or the bounds are equal).
    if (longitude >= 0.0f)
        return longitude < lonMin || longitude > lonMax + 360.0f;
    return longitude > lonMax || longitude < lonMin - 360.0f;
}

}  // namespace

// A regional model's bounds; zero bounds mean no limit.
bool outsideRegion(const RegionBounds& bounds, float latitude, float longitude)
{
    if (bounds.latMin != 0.0f && bounds.latMax != 0.0f
        && (latitude < bounds.latMin || latitude > bounds.latMax))
        return true;
    return bounds.lonMin != 0.0f && bounds.lonMax != 0.0f
           && outsideLongitudeBounds(longitude, bounds.lonMin, bounds.lonMax);
}

// The field in the geodetic frame: total intensity, declination,
// inclination, for every lane. Stage by stage across the lanes, so that the
// long chains of square roots, divisions and arctangents of the lanes
// overlap.
template <std::size_t Lanes>
void setIntensityAndAngles(const GeodeticTerms& place, const LaneField& field, const std::array<Real, Lanes>& by,
                           FieldAtTime* out)
{
    const Real ca = wide(place.CA);
    const Real sa = wide(place.SA);
    for (std::size_t lane = 0; lane < Lanes; ++lane) {
        FieldAtTime& o = out[lane];
        const Real bx = -field.bt[lane] * ca - field.br[lane] * sa;
        const Real bz = field.bt[lane] * sa - field.br[lane] * ca;
        const Real bh = std::sqrt(bx * bx + by[lane] * by[lane]);
        o.northComponent = bx;
        o.eastComponent = by[lane];
        o.verticalComponent = bz;
        o.horizontalIntensity = bh;
        o.fieldIntensity = std::sqrt(bh * bh + bz * bz);
    }
    std::array<Real, Lanes> declinationAngles;
    std::array<Real, Lanes> inclinationAngles;
    if constexpr (Lanes % 4 == 0) {
        std::array<Real, Lanes> x, y, z, h;
        for (std::size_t lane = 0; lane < Lanes; ++lane) {
            x[lane] = out[lane].northComponent;
            y[lane] = out[lane].eastComponent;
            z[lane] = out[lane].verticalComponent;
            h[lane] = out[lane].horizontalIntensity;
        }
        for (std::size_t first = 0; first < Lanes; first += 4) {
            arcTangent2Quad(&y[first], &x[first], &declinationAngles[first]);
            arcTangent2Quad(&z[first], &h[first], &inclinationAngles[first]);
        }
    } else {
        for (std::size_t lane = 0; lane < Lanes; ++lane) {
            declinationAngles[lane] = arcTangent2(out[lane].eastComponent, out[lane].northComponent);
            inclinationAngles[lane] = arcTangent2(out[lane].verticalComponent, out[lane].horizontalIntensity);
        }
    }
    for (std::size_t lane = 0; lane < Lanes; ++lane) {
        FieldAtTime& o = out[lane];
        // A field with no horizontal part has no direction: declination 0,
        // not the 180 that atan2(+0, -0) would give for a sign-carrying zero.
        const bool noHorizontal = o.northComponent == 0.0 && o.eastComponent == 0.0;
        o.declinationRadians = noHorizontal ? 0.0 : declinationAngles[lane];
        o.inclinationRadians = inclinationAngles[lane];
    }
    for (std::size_t lane = 0; lane < Lanes; ++lane) {
        FieldAtTime& o = out[lane];
        o.totalIntensity = narrow(o.fieldIntensity);
        // Within three units in the last place of the library's atan2
        // divided alike; where that could change the single, the library's own.
        Real declination = o.declinationRadians / wide(kDegToRad);
        if (nearSingleRounding(declination, 1.0e-15 * std::fabs(declination)) && o.declinationRadians != 0.0) {
            o.declinationRadians = std::atan2(o.eastComponent, o.northComponent);
            declination = o.declinationRadians / wide(kDegToRad);
        }
        Real inclination = o.inclinationRadians / wide(kDegToRad);
        if (nearSingleRounding(inclination, 1.0e-15 * std::fabs(inclination))) {
            o.inclinationRadians = std::atan2(o.verticalComponent, o.horizontalIntensity);
            inclination = o.inclinationRadians / wide(kDegToRad);
        }
        o.declination = narrow(declination);
        o.inclination = narrow(inclination);
    }
}

float gridVariation(float declination, float latitude, float longitude)
{
    if (std::fabs(latitude) >= kPolarThreshold) {
        float variation = latitude > 0.0f ? declination - longitude
                                          : declination + longitude;
        if (variation > 180.0f)
            variation -= 360.0f;
        if (variation < -180.0f)
            variation += 360.0f;
        return variation;
    }
    return kNoGridVariation;
}

template void setIntensityAndAngles<1>(const GeodeticTerms&, const LaneField&, const std::array<Real, 1>&,
                                       FieldAtTime*);
template void setIntensityAndAngles<kLongitudeLanes>(const GeodeticTerms&, const LaneField&,
                                                     const std::array<Real, kLongitudeLanes>&, FieldAtTime*);

double angleChangeMinutes(float from, float to)
{
    // An angle that crosses +-180 within the year turns by a little, not by
    // nearly a full turn; within a half turn the difference is left as it is.
    double change = static_cast<double>(to) - static_cast<double>(from);
    if (change > 180.0)
        change -= 360.0;
    else if (change <= -180.0)
        change += 360.0;
    return change * 60.0;
}

namespace {

/// North, east and vertical components and the horizontal intensity, nT.
struct Components {
    double x;
    double y;
    double z;
    double h;
};

// From the stored (single-precision) angles, as the elements are defined:
// H = F cos I, X = H cos D, Y = H sin D, Z = F sin I, with the cosines and
// sines from the library.
Components libraryComponentsOf(const FieldAtTime& out)
{
    const double f = static_cast<double>(out.totalIntensity);
    const double dip = static_cast<double>(out.inclination) * static_cast<double>(kDegToRad);
    const double dec = static_cast<double>(out.declination) * static_cast<double>(kDegToRad);
    const double h = f * std::cos(dip);
    return {h * std::cos(dec), h * std::sin(dec), f * std::sin(dip), h};
}

// The same, with the cosines and sines of the stored angles turned from the
// unrounded ones by a small rotation: within about 1e-15 of F of the above.
Components componentsOf(const FieldAtTime& out)
{
    const double f = static_cast<double>(out.totalIntensity);
    const double dip = static_cast<double>(out.inclination) * static_cast<double>(kDegToRad);
    const double dec = static_cast<double>(out.declination) * static_cast<double>(kDegToRad);
    const double perF = 1.0 / out.fieldIntensity;
    const double perH = 1.0 / out.horizontalIntensity;
    const CosSin i = cosSinNear(dip, out.inclinationRadians, out.horizontalIntensity * perF,
                                out.verticalComponent * perF);
    const CosSin d = cosSinNear(dec, out.declinationRadians, out.northComponent * perH,
                                out.eastComponent * perH);
    const double h = f * i.c;
    return {h * d.c, h * d.s, f * i.s, h};
}

// Whether a single of the components or of their changes could come out
// differently from the library's functions (see nearSingleRounding).
bool componentsNeedLibrary(const FieldAtTime& now, const Components& atDate, const FieldAtTime& next,
                           const Components& nextYear)
{
    // Four times the largest difference of the rotation from the library.
    const double scale = std::max(std::fabs(now.fieldIntensity), std::fabs(next.fieldIntensity));
    const double one = 4.0e-15 * scale;
    const double two = 2.0 * one;
    // Every test made, without branches in between.
    return nearSingleRounding(atDate.x, one) | nearSingleRounding(atDate.y, one)
           | nearSingleRounding(atDate.z, one) | nearSingleRounding(atDate.h, one)
           | nearSingleRounding(nextYear.x - atDate.x, two) | nearSingleRounding(nextYear.y - atDate.y, two)
           | nearSingleRounding(nextYear.z - atDate.z, two) | nearSingleRounding(nextYear.h - atDate.h, two);
}

// The elements at the date and their change over the year that follows.
FieldResult fieldResultOf(const FieldAtTime& now, const Components& atDate, const FieldAtTime& next,
                          const Components& nextYear)
{
    FieldResult result;
    result.dateOutOfRange = now.dateOutOfRange;
    result.coordinatesOutOfRange = now.coordinatesOutOfRange;
    result.DEC = now.declination;
    result.DIP = now.inclination;
    result.TI = now.totalIntensity;
    result.gridVariation = now.gridVariation;
    result.BH = static_cast<float>(atDate.h);
    result.BX = static_cast<float>(atDate.x);
    result.BY = static_cast<float>(atDate.y);
    result.BZ = static_cast<float>(atDate.z);

    // The change is a finite difference over the year, not a derivative.
    result.gridVariationNextYear = next.gridVariation;
    // Differences of the unrounded components: a model without secular
    // variation gives exactly 0, and no single-precision rounding of the
    // components (up to 0.004 nT) leaks into the changes.
    result.BX2 = static_cast<float>(nextYear.x - atDate.x);
    result.BY2 = static_cast<float>(nextYear.y - atDate.y);
    result.BZ2 = static_cast<float>(nextYear.z - atDate.z);
    result.BH2 = static_cast<float>(nextYear.h - atDate.h);
    result.TI2 = static_cast<float>(static_cast<double>(next.totalIntensity)
                                    - static_cast<double>(result.TI));
    result.DEC2 = static_cast<float>(angleChangeMinutes(result.DEC, next.declination));
    result.DIP2 = static_cast<float>(angleChangeMinutes(result.DIP, next.inclination));
    return result;
}

}  // namespace

void fieldResults(const FieldAtTime* now, const FieldAtTime* next, std::size_t count, FieldResult* results)
{
    std::array<Components, kLongitudeLanes> atDate{};
    std::array<Components, kLongitudeLanes> nextYear{};
    // Stage by stage across the lanes, so that their chains overlap.
    for (std::size_t lane = 0; lane < count; ++lane) {
        atDate[lane] = componentsOf(now[lane]);
        nextYear[lane] = componentsOf(next[lane]);
    }
    for (std::size_t lane = 0; lane < count; ++lane) {
        if (componentsNeedLibrary(now[lane], atDate[lane], next[lane], nextYear[lane])) {
            atDate[lane] = libraryComponentsOf(now[lane]);
            nextYear[lane] = libraryComponentsOf(next[lane]);
        }
    }
    for (std::size_t lane = 0; lane < count; ++lane)
        results[lane] = fieldResultOf(now[lane], atDate[lane], next[lane], nextYear[lane]);
}

}  // namespace tellurim
