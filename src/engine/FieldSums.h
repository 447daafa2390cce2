#pragma once

#include "engine/MagneticModel.h"
#include "engine/SynthesisCache.h"

#include <array>
#include <cstddef>
#include <vector>

namespace tellurim {

// The engine's inner stages, shared by the single synthesis and the row
// evaluation so that both give the same bits for the same point.

/// BT, BP and BR of each lane, nT, before the rotation into the geodetic
/// frame (BP not yet divided by sin of the colatitude).
struct LaneField {
    std::array<double, kLongitudeLanes> bt{};
    std::array<double, kLongitudeLanes> bp{};
    std::array<double, kLongitudeLanes> br{};
};

/// Makes one TC slot hold the coefficients at `time` (dt years after the
/// model's epoch) and returns it; the other slot keeps the time before.
std::size_t selectTimeCoefficients(const MagneticModel& model, SynthesisCache& c, float time, float dt);

/// Forms c.orderSums[slot] from the cached Legendre functions, the radius
/// and TC[slot], unless they are still valid.
void formOrderSums(const MagneticModel& model, SynthesisCache& c, std::size_t slot);

/// sin(m * longitude) and cos(m * longitude) of Lanes longitudes by the
/// single-precision recursion, into c.laneSin and c.laneCos.
template <std::size_t Lanes>
void longitudeLanes(const float* longitudes, std::size_t maxDegree, SynthesisCache& c);

/// The Fourier series of the order sums at each lane's longitude.
template <std::size_t Lanes>
void sumLanes(const OrderSums& sums, const SynthesisCache& c, std::size_t maxDegree, LaneField& field);

/// At the geographic pole BP / ST is 0 / 0; the east component there comes
/// from the limit of the m = 1 terms, given cos and sin of the longitude.
double poleEastComponent(const MagneticModel& model, SynthesisCache& c, const std::vector<float>& tc,
                         double cos1, double sin1, double aor);

}  // namespace tellurim
