#include "engine/SynthesisCache.h"

namespace tellurim {

void SynthesisCache::clear(std::size_t tableSize)
{
    *this = SynthesisCache{};
    const std::size_t size = tableSize == 0 ? 1 : tableSize;
    P = CoefficientTable{size};
    DP = CoefficientTable{size};
    PP.assign(size, 0.0f);
    const std::size_t pairs = size * (size + 1) / 2;
    TC = {std::vector<float>(2 * pairs, 0.0f), std::vector<float>(2 * pairs, 0.0f)};
    weights.assign(3 * pairs, 0.0);
    for (OrderSums& sums : orderSums)
        sums.terms.assign(6 * size, 0.0);
    laneCos.assign(size * kLongitudeLanes, 0.0);
    laneSin.assign(size * kLongitudeLanes, 0.0);
    P[0][0] = 1.0f;
    DP[0][0] = 0.0f;
    PP[0] = 1.0f;
}

void SynthesisCache::forgetInputs()
{
    lastTime = kUnset;
    lastAltitude = kUnset;
    lastLatitude = kUnset;
    lastLongitude = kUnset;
    hasPosition = false;
    hasLongitude = false;
    firstSinceLoad = true;
    TCTime = {kNoTime, kNoTime};
    orderSums[0].valid = false;
    orderSums[1].valid = false;
    weightsValid = false;
}

}  // namespace tellurim
