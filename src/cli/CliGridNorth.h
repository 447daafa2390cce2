#pragma once

#include "crs/GridConvergence.h"
#include "engine/FieldResult.h"
#include "files/CsvWriter.h"

#include <optional>
#include <string>

namespace tellurim {
class JsonWriter;
}

namespace tellurim::cli {

struct CliOptions;

/// Grid north of one point in the --crs system (each point's UTM zone
/// without one), computed with the calling thread's own PROJ context.
/// latitude and longitude in degrees (WGS 84).
CrsOutcome<GridNorth> gridNorthAt(const std::optional<std::string>& crs, double latitude, double longitude);

/// Latitude and longitude of an easting and northing in the --crs system.
CrsOutcome<GridInverse> placeOnGrid(const std::string& crs, double easting, double northing);

/// Why the --crs system cannot be used; empty when it can or none is given.
std::string crsProblem(const CliOptions& options);

/// The names of the grid-north columns --with grid appends.
void addGridNorthHeader(CsvRow& row);
/// The grid-north columns of one point: system, easting, northing,
/// convergence, scale, grid declination and its annual change ("N/A" but
/// the system where the point cannot be placed on the grid).
void addGridNorthFields(CsvRow& row, const CrsOutcome<GridNorth>& grid, const FieldResult& result);

/// The "grid" member of a point's JSON object.
void writeGridNorthJson(JsonWriter& json, const CrsOutcome<GridNorth>& grid, const FieldResult& result);

/// The grid declination of a result, degrees, rounded to single like the
/// declination it comes from.
float gridDeclinationOf(const GridNorth& grid, const FieldResult& result);

}  // namespace tellurim::cli
