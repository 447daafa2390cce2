#pragma once

#include "engine/FieldRow.h"

#include <array>
#include <cstddef>

namespace tellurim {

// The last stages of an evaluation: from the summed field to the elements
// of FieldAtTime and FieldResult.

/// Total intensity, declination and inclination of every lane from BT, BR
/// and the east component, in the geodetic frame of the place.
template <std::size_t Lanes>
void setIntensityAndAngles(const GeodeticTerms& place, const LaneField& field, const std::array<double, Lanes>& by,
                           FieldAtTime* out);

/// Declination adjusted for longitude, within a half turn either way, at
/// polar latitudes (from 55 degrees on); kNoGridVariation elsewhere.
float gridVariation(float declination, float latitude, float longitude);

/// Whether a place lies outside a regional model's box.
bool outsideRegion(const RegionBounds& bounds, float latitude, float longitude);

/// The elements at the date and their change over the year that follows,
/// for `count` lanes.
void fieldResults(const FieldAtTime* now, const FieldAtTime* next, std::size_t count, FieldResult* results);

}  // namespace tellurim
