#pragma once

#include "engine/GeodeticTerms.h"
#include "engine/MagneticModel.h"

#include <array>
#include <cstddef>
#include <vector>

namespace tellurim {

// The engine's inner stages, shared by every evaluation so that a point
// gets the same bits whichever way it is asked for.

/// Longitudes evaluated together along a latitude row: their recursions and
/// sums run side by side, one lane each, with the same operations as for a
/// single longitude.
inline constexpr std::size_t kLongitudeLanes = 8;

/// The field sums of one latitude row at one time, per order m. With the
/// Legendre functions, the radial factors and the coefficients at that time
/// folded in, the field at any longitude of the row is a Fourier series in
/// m whose cost grows with the degree, not with its square.
struct OrderSums {
    /// Per order m, at [6m] to [6m + 5]: the cos(m lambda) and sin(m lambda)
    /// factors of BT, of BR, and of BP (its sin factor first).
    std::vector<double> terms;
    double aor = 0.0;  ///< reference radius over radius
};

/// Per (n,m), laid out like the coefficient pairs: (RE/r)^(n+2) times
/// DP(n,m), times (n + 1) P(n,m), and times P(n,m), the weights of the
/// order sums at a place.
std::vector<double> orderWeights(const MagneticModel& model, const CoefficientTable& P, const CoefficientTable& DP,
                                 float radius);

/// The order sums of coefficient pairs at the coefficients' time with the
/// weights of a place at radius (km).
OrderSums formOrderSums(const MagneticModel& model, const std::vector<float>& pairs,
                        const std::vector<double>& weights, float radius);

/// cos(m * longitude) and sin(m * longitude) of the lanes, widened from
/// the single-precision recursion, at [m * Lanes + lane].
struct LaneAngles {
    std::vector<double> cosm;
    std::vector<double> sinm;
};

/// BT, BP and BR of each lane, nT, before the rotation into the geodetic
/// frame (BP not yet divided by sin of the colatitude).
struct LaneField {
    std::array<double, kLongitudeLanes> bt{};
    std::array<double, kLongitudeLanes> bp{};
    std::array<double, kLongitudeLanes> br{};
};

/// sin(m * longitude) and cos(m * longitude) of Lanes longitudes (degrees)
/// by the single-precision recursion; angles is sized by the caller for
/// (maxDegree + 1) * Lanes values each.
template <std::size_t Lanes>
void longitudeLanes(const float* longitudes, std::size_t maxDegree, LaneAngles& angles);

/// The Fourier series of the order sums at each lane's longitude.
template <std::size_t Lanes>
void sumLanes(const OrderSums& sums, const LaneAngles& angles, std::size_t maxDegree, LaneField& field);

/// The pole-case functions of order 1 at the geographic poles, where the
/// east component comes from a limit (see poleEastComponent).
DegreeTable poleFunctions(const MagneticModel& model, float CT);

/// At the geographic pole BP / ST is 0 / 0; the east component there comes
/// from the limit of the m = 1 terms, given the coefficient pairs, cos and
/// sin of the longitude and RE/r.
double poleEastComponent(const MagneticModel& model, const DegreeTable& PP, const std::vector<float>& pairs,
                         double cos1, double sin1, double aor);

}  // namespace tellurim
