#pragma once

#include "engine/MagneticModel.h"
#include "engine/PolePosition.h"

namespace tellurim {

/// Splits a pole's decimal position into degrees, minutes and seconds, each
/// truncated toward zero and carrying the sign of the decimal value. Latitude
/// seconds are kept as computed; longitude seconds are rounded to a tenth
/// (halves away from zero) and may read 60.0, with no carry into the minutes.
/// @param latitude  degrees, north positive
/// @param longitude degrees, east positive; not brought into -180..180
PolePosition polePositionFromDecimal(float latitude, float longitude);

/// The north and south dip poles: where the horizontal intensity at
/// elevation 0 is smallest, north of 51 and south of 50 degrees.
/// @param date decimal year
MagneticPoles findMagneticPoles(const MagneticModel& model, float date);

}  // namespace tellurim
