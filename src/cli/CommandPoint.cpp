#include "cli/CliAccuracy.h"
#include "cli/CliCommon.h"
#include "cli/CliGridNorth.h"
#include "engine/FieldRow.h"
#include "grid/GridCsv.h"
#include "record/NumberText.h"
#include "record/PointText.h"
#include "record/ResultTexts.h"

#include <string>

namespace tellurim::cli {

namespace {

std::string unitSymbol(const std::string& unit)
{
    return unit == "metre" ? std::string(" m") : " " + unit;
}

// The grid-north lines: the system, the point on it, the convergence and
// scale there, and the grid declination with its annual change (the
// declination's, as the grid does not move).
void appendGridNorth(std::string& out, const CrsOutcome<GridNorth>& grid, const FieldResult& r)
{
    if (!grid.value) {
        appendPointTextLine(out, "Grid north:", grid.problem);
        return;
    }
    const GridNorth& g = *grid.value;
    appendPointTextLine(out, "Grid system:", g.system + " (" + g.systemName + ")");
    std::string place;
    appendFixed(place, g.easting, 3);
    place += unitSymbol(g.unit) + " E   ";
    appendFixed(place, g.northing, 3);
    place += unitSymbol(g.unit) + " N";
    appendPointTextLine(out, "Easting, northing:", place);
    appendPointTextLine(out, "Grid convergence:",
                        formatSingle(static_cast<float>(g.convergence)) +
                            " deg (grid north east of true north positive)");
    std::string scale;
    appendFixed(scale, g.scale, 8);
    appendPointTextLine(out, "Point scale factor:", scale);
    appendPointTextElement(out, "Grid declination:", gridDeclinationOf(g, r), "deg", r.DEC2, "min/yr");
}

// Where the point is: --lat/--lon as given, or the latitude and longitude
// of --easting/--northing in the --crs system. Nothing after a refusal,
// which is then reported.
std::optional<std::pair<double, double>> pointPlace(const CliOptions& options, CliContext& context)
{
    if (const std::string problem = crsProblem(options); !problem.empty()) {
        printError(context.err, problem);
        return std::nullopt;
    }
    if (!options.easting) {
        return std::pair{static_cast<double>(*options.latitude), static_cast<double>(*options.longitude)};
    }
    const auto place = placeOnGrid(*options.crs, *options.easting, *options.northing);
    if (!place.value) {
        printError(context.err, place.problem);
        return std::nullopt;
    }
    return std::pair{place.value->latitude, place.value->longitude};
}

}  // namespace

int runPoint(const CliOptions& given, CliContext& context)
{
    const auto place = pointPlace(given, context);
    if (!place) {
        return kExitUsage;
    }
    CliOptions options = given;
    options.latitude = static_cast<float>(place->first);
    options.longitude = static_cast<float>(place->second);
    const std::shared_ptr<const MagneticModel> model = loadModel(options, context.err);
    if (!model) {
        return kExitFailure;
    }
    const float year = options.decimalYear();
    const float latitude = *options.latitude;
    const float longitude = *options.longitude;
    warnOutsideLifeSpan(*model, year, context.err);
    const FieldResult result = model->point(year, latitude, longitude, options.elevationMetres());
    CrsOutcome<GridNorth> grid = gridNorthAt(options.crs, place->first, place->second);
    if (grid.value && options.easting) {
        // The position as given, not as it comes back from the round trip.
        grid.value->easting = *options.easting;
        grid.value->northing = *options.northing;
    }
    if (!grid.warning.empty()) {
        printError(context.err, "warning: " + grid.warning);
    }

    std::string text;
    if (options.csv) {
        text = gridCsvHeader();
        extendHeader(text, options.with);
        CsvRow row(text);
        addGridFields(row, latitude, longitude, result);
        addExtraFields(row, options.with, publishedAccuracy(model->name()), result, &grid);
        row.end(true);
    } else if (options.json) {
        appendPointJson(text, JsonPoint{latitude, longitude, options.elevationMetres(), year, {}, &grid}, result,
                        modelProvenance(*model, modelName(options)));
    } else {
        const PointDescription point{.model = modelName(options),
                                     .headerName = model->name(),
                                     .latitude = latitude,
                                     .longitude = longitude,
                                     .elevation = options.elevationMetres(),
                                     .decimalYear = year,
                                     .date = options.date,
                                     .validity = std::string(validityText(result.dateOutOfRange,
                                                                          result.coordinatesOutOfRange))};
        text = pointTextBlock(point, result);
        appendGridNorth(text, grid, result);
    }
    return writeOutput(context, text);
}

}  // namespace tellurim::cli
