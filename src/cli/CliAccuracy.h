#pragma once

#include "cli/ValueParsing.h"
#include "crs/GridConvergence.h"
#include "engine/FieldResult.h"
#include "files/CsvWriter.h"
#include "record/FieldAccuracy.h"

#include <string>
#include <string_view>
#include <vector>

namespace tellurim {
class MagneticModel;
}

namespace tellurim::cli {

/// The column groups --with may append after a CSV row's own columns.
enum class ExtraColumns { Uncertainty, Zone, Grid };

/// "uncertainty", "zone" and "grid", separated by commas, each at most
/// once; the groups are appended in the order given.
Checked<std::vector<ExtraColumns>> parseExtraColumns(std::string_view text, std::string_view name);

/// Where a result came from: the model file as named, the name in its
/// header, its epoch and the span of dates it is valid for.
struct ModelProvenance {
    std::string fileName;
    std::string headerName;  ///< without the blanks around it
    float epoch = 0.0f;      ///< decimal year
    float validFrom = 0.0f;  ///< decimal year
    float validTo = 0.0f;    ///< decimal year
};
ModelProvenance modelProvenance(const MagneticModel& model, std::string fileName);

/// Adds the names of the extra columns to a whole header row that ends in
/// a comma and CR LF; the row keeps that ending.
void extendHeader(std::string& header, const std::vector<ExtraColumns>& extras);

/// The extra columns of one result of the model with that header name: the
/// uncertainties of F, D, I, H, X, Y, Z (in the grid file's order; "N/A"
/// where no figure is published), the compass zone's name and the point's
/// grid north (grid must be given when the extras hold Grid).
void addExtraFields(CsvRow& row, const std::vector<ExtraColumns>& extras, const PublishedAccuracy* accuracy,
                    const FieldResult& result, const CrsOutcome<GridNorth>* grid);

/// Whether the extras ask for grid north.
bool wantsGrid(const std::vector<ExtraColumns>& extras);

/// One point as a JSON object on a line of its own: where and when, every
/// element with its annual change and uncertainty, the grid variation, the
/// compass zone, the validity, the grid north when given and the model's
/// provenance. pole names a dip pole ("north", "south"); empty for other points.
struct JsonPoint {
    float latitude = 0.0f;   ///< degrees, north positive
    float longitude = 0.0f;  ///< degrees, east positive
    float elevation = 0.0f;  ///< metres
    float year = 0.0f;       ///< decimal year
    std::string_view pole;
    const CrsOutcome<GridNorth>* grid = nullptr;
};
void appendPointJson(std::string& out, const JsonPoint& point, const FieldResult& result,
                     const ModelProvenance& model);

}  // namespace tellurim::cli
