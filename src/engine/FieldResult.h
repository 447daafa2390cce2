#pragma once

#include <cstdint>

namespace tellurim {

/// Marks a grid variation that does not apply (latitudes below 55 degrees):
/// the single-precision value nearest to 1.0e20. Callers treat values at or
/// above it as "not applicable".
inline constexpr float kNoGridVariation = 1.0e20f;

/// The complete result of one point calculation. Field values in nT, angles
/// in degrees, annual changes in nT per year or, for DEC2 and DIP2, minutes of
/// arc per year. All values are single precision, as stored files expect.
struct FieldResult {
    float BH = 0.0f;    ///< horizontal intensity H, nT
    float BX = 0.0f;    ///< north component X, nT
    float BY = 0.0f;    ///< east component Y, nT
    float BZ = 0.0f;    ///< vertical component Z (positive down), nT
    float DIP = 0.0f;   ///< inclination I (positive down), degrees
    float DEC = 0.0f;   ///< declination D (positive east of north), degrees
    float TI = 0.0f;    ///< total intensity F, nT
    float BH2 = 0.0f;   ///< annual change of H, nT/yr
    float BX2 = 0.0f;   ///< annual change of X, nT/yr
    float BY2 = 0.0f;   ///< annual change of Y, nT/yr
    float BZ2 = 0.0f;   ///< annual change of Z, nT/yr
    float DIP2 = 0.0f;  ///< annual change of I, minutes of arc per year
    float DEC2 = 0.0f;  ///< annual change of D, minutes of arc per year
    float TI2 = 0.0f;   ///< annual change of F, nT/yr
    int32_t coordinatesOutOfRange = 0;  ///< 0 in range, 1 out, -1 no model
    int32_t dateOutOfRange = 0;         ///< 0 in range, 1 out, -1 no model
    float gridVariation = kNoGridVariation;          ///< degrees, at the date
    float gridVariationNextYear = kNoGridVariation;  ///< degrees, one year later
};

/// The change of an angle (declination, inclination, grid variation) over a
/// year, minutes of arc, taken the short way round: into (-10800, 10800].
/// @param from, to degrees
double angleChangeMinutes(float from, float to);

}  // namespace tellurim
