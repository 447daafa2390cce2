#pragma once

#include "engine/FieldResult.h"
#include "files/CsvWriter.h"

#include <functional>
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

/// Fields a caller adds to every point's line after the grid file's own
/// (before the closing comma), given the point's latitude and longitude
/// (degrees). It may be called on several threads at once, so it must not
/// change anything shared.
using GridLineExtra = std::function<void(CsvRow& row, float latitude, float longitude, const FieldResult& result)>;

/// The same line with the caller's fields added when extra is set.
void appendGridLine(std::string& out, float latitude, float longitude, const FieldResult& result,
                    const GridLineExtra& extra);

/// The fields of such a line, added to a row that callers may begin with
/// fields of their own; the row is not ended.
void addGridFields(CsvRow& row, float latitude, float longitude, const FieldResult& result);

}  // namespace tellurim
