#pragma once

#include <cmath>

namespace tellurim {

/// atan2(y, x) in radians, within about one unit in the last place of the
/// library's, at a fraction of its cost: the synthesis takes four of these
/// per grid point. Zeros, infinities, NaNs and extreme ratios go to
/// std::atan2, so every special case (signed zeros included) is the
/// library's.
double arcTangent2(double y, double x);

/// arcTangent2 of four pairs at once (the lanes of a row), within two units
/// in the last place of the library's; not always the same bits as
/// arcTangent2, which is why callers round through nearSingleRounding.
void arcTangent2Quad(const double* y, const double* x, double* angles);

/// The cosine and sine of an angle.
struct CosSin {
    double c;
    double s;
};

/// cos and sin of `angle`, which lies within a few single-precision steps
/// of `exact`, an angle whose cosine and sine (c0, s0) are known as ratios
/// of the field components: the declination and inclination are stored as
/// singles, and the components are taken from those stored angles. One
/// rotation by the small difference replaces the library calls; the result
/// is within 5e-16 of the library's. Anything else (a difference above
/// 1e-6, a non-finite c0 or s0) goes to std::cos and std::sin.
inline CosSin cosSinNear(double angle, double exact, double c0, double s0)
{
    const double d = angle - exact;
    if (!std::isfinite(c0) || !std::isfinite(s0) || !(std::fabs(d) <= 1.0e-6))
        return {std::cos(angle), std::sin(angle)};
    if (d == 0.0)
        return {c0, s0};  // keeps the sign of a zero sine
    // cos d = 1 - d^2/2 and sin d = d: the terms left out are below
    // d^3/6 < 2e-19.
    const double half = 0.5 * d * d;
    return {c0 - (s0 * d + c0 * half), s0 + (c0 * d - s0 * half)};
}

/// Whether v lies within `tolerance` of a value at which its rounding to
/// single precision changes (halfway between two singles). The fast angle
/// functions differ from the library's by far less than a single's step, so
/// a result away from those points rounds to the same single either way;
/// near one, the caller takes the library's functions.
inline bool nearSingleRounding(double v, double tolerance)
{
    // Both ends of the interval round alike unless such a point lies inside.
    return static_cast<float>(v - tolerance) != static_cast<float>(v + tolerance);
}

}  // namespace tellurim
