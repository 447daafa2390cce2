#pragma once

namespace tellurim {

// The engine's constants are single precision and used exactly as stored;
// wider arithmetic converts these float values, never the decimal literals.

/// pi / 180 in single precision (0.01745329238474369).
inline constexpr float kDegToRad = 0.017453292f;
/// WGS-84 ellipsoid, km and km squared or to the fourth.
inline constexpr float kSemiMajorSquared = 40680636.0f;            // a^2
inline constexpr float kSemiMinorSquared = 40408300.0f;            // b^2
inline constexpr float kEccentricSquared = 272336.0f;              // c^2 = a^2 - b^2
inline constexpr float kSemiMajorFourth = 1654914115698688.0f;     // a^4
inline constexpr float kEccentricFourth = 22083379658752.0f;       // c^4 = a^4 - b^4
/// Reference radius of the spherical-harmonic expansion, km.
inline constexpr float kReferenceRadius = 6371.2f;
/// From this absolute latitude on (degrees) a grid variation is computed.
inline constexpr float kPolarThreshold = 55.0f;

}  // namespace tellurim
