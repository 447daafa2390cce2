#pragma once

#include "engine/FieldResult.h"
#include "files/CsvWriter.h"

#include <string>

namespace tellurim {

/// The header line of a grid file: 19 quoted column names, a comma after
/// the last one, then CR LF.
const std::string& gridCsvHeader();

/// Appends one grid point's line: latitude and longitude (degrees, as used
/// for the calculation) and the 14 field values as "%f", then the quoted
/// validity, grid-variation change and grid-variation texts, a comma after
/// the last one, then CR LF.
void appendGridLine(std::string& out, float latitude, float longitude, const FieldResult& result);

/// The fields of such a line, added to a row that callers may begin with
/// fields of their own; the row is not ended.
void addGridFields(CsvRow& row, float latitude, float longitude, const FieldResult& result);

}  // namespace tellurim
