#pragma once

#include "engine/MagneticModel.h"
#include "engine/SynthesisCache.h"

namespace tellurim {

/// The geocentric colatitude, radius and vertical tilt of a geodetic place
/// (altitude in km, latitude in degrees) and the Legendre functions there,
/// into c; the order sums of the place before are no longer valid.
void updateGeodeticTerms(const MagneticModel& model, SynthesisCache& c, float altitude, float latitude);

}  // namespace tellurim
