#pragma once

#include "engine/PolePosition.h"

#include <cstdint>
#include <string>

namespace tellurim {

/// The header line of the pole export file: 20 quoted column names with no
/// comma after the last one, then CR LF (443 characters counting the line
/// break once, 444 bytes).
const std::string& poleCsvHeader();

/// One value line of the pole export file: day, month, year, the decimal
/// year, then each pole's latitude and longitude as decimal degrees, whole
/// degrees, whole minutes and seconds, with the signs the poles carry. Every
/// field is followed by a comma, the last one too, then CR LF.
std::string poleCsvRow(int32_t day, int32_t month, int32_t year, float decimalDate,
                       const MagneticPoles& poles);

}  // namespace tellurim
