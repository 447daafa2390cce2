#pragma once

#include "engine/PolePosition.h"
#include "files/ReportLayout.h"
#include "poles/PoleWindow.h"

#include <vector>

namespace tellurim {

/// The six lines of the printed pole report: the notice of the location
/// report, the date (month first) and each pole's latitude and longitude in
/// degrees, minutes, seconds and decimal degrees, with the signs the poles
/// carry.
std::vector<ReportLine> poleReportLines(const PoleDate& date, const MagneticPoles& poles);

}  // namespace tellurim
