#pragma once

#include "engine/MagneticModel.h"

#include <array>
#include <limits>
#include <vector>

namespace tellurim {

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
    bool hasLongitude = false;  ///< SP, CP belong to lastLongitude
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
    /// Time-adjusted coefficients, packed like gh. Two slots, because a point
    /// calculation alternates between a date and the date one year later:
    /// TC[current] holds the coefficients at the last time, the other slot
    /// those of the time before, reused when that time comes back.
    std::array<CoefficientTable, 2> TC{};
    std::array<float, 2> TCTime{kNoTime, kNoTime};  ///< decimal year of each slot
    std::size_t currentTC = 0;
    DegreeTable SP{};  ///< sin(m * longitude)
    DegreeTable CP{};  ///< cos(m * longitude)
    DegreeTable PP{};  ///< pole-case functions, used where ST is 0
    std::vector<double> cosm;  ///< CP widened, scratch of each synthesis
    std::vector<double> sinm;  ///< SP widened, scratch of each synthesis

    /// Zeroes every table, sized for a model's tables, and sets the fixed
    /// starting values the recursions build on: P(0,0) = 1, DP(0,0) = 0,
    /// SP(0) = 0, CP(0) = 1, PP(0) = 1.
    void clear(std::size_t tableSize = kTableSize);
    /// Forgets the previous inputs so that the next synthesis recomputes all.
    void forgetInputs();
};

}  // namespace tellurim
