#include "engine/EngineConstants.h"
#include "engine/ModelEngine.h"

#include <algorithm>
#include <cmath>

namespace tellurim {

namespace {

// The stored tables and the results are single precision; the arithmetic in
// between is carried in double, which keeps the sums of 90 terms well inside
// the model's own 0.1 nT resolution at no measurable cost.
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

// sin(m * longitude) and cos(m * longitude) by recursion, kept in single
// precision and widened once for the sums.
void updateLongitudeTerms(SynthesisCache& c, float longitude, std::size_t maxDegree)
{
    const Real lambda = wide(longitude) * wide(kDegToRad);
    float* sp = c.SP.data();
    float* cp = c.CP.data();
    sp[1] = narrow(std::sin(lambda));
    cp[1] = narrow(std::cos(lambda));
    const Real sp1 = wide(sp[1]);
    const Real cp1 = wide(cp[1]);
    for (std::size_t m = 2; m <= maxDegree; ++m) {
        sp[m] = narrow(sp1 * wide(cp[m - 1]) + cp1 * wide(sp[m - 1]));
        cp[m] = narrow(cp1 * wide(cp[m - 1]) - sp1 * wide(sp[m - 1]));
    }
    for (std::size_t m = 0; m <= maxDegree; ++m) {
        c.cosm[m] = wide(cp[m]);
        c.sinm[m] = wide(sp[m]);
    }
}

// The coefficient set in force at the time: a model given at several epochs
// runs linearly from each epoch to the next, and on from the last one.
struct EpochInForce {
    const CoefficientTable* gh;
    const CoefficientTable* ghRate;
    float dt;
};

EpochInForce epochInForce(const MagneticModel& model, float time, float dt)
{
    EpochInForce inForce{&model.gh, &model.ghRate, dt};
    for (const EpochCoefficients& later : model.laterEpochs) {
        if (!(time >= later.epoch))
            break;
        inForce = {&later.gh, &later.ghRate, time - later.epoch};
    }
    return inForce;
}

// The coefficients at the time, in one of two slots: a point calculation
// alternates between two times, so both are kept.
void updateTimeCoefficients(const MagneticModel& model, SynthesisCache& c, float time, float dt)
{
    if (c.TCTime[c.currentTC] == time)
        return;
    const std::size_t other = 1 - c.currentTC;
    c.currentTC = other;
    if (c.TCTime[other] == time)
        return;
    CoefficientTable& tc = c.TC[other];
    const EpochInForce inForce = epochInForce(model, time, dt);
    const CoefficientTable& gh = *inForce.gh;
    const CoefficientTable& rate = *inForce.ghRate;
    const Real years = wide(inForce.dt);
    // Rows and columns 0 to the changing degree hold every g and h of those
    // degrees (and the unused g(0,0)); beyond it the slots keep the epoch's
    // coefficients they were given at the load.
    const auto last = static_cast<std::size_t>(std::min(model.rateDegree, model.maxDegree));
    for (std::size_t row = 0; row <= last; ++row) {
        const float* g = gh[row];
        const float* r = rate[row];
        float* t = tc[row];
        for (std::size_t column = 0; column <= last; ++column)
            t[column] = narrow(wide(g[column]) + years * wide(r[column]));
    }
    c.TCTime[other] = time;
}

struct DegreeSums {
    Real aor = 0.0;  ///< reference radius over radius
    Real bt = 0.0;
    Real bp = 0.0;
    Real br = 0.0;
};

using Trig = std::vector<Real>;

// FixedSize is the table size when known at compile time (the classic
// degree-12 tables), 0 otherwise; the sums are the same either way.
template <std::size_t FixedSize>
DegreeSums sumDegreesOf(const MagneticModel& model, const SynthesisCache& c,
                        const CoefficientTable& tc, const Real* cosm, const Real* sinm)
{
    const std::size_t size = FixedSize != 0 ? FixedSize : tc.size();
    const auto maxDegree = std::min(static_cast<std::size_t>(model.maxDegree), size - 1);
    const float* coefficients = tc[0];
    const float* order = model.orderFactor.data();
    // Each degree is summed on its own and then scaled by (RE/r)^(n+2), so
    // the radial factor is applied once per degree rather than per term.
    DegreeSums sums;
    const Real aor = wide(kReferenceRadius) / wide(c.R);
    sums.aor = aor;
    Real ar = aor * aor;
    for (std::size_t n = 1; n <= maxDegree; ++n) {
        ar *= aor;
        const float* p = c.P[0] + n * size;
        const float* dp = c.DP[0] + n * size;
        const float* h = coefficients + n * size;  // h(n,m) at [m - 1]
        const float* g = coefficients + n;         // g(n,m) at [m * size]
        // m = 0 has no h term and no sin(0) part.
        const Real g0 = wide(g[0]);
        Real sumT = g0 * wide(dp[0]);
        Real sumR = g0 * wide(p[0]);
        Real sumP = 0.0;
        // A bound known at compile time lets the compiler unroll the short
        // degree-12 loops completely.
#pragma GCC unroll 16
        for (std::size_t m = 1; m <= n; ++m) {
            if (FixedSize != 0 && m >= FixedSize)
                break;
            const Real tg = wide(g[m * size]);
            const Real th = wide(h[m - 1]);
            const Real t1 = tg * cosm[m] + th * sinm[m];
            const Real t2 = tg * sinm[m] - th * cosm[m];
            sumT += t1 * wide(dp[m]);
            sumR += t1 * wide(p[m]);
            sumP += wide(order[m]) * t2 * wide(p[m]);
        }
        sums.bt -= ar * sumT;
        sums.bp += ar * sumP;
        sums.br += wide(model.degreeFactor[n]) * ar * sumR;
    }
    return sums;
}

DegreeSums sumDegrees(const MagneticModel& model, const SynthesisCache& c,
                      const CoefficientTable& tc, const Trig& cosm, const Trig& sinm)
{
    if (tc.size() == kTableSize)
        return sumDegreesOf<kTableSize>(model, c, tc, cosm.data(), sinm.data());
    return sumDegreesOf<0>(model, c, tc, cosm.data(), sinm.data());
}

// At the geographic pole BP / ST is 0 / 0; the east component comes from
// the limit of the m = 1 terms instead.
Real poleEastComponent(const MagneticModel& model, SynthesisCache& c, const CoefficientTable& tc,
                       const Trig& cosm, const Trig& sinm, Real aor)
{
    const auto maxDegree = static_cast<std::size_t>(model.maxDegree);
    Real bpp = 0.0;
    Real arPole = aor * aor;
    for (std::size_t n = 1; n <= maxDegree; ++n) {
        arPole *= aor;
        if (n == 1)
            c.PP[1] = c.PP[0];
        else
            c.PP[n] = narrow(wide(model.recursionScale[n][1]) * wide(c.CT) * wide(c.PP[n - 1])
                             - wide(model.legendreFactor[n][1]) * wide(c.PP[n - 2]));
        const Real t2 = wide(tc[1][n]) * sinm[1] - wide(tc[n][0]) * cosm[1];
        bpp += wide(model.orderFactor[1]) * t2 * arPole * wide(c.PP[n]);
    }
    return bpp;
}

// Declination adjusted for longitude, within a half turn either way, at
// polar latitudes.
// The field in the geodetic frame: total intensity, declination, inclination.
void setIntensityAndAngles(const SynthesisCache& c, const DegreeSums& sums, Real by,
                           SynthesisOutput& out)
{
    const Real bx = -sums.bt * wide(c.CA) - sums.br * wide(c.SA);
    const Real bz = sums.bt * wide(c.SA) - sums.br * wide(c.CA);
    const Real bh = std::sqrt(bx * bx + by * by);
    out.northComponent = bx;
    out.eastComponent = by;
    out.totalIntensity = narrow(std::sqrt(bh * bh + bz * bz));
    // A field with no horizontal part has no direction: declination 0, not
    // the 180 that atan2(+0, -0) would give for a sign-carrying zero.
    const bool noHorizontal = bx == 0.0 && by == 0.0;
    out.declination = noHorizontal ? 0.0f : narrow(std::atan2(by, bx) / wide(kDegToRad));
    out.inclination = narrow(std::atan2(bz, bh) / wide(kDegToRad));
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

// Unnormalised associated Legendre functions by recursion in degree. The
// scale factors are exactly 1 up to degree 12, so a model of degree 12 skips
// them; above it they keep the functions within single precision (see
// MagneticModel).
template <bool Scaled>
void legendreRecursion(const MagneticModel& model, SynthesisCache& c)
{
    const Real ct = wide(c.CT);
    const Real st = wide(c.ST);
    const auto maxDegree = static_cast<std::size_t>(model.maxDegree);
    for (std::size_t n = 1; n <= maxDegree; ++n) {
        const float* scale = model.recursionScale[n];
        const float* k = model.legendreFactor[n];
        float* p = c.P[n];
        float* dp = c.DP[n];
        const float* p1 = c.P[n - 1];
        const float* dp1 = c.DP[n - 1];
        const Real up = Scaled ? wide(scale[n]) : 1.0;
        p[n] = narrow(Scaled ? up * st * wide(p1[n - 1]) : st * wide(p1[n - 1]));
        dp[n] = narrow(Scaled ? up * (st * wide(dp1[n - 1]) + ct * wide(p1[n - 1]))
                              : st * wide(dp1[n - 1]) + ct * wide(p1[n - 1]));
        if (n == 1) {
            p[0] = narrow(ct * wide(p1[0]));
            dp[0] = narrow(ct * wide(dp1[0]) - st * wide(p1[0]));
            continue;
        }
        const float* p2 = c.P[n - 2];
        const float* dp2 = c.DP[n - 2];
        for (std::size_t m = 0; m < n; ++m) {
            // P(n-2,m) does not exist for m > n-2 and counts as 0.
            const bool hasTwoBelow = m + 2 <= n;
            const Real below = hasTwoBelow ? wide(p2[m]) : 0.0;
            const Real dBelow = hasTwoBelow ? wide(dp2[m]) : 0.0;
            const Real km = wide(k[m]);
            if constexpr (Scaled) {
                const Real s = wide(scale[m]);
                p[m] = narrow(s * ct * wide(p1[m]) - km * below);
                dp[m] = narrow(s * (ct * wide(dp1[m]) - st * wide(p1[m])) - km * dBelow);
            } else {
                p[m] = narrow(ct * wide(p1[m]) - km * below);
                dp[m] = narrow(ct * wide(dp1[m]) - st * wide(p1[m]) - km * dBelow);
            }
        }
    }
}

void updateLegendreFunctions(const MagneticModel& model, SynthesisCache& c)
{
    if (model.maxDegree <= kMaxModelDegree)
        legendreRecursion<false>(model, c);
    else
        legendreRecursion<true>(model, c);
}

}  // namespace

void ModelEngine::updateGeodeticTerms(float altitude, float latitude)
{
    SynthesisCache& c = m_cache;
    const Real phi = wide(latitude) * wide(kDegToRad);
    const Real sinPhi = std::sin(phi);
    const Real cosPhi = std::cos(phi);
    const Real sin2 = sinPhi * sinPhi;
    const Real cos2 = cosPhi * cosPhi;
    const Real h = wide(altitude);
    const Real a2 = wide(kSemiMajorSquared);
    const Real b2 = wide(kSemiMinorSquared);
    const Real c2 = wide(kEccentricSquared);

    // Geodetic to geocentric: colatitude, radius and the tilt between the
    // two verticals.
    const Real q = std::sqrt(a2 - c2 * sin2);
    const Real q1 = h * q;
    const Real ratio = (q1 + a2) / (q1 + b2);
    const Real q2 = ratio * ratio;
    const Real norm = std::sqrt(q2 * cos2 + sin2);
    c.CT = narrow(sinPhi / norm);
    // ST comes from the geometry, not from sqrt(1 - CT^2) of the stored
    // CT: a single-precision CT is exactly 1 within about 0.015 degrees of
    // a pole, which would zero ST there and bend the horizontal field by
    // several nT. At +-90 itself ST is exactly 0 (the single-precision
    // pi/180 leaves cos(phi) at about 1e-8 instead), so that the east
    // component comes from the pole-case sum.
    c.ST = std::fabs(latitude) == 90.0f ? 0.0f : narrow(std::sqrt(q2) * std::fabs(cosPhi) / norm);
    const Real r = std::sqrt(h * h + 2.0 * q1
                             + (wide(kSemiMajorFourth) - wide(kEccentricFourth) * sin2) / (q * q));
    c.R = narrow(r);
    const Real d = std::sqrt(a2 * cos2 + b2 * sin2);
    c.CA = narrow((h + d) / r);
    c.SA = narrow(c2 * cosPhi * sinPhi / (r * d));

    updateLegendreFunctions(*m_model, c);
}

void ModelEngine::synthesize(float altitude, float latitude, float longitude, float time,
                             SynthesisOutput& out)
{
    if (!m_model->isLoaded) {
        out.dateOutOfRange = -1;
        out.coordinatesOutOfRange = -1;
        return;
    }
    const MagneticModel& model = *m_model;
    SynthesisCache& c = m_cache;

    // Dates near the epoch subtract exactly in single precision.
    const float dt = time - model.epoch;
    out.dateOutOfRange = 0;
    out.coordinatesOutOfRange = 0;

    const bool outsideLifeSpan = dt < 0.0f || dt > model.lifeSpan;
    // Only the first synthesis after a load may warn. (Keying this on a
    // non-positive last time instead would repeat the modal box on every call
    // once a date of 0 or less had been used, thousands of times in a grid.)
    if (c.firstSinceLoad && outsideLifeSpan)
        m_sink->showInformationMessage(std::string{kLifeSpanWarning});

    if (outsideRegion(model, latitude, longitude))
        out.coordinatesOutOfRange = 1;
    out.dateOutOfRange = outsideLifeSpan ? 1 : 0;

    const bool positionChanged =
        !c.hasPosition || altitude != c.lastAltitude || latitude != c.lastLatitude;
    const bool longitudeChanged = !c.hasLongitude || longitude != c.lastLongitude;
    const auto maxDegree = static_cast<std::size_t>(model.maxDegree);

    if (longitudeChanged)
        updateLongitudeTerms(c, longitude, maxDegree);

    if (positionChanged)
        updateGeodeticTerms(altitude, latitude);

    updateTimeCoefficients(model, c, time, dt);
    const CoefficientTable& tc = c.TC[c.currentTC];

    const std::vector<Real>& cosm = c.cosm;
    const std::vector<Real>& sinm = c.sinm;

    const DegreeSums sums = sumDegrees(model, c, tc, cosm, sinm);
    const bool poleCase = c.ST == 0.0f;
    const Real by = poleCase ? poleEastComponent(model, c, tc, cosm, sinm, sums.aor)
                             : sums.bp / wide(c.ST);
    setIntensityAndAngles(c, sums, by, out);

    out.gridVariation = gridVariation(out.declination, latitude, longitude);

    c.lastTime = time;
    c.lastAltitude = altitude;
    c.lastLatitude = latitude;
    c.lastLongitude = longitude;
    c.hasPosition = true;
    c.hasLongitude = true;
    c.firstSinceLoad = false;
}

}  // namespace tellurim
