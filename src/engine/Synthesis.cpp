#include "engine/EngineConstants.h"
#include "engine/FastAngles.h"
#include "engine/FieldSums.h"
#include "engine/GeodeticTerms.h"
#include "engine/ModelEngine.h"

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

// A regional model's bounds; zero bounds mean no limit.
bool outsideRegion(const MagneticModel& model, float latitude, float longitude)
{
    if (model.latMin != 0.0f && model.latMax != 0.0f
        && (latitude < model.latMin || latitude > model.latMax))
        return true;
    return model.lonMin != 0.0f && model.lonMax != 0.0f
           && outsideLongitudeBounds(longitude, model.lonMin, model.lonMax);
}

// The field in the geodetic frame: total intensity, declination,
// inclination, for every lane. Stage by stage across the lanes, so that the
// long chains of square roots, divisions and arctangents of the lanes
// overlap.
template <std::size_t Lanes>
void setIntensityAndAngles(const SynthesisCache& c, const LaneField& field, const std::array<Real, Lanes>& by,
                           SynthesisOutput* out)
{
    const Real ca = wide(c.CA);
    const Real sa = wide(c.SA);
    for (std::size_t lane = 0; lane < Lanes; ++lane) {
        SynthesisOutput& o = out[lane];
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
        SynthesisOutput& o = out[lane];
        // A field with no horizontal part has no direction: declination 0,
        // not the 180 that atan2(+0, -0) would give for a sign-carrying zero.
        const bool noHorizontal = o.northComponent == 0.0 && o.eastComponent == 0.0;
        o.declinationRadians = noHorizontal ? 0.0 : declinationAngles[lane];
        o.inclinationRadians = inclinationAngles[lane];
    }
    for (std::size_t lane = 0; lane < Lanes; ++lane) {
        SynthesisOutput& o = out[lane];
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

// Declination adjusted for longitude, within a half turn either way, at
// polar latitudes.
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

}  // namespace

template <std::size_t Lanes>
void ModelEngine::synthesizeLanes(float altitude, float latitude, const float* longitudes, float time,
                                  bool newLongitudes, SynthesisOutput* out)
{
    const MagneticModel& model = *m_model;
    SynthesisCache& c = m_cache;

    // Dates near the epoch subtract exactly in single precision.
    const float dt = time - model.epoch;
    const bool outsideLifeSpan = dt < 0.0f || dt > model.lifeSpan;
    // Only the first synthesis after a load may warn. (Keying this on a
    // non-positive last time instead would repeat the modal box on every call
    // once a date of 0 or less had been used, thousands of times in a grid.)
    if (c.firstSinceLoad && outsideLifeSpan)
        m_sink->showInformationMessage(std::string{kLifeSpanWarning});

    const auto maxDegree = static_cast<std::size_t>(model.maxDegree);
    if (!c.hasPosition || altitude != c.lastAltitude || latitude != c.lastLatitude)
        updateGeodeticTerms(model, c, altitude, latitude);
    if (newLongitudes)
        longitudeLanes<Lanes>(longitudes, maxDegree, c);
    const std::size_t slot = selectTimeCoefficients(model, c, time, dt);
    formOrderSums(model, c, slot);
    const OrderSums& sums = c.orderSums[slot];
    LaneField field;
    sumLanes<Lanes>(sums, c, maxDegree, field);

    std::array<Real, Lanes> by;
    if (c.ST == 0.0f) {
        for (std::size_t lane = 0; lane < Lanes; ++lane)
            by[lane] = poleEastComponent(model, c, c.TC[slot], c.laneCos[Lanes + lane], c.laneSin[Lanes + lane],
                                         sums.aor);
    } else {
        for (std::size_t lane = 0; lane < Lanes; ++lane)
            by[lane] = field.bp[lane] / wide(c.ST);
    }
    setIntensityAndAngles<Lanes>(c, field, by, out);
    for (std::size_t lane = 0; lane < Lanes; ++lane) {
        SynthesisOutput& o = out[lane];
        o.gridVariation = gridVariation(o.declination, latitude, longitudes[lane]);
        o.dateOutOfRange = outsideLifeSpan ? 1 : 0;
        o.coordinatesOutOfRange = outsideRegion(model, latitude, longitudes[lane]) ? 1 : 0;
    }

    c.lastTime = time;
    c.lastAltitude = altitude;
    c.lastLatitude = latitude;
    c.hasPosition = true;
    c.firstSinceLoad = false;
}

template void ModelEngine::synthesizeLanes<1>(float, float, const float*, float, bool, SynthesisOutput*);
template void ModelEngine::synthesizeLanes<kLongitudeLanes>(float, float, const float*, float, bool,
                                                            SynthesisOutput*);

void ModelEngine::synthesize(float altitude, float latitude, float longitude, float time,
                             SynthesisOutput& out)
{
    if (!m_model->isLoaded) {
        out.dateOutOfRange = -1;
        out.coordinatesOutOfRange = -1;
        return;
    }
    SynthesisCache& c = m_cache;
    const bool longitudeChanged = !c.hasLongitude || longitude != c.lastLongitude;
    synthesizeLanes<1>(altitude, latitude, &longitude, time, longitudeChanged, &out);
    c.lastLongitude = longitude;
    c.hasLongitude = true;
}

}  // namespace tellurim
