#pragma once

#include "engine/FieldResult.h"
#include "record/ResultTexts.h"
#include "record/LocationRecord.h"

#include <string>

namespace tellurim {

/// The header row of the location export file: 35 quoted column names, a
/// comma after the last one, then CR LF (377 characters counting the line
/// break once, 378 bytes).
const std::string& locationExportHeader();

/// One value row of the location export file for the current location and
/// its results: 35 columns, a comma after the last one, then CR LF. The
/// decimal latitude and longitude keep the record's magnitudes; the
/// hemisphere columns carry "NORTH"/"SOUTH" and "EAST"/"WEST". Texts are
/// written whole, with inner double quotes doubled.
std::string locationExportRow(const LocationRecord& record, const FieldResult& results,
                              const ResultTexts& texts);

}  // namespace tellurim
