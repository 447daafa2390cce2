#include "engine/SynthesisCache.h"

namespace tellurim {

void SynthesisCache::clear(std::size_t tableSize)
{
    *this = SynthesisCache{};
    const std::size_t size = tableSize == 0 ? 1 : tableSize;
    P = CoefficientTable{size};
    DP = CoefficientTable{size};
    TC = {CoefficientTable{size}, CoefficientTable{size}};
    SP.assign(size, 0.0f);
    CP.assign(size, 0.0f);
    PP.assign(size, 0.0f);
    cosm.assign(size, 0.0);
    sinm.assign(size, 0.0);
    P[0][0] = 1.0f;
    DP[0][0] = 0.0f;
    SP[0] = 0.0f;
    CP[0] = 1.0f;
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
}

}  // namespace tellurim
