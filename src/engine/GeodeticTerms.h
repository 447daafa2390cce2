#pragma once

#include "engine/MagneticModel.h"

namespace tellurim {

/// Where a geodetic place lies for the synthesis.
struct GeodeticTerms {
    float CT = 0.0f;  ///< cosine of the geocentric colatitude
    float ST = 0.0f;  ///< sine of the geocentric colatitude; exactly 0 at latitude +-90
    float R = 0.0f;   ///< geocentric radius, km
    float CA = 0.0f;  ///< cosine of the angle between geodetic and geocentric vertical
    float SA = 0.0f;  ///< sine of that angle
};

/// The geocentric colatitude, radius and vertical tilt of a geodetic place.
/// @param altitude km above the WGS-84 ellipsoid
/// @param latitude degrees, north positive
GeodeticTerms geodeticTerms(float altitude, float latitude);

/// The unnormalised Legendre functions P(n,m) and their derivatives with
/// respect to colatitude DP(n,m) at [n][m] (above degree 12 times the
/// model's power-of-two scale, see ModelFile), into tables of the model's
/// degree + 1.
void legendreFunctions(const MagneticModel& model, const GeodeticTerms& place, CoefficientTable& P,
                       CoefficientTable& DP);

}  // namespace tellurim
