#include "cli/CliGridNorth.h"

#include "cli/CliOptions.h"
#include "files/JsonWriter.h"

namespace tellurim::cli {

namespace {

// PROJ contexts are not shared between threads: a grid's workers each
// get their own, made on first use and kept for the thread's life.
GridConvergence& threadGrids()
{
    thread_local GridConvergence grids;
    return grids;
}

constexpr int kMetreDecimals = 3;  // easting and northing to the millimetre
constexpr int kScaleDecimals = 8;

}  // namespace

CrsOutcome<GridNorth> gridNorthAt(const std::optional<std::string>& crs, double latitude, double longitude)
{
    return threadGrids().at(crs.value_or(std::string()), latitude, longitude);
}

CrsOutcome<GridInverse> placeOnGrid(const std::string& crs, double easting, double northing)
{
    return threadGrids().fromGrid(crs, easting, northing);
}

std::string crsProblem(const CliOptions& options)
{
    return options.crs ? threadGrids().problemOf(*options.crs) : std::string();
}

float gridDeclinationOf(const GridNorth& grid, const FieldResult& result)
{
    return static_cast<float>(gridDeclination(static_cast<double>(result.DEC), grid.convergence));
}

void addGridNorthHeader(CsvRow& row)
{
    row.text("Grid system").text("Easting").text("Northing").text("Grid convergence").text("Point scale factor");
    row.text("Grid declination").text("Grid declination variation");
}

void addGridNorthFields(CsvRow& row, const CrsOutcome<GridNorth>& grid, const FieldResult& result)
{
    if (!grid.value) {
        row.text("N/A");
        for (int i = 0; i < 6; ++i) {
            row.text("N/A");
        }
        return;
    }
    const GridNorth& g = *grid.value;
    row.text(g.system).fixed(g.easting, kMetreDecimals).fixed(g.northing, kMetreDecimals);
    row.number(static_cast<float>(g.convergence)).fixed(g.scale, kScaleDecimals);
    row.number(gridDeclinationOf(g, result)).number(result.DEC2);
}

void writeGridNorthJson(JsonWriter& json, const CrsOutcome<GridNorth>& grid, const FieldResult& result)
{
    json.key("grid").beginObject();
    if (!grid.value) {
        json.key("problem").text(grid.problem);
        json.endObject();
        return;
    }
    const GridNorth& g = *grid.value;
    json.key("system").text(g.system).key("system_name").text(g.systemName).key("unit").text(g.unit);
    json.key("easting").number(g.easting, kMetreDecimals).key("northing").number(g.northing, kMetreDecimals);
    json.key("convergence").number(static_cast<float>(g.convergence));
    json.key("convergence_positive").text("grid north east of true north");
    json.key("scale_factor").number(g.scale, kScaleDecimals);
    json.key("grid_declination").beginObject();
    json.key("value").number(gridDeclinationOf(g, result)).key("unit").text("deg");
    json.key("annual_change").number(result.DEC2).key("annual_change_unit").text("min/yr");
    json.endObject();
    json.key("warning");
    if (grid.warning.empty()) {
        json.null();
    } else {
        json.text(grid.warning);
    }
    json.endObject();
}

}  // namespace tellurim::cli
