#pragma once

#include "engine/MagneticModel.h"

#include <array>
#include <limits>
#include <vector>

namespace tellurim {

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
    double aor = 0.0;    ///< reference radius over radius
    bool valid = false;  ///< belongs to the cached position and its TC slot
};

/// The inputs of the previous synthesis and the quantities derived from them.
/// Each group is recomputed only when its own inputs change, which makes a
/// grid row (fixed latitude) and the second call of a point calculation
/// (same place, one year later) cheap. Comparisons are exact float equality.
struct SynthesisCache {
    /// Marks "no previous synthesis": no real input compares equal to it
    /// and, as a time, it is never positive.
    static constexpr float kUnset = -1000.0f;
    static constexpr float kNoTime = std::numeric_limits<float>::quiet_NaN();

    float lastTime = kUnset;       ///< decimal year
    float lastAltitude = kUnset;   ///< km
    float lastLatitude = kUnset;   ///< degrees
    float lastLongitude = kUnset;  ///< degrees
    // The last inputs alone cannot tell "nothing cached": an input of exactly
    // -1000 would match them and use tables that were never filled.
    bool hasPosition = false;   ///< CT .. DP belong to lastAltitude, lastLatitude
    bool hasLongitude = false;  ///< lane 0 of laneCos, laneSin belongs to lastLongitude (one lane)
    bool firstSinceLoad = true; ///< no synthesis since the model was loaded
    float CT = 0.0f;  ///< cosine of the geocentric colatitude
    float ST = 0.0f;  ///< sine of the geocentric colatitude; exactly 0 at latitude +-90
    float R = 0.0f;   ///< geocentric radius, km
    float CA = 0.0f;  ///< cosine of the angle between geodetic and geocentric vertical
    float SA = 0.0f;  ///< sine of that angle
    /// Unnormalised Legendre functions P(n,m) at [n][m] (above degree 12
    /// times the model's power-of-two scale, see MagneticModel).
    CoefficientTable P{};
    CoefficientTable DP{};  ///< their derivatives with respect to colatitude
    /// Time-adjusted coefficients, as (g, h) pairs like MagneticModel::ghPairs.
    /// Two slots, because a point calculation alternates between a date and
    /// the date one year later: TC[current] holds the coefficients at the
    /// last time, the other slot those of the time before, reused when that
    /// time comes back.
    std::array<std::vector<float>, 2> TC{};
    std::array<float, 2> TCTime{kNoTime, kNoTime};  ///< decimal year of each slot
    std::size_t currentTC = 0;
    /// Per (n,m), laid out like TC: (RE/r)^(n+2) times DP(n,m), times
    /// (n + 1) P(n,m), and times P(n,m), the weights of the order sums at
    /// the cached position.
    std::vector<double> weights;
    bool weightsValid = false;
    DegreeTable PP{};  ///< pole-case functions, used where ST is 0
    /// The sums of each TC slot at the cached position.
    std::array<OrderSums, 2> orderSums{};
    /// cos(m * longitude) and sin(m * longitude) of the lanes, widened from
    /// the single-precision recursion, at [m * lanes + lane]; a single
    /// synthesis uses one lane.
    std::vector<double> laneCos;
    std::vector<double> laneSin;

    /// Zeroes every table, sized for a model's tables, and sets the fixed
    /// starting values the recursions build on: P(0,0) = 1, DP(0,0) = 0,
    /// PP(0) = 1.
    void clear(std::size_t tableSize = kTableSize);
    /// Forgets the previous inputs so that the next synthesis recomputes all.
    void forgetInputs();
};

}  // namespace tellurim
