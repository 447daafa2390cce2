#include "engine/GeodeticTerms.h"

#include "engine/EngineConstants.h"

#include <cmath>

namespace tellurim {

namespace {

using Real = double;

constexpr Real wide(float value) { return static_cast<Real>(value); }
constexpr float narrow(Real value) { return static_cast<float>(value); }

// Unnormalised associated Legendre functions by recursion in degree. The
// scale factors are exactly 1 up to degree 12, so a model of degree 12 skips
// them; above it they keep the functions within single precision (see
// ModelFile).
template <bool Scaled>
void legendreRecursion(const MagneticModel& model, const GeodeticTerms& place, CoefficientTable& P,
                       CoefficientTable& DP)
{
    const Real ct = wide(place.CT);
    const Real st = wide(place.ST);
    const auto maxDegree = static_cast<std::size_t>(model.degree());
    for (std::size_t n = 1; n <= maxDegree; ++n) {
        const float* scale = model.recursionScale()[n];
        const float* k = model.legendreFactor()[n];
        float* p = P[n];
        float* dp = DP[n];
        const float* p1 = P[n - 1];
        const float* dp1 = DP[n - 1];
        const Real up = Scaled ? wide(scale[n]) : 1.0;
        p[n] = narrow(Scaled ? up * st * wide(p1[n - 1]) : st * wide(p1[n - 1]));
        dp[n] = narrow(Scaled ? up * (st * wide(dp1[n - 1]) + ct * wide(p1[n - 1]))
                              : st * wide(dp1[n - 1]) + ct * wide(p1[n - 1]));
        if (n == 1) {
            p[0] = narrow(ct * wide(p1[0]));
            dp[0] = narrow(ct * wide(dp1[0]) - st * wide(p1[0]));
            continue;
        }
        const float* p2 = P[n - 2];
        const float* dp2 = DP[n - 2];
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

}  // namespace

GeodeticTerms geodeticTerms(float altitude, float latitude)
{
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
    GeodeticTerms c;
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
    return c;
}

void legendreFunctions(const MagneticModel& model, const GeodeticTerms& place, CoefficientTable& P,
                       CoefficientTable& DP)
{
    const auto size = static_cast<std::size_t>(model.degree()) + 1;
    P = CoefficientTable{size};
    DP = CoefficientTable{size};
    P[0][0] = 1.0f;
    if (model.degree() <= kMaxModelDegree)
        legendreRecursion<false>(model, place, P, DP);
    else
        legendreRecursion<true>(model, place, P, DP);
}

}  // namespace tellurim
