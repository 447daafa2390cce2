#include "cli/CliAccuracy.h"
#include "cli/CliCommon.h"
#include "cli/CliOutput.h"
#include "engine/MagneticModel.h"
#include "grid/FieldSeries.h"
#include "grid/SeriesCsv.h"
#include "record/NumberText.h"
#include "record/ResultTexts.h"

#include <string>

namespace tellurim::cli {

namespace {

/// Output is handed on in pieces of this size, so memory stays the same
/// however many dates a series has.
constexpr std::size_t kSeriesFlushBytes = std::size_t{1} << 16;

void appendRightAligned(std::string& out, std::string_view text, std::size_t width)
{
    if (text.size() < width)
        out.append(width - text.size(), ' ');
    out.append(text);
}

constexpr std::string_view kTableHeader =
    "  Decimal year   Decl (deg)    Incl (deg)    F (nT)      H (nT)      X (nT)      Y (nT)      Z (nT)   Validity\n";

/// One row of the readable table: the date, the angles and the intensities,
/// then the validity text.
void appendTableRow(std::string& out, float year, const FieldResult& r)
{
    appendRightAligned(out, formatSingle(year), 14);
    const float values[] = {r.DEC, r.DIP, r.TI, r.BH, r.BX, r.BY, r.BZ};
    std::size_t column = 0;
    for (const float value : values)
        appendRightAligned(out, formatSingle(value), column++ < 2 ? 13 : 12);
    out.append("   ");
    out.append(validityText(r.dateOutOfRange, r.coordinatesOutOfRange));
    out.push_back('\n');
}

}  // namespace

int runSeries(const CliOptions& options, CliContext& context)
{
    const SeriesDates dates{*options.from, *options.to, *options.step};
    if (const std::string problem = dates.problem(); !problem.empty()) {
        printError(context.err, problem);
        return kExitUsage;
    }
    const std::shared_ptr<const MagneticModel> loaded = loadModel(options, context.err);
    if (!loaded) {
        return kExitFailure;
    }
    const float elevation = options.elevationMetres();
    const float latitude = *options.latitude;
    const float longitude = *options.longitude;
    const FieldSeries series(*loaded, elevation, latitude, longitude);
    const ModelProvenance model = modelProvenance(*loaded, modelName(options));

    StreamTarget target(context.out);
    std::string pending;
    if (options.csv) {
        appendSeriesHeader(pending);
    } else if (!options.json) {
        pending.append("Model: ").append(model.headerName).append("   latitude ").append(formatSingle(latitude));
        pending.append(" deg, longitude ").append(formatSingle(longitude)).append(" deg, elevation ");
        pending.append(formatSingle(elevation)).append(" m\n");
        pending.append(kTableHeader);
    }
    const std::uint64_t count = dates.count();
    for (std::uint64_t i = 0; i < count; ++i) {
        const float year = dates.at(i);
        const FieldResult result = series.at(year);
        if (options.csv) {
            appendSeriesLine(pending, year, elevation, latitude, longitude, result);
        } else if (options.json) {
            appendPointJson(pending, JsonPoint{latitude, longitude, elevation, year, {}}, result, model);
        } else {
            appendTableRow(pending, year, result);
        }
        if (pending.size() >= kSeriesFlushBytes) {
            if (auto error = target.write(pending)) {
                return reportWriteError(context, *error);
            }
            pending.clear();
        }
    }
    if (auto error = target.write(pending)) {
        return reportWriteError(context, *error);
    }
    if (auto error = target.finish()) {
        return reportWriteError(context, *error);
    }
    return kExitOk;
}

}  // namespace tellurim::cli
