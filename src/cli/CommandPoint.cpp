#include "cli/CliAccuracy.h"
#include "cli/CliCommon.h"
#include "cli/CliGridNorth.h"
#include "engine/ModelEngine.h"
#include "grid/GridCsv.h"
#include "record/NumberText.h"
#include "record/ResultTexts.h"

#include <string>

namespace tellurim::cli {

namespace {

void appendPadded(std::string& out, std::string_view text, size_t width)
{
    out.append(text);
    if (text.size() < width) {
        out.append(width - text.size(), ' ');
    }
}

void appendRightAligned(std::string& out, std::string_view text, size_t width)
{
    if (text.size() < width) {
        out.append(width - text.size(), ' ');
    }
    out.append(text);
}

// One result line: label, value and unit, then its annual change and unit.
void appendElement(std::string& out, std::string_view label, float value, std::string_view unit, float change,
                   std::string_view changeUnit)
{
    appendPadded(out, label, 24);
    appendRightAligned(out, formatSingle(value), 10);
    out.push_back(' ');
    appendPadded(out, unit, 5);
    out.append("   change ");
    appendRightAligned(out, formatSingle(change), 10);
    out.push_back(' ');
    out.append(changeUnit);
    out.push_back('\n');
}

void appendLine(std::string& out, std::string_view label, std::string_view value)
{
    appendPadded(out, label, 24);
    out.append(value);
    out.push_back('\n');
}

std::string dateText(const CliOptions& options, float decimalYear)
{
    std::string text;
    if (options.date) {
        text = std::to_string(options.date->year) + '-' + (options.date->month < 10 ? "0" : "") +
               std::to_string(options.date->month) + '-' + (options.date->day < 10 ? "0" : "") +
               std::to_string(options.date->day) + " (decimal year " + formatSingle(decimalYear) + ")";
    } else {
        text = formatSingle(decimalYear) + " (decimal year)";
    }
    return text;
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

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
        appendLine(out, "Grid north:", grid.problem);
        return;
    }
    const GridNorth& g = *grid.value;
    appendLine(out, "Grid system:", g.system + " (" + g.systemName + ")");
    std::string place;
    appendFixed(place, g.easting, 3);
    place += unitSymbol(g.unit) + " E   ";
    appendFixed(place, g.northing, 3);
    place += unitSymbol(g.unit) + " N";
    appendLine(out, "Easting, northing:", place);
    appendLine(out, "Grid convergence:",
               formatSingle(static_cast<float>(g.convergence)) + " deg (grid north east of true north positive)");
    std::string scale;
    appendFixed(scale, g.scale, 8);
    appendLine(out, "Point scale factor:", scale);
    appendElement(out, "Grid declination:", gridDeclinationOf(g, r), "deg", r.DEC2, "min/yr");
}

/// The readable block of one point: the inputs, then the values and units
/// the main window shows, with the validity and the grid variation texts,
/// then the point on its map grid.
std::string pointBlock(const CliOptions& options, float decimalYear, const FieldResult& r,
                       std::string_view headerName, const CrsOutcome<GridNorth>& gridNorth)
{
    std::string out;
    appendLine(out, "Model:", modelName(options));
    appendLine(out, "Latitude:", formatSingle(*options.latitude) + " deg (north positive)");
    appendLine(out, "Longitude:", formatSingle(*options.longitude) + " deg (east positive)");
    appendLine(out, "Elevation:", formatSingle(options.elevationMetres()) + " m");
    appendLine(out, "Date:", dateText(options, decimalYear));
    appendLine(out, "Validity:", validityText(r.dateOutOfRange, r.coordinatesOutOfRange));
    out.push_back('\n');
    appendElement(out, "Incident Field (F):", r.TI, "nT", r.TI2, "nT/yr");
    appendElement(out, "Dip/Inclination (I):", r.DIP, "deg", r.DIP2, "min/yr");
    appendElement(out, "Declination (D):", r.DEC, "deg", r.DEC2, "min/yr");
    appendElement(out, "North field (X):", r.BX, "nT", r.BX2, "nT/yr");
    appendElement(out, "East field (Y):", r.BY, "nT", r.BY2, "nT/yr");
    appendElement(out, "Vertical field (Z):", r.BZ, "nT", r.BZ2, "nT/yr");
    appendElement(out, "Horizontal field (H):", r.BH, "nT", r.BH2, "nT/yr");
    const GridVariationTexts grid = gridVariationTexts(r);
    if (hasGridVariation(r)) {
        appendLine(out, "Polar Grid Variation:",
                   trimmed(grid.CPOLAR1) + " deg   change " + trimmed(grid.CPOLAR2) + " min/yr");
    } else {
        appendLine(out, "Polar Grid Variation:", "N/A   change N/A (valid only for polar latitudes)");
    }
    appendLine(out, "Uncertainty (1 sigma):", uncertaintyText(fieldUncertainty(headerName, r)));
    appendLine(out, "Compass zone:", compassZoneText(compassZone(r.BH)));
    appendGridNorth(out, gridNorth, r);
    return out;
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
    StreamMessageSink sink(context.err);
    ModelEngine engine(sink);
    if (!loadModel(engine, options, context.err)) {
        return kExitFailure;
    }
    const float year = options.decimalYear();
    const float latitude = *options.latitude;
    const float longitude = *options.longitude;
    // Signed coordinates, so neither selector negates anything.
    const FieldResult result = engine.computePoint(options.elevationMetres(), latitude, longitude, year);
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
        addExtraFields(row, options.with, publishedAccuracy(engine.modelName()), result, &grid);
        row.end(true);
    } else if (options.json) {
        appendPointJson(text, JsonPoint{latitude, longitude, options.elevationMetres(), year, {}, &grid}, result,
                        modelProvenance(engine, modelName(options)));
    } else {
        text = pointBlock(options, year, result, engine.modelName(), grid);
    }
    return writeOutput(context, text);
}

}  // namespace tellurim::cli
