#include "engine/SynthesisCache.h"

namespace tellurim {

void SynthesisCache::clear()
{
    *this = SynthesisCache{};
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
