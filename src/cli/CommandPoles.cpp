#include "cli/CliAccuracy.h"
#include "cli/CliCommon.h"
#include "engine/FieldRow.h"
#include "engine/PoleFinder.h"
#include "files/CsvWriter.h"
#include "poles/PoleCsv.h"
#include "record/Conversions.h"
#include "record/NumberText.h"

namespace tellurim::cli {

namespace {

// "85.1234 (85 deg 7 min 24.24 sec)": decimal degrees and their parts, as
// the pole report prints them.
void appendAngle(std::string& out, float decimal, int32_t degrees, int32_t minutes, float seconds)
{
    appendFixed(out, static_cast<double>(decimal), 4);
    out.append(" deg  (");
    out.append(std::to_string(degrees));
    out.append(" deg ");
    out.append(std::to_string(minutes));
    out.append(" min ");
    appendFixed(out, static_cast<double>(seconds), 2);
    out.append(" sec)");
}

void appendPole(std::string& out, std::string_view name, const PolePosition& pole)
{
    out.append(name);
    out.append(" latitude:   ");
    appendAngle(out, pole.decimalLatitude, pole.latitudeDegrees, pole.latitudeMinutes, pole.latitudeSeconds);
    out.append("\n");
    out.append(name);
    out.append(" longitude:  ");
    appendAngle(out, pole.decimalLongitude, pole.longitudeDegrees, pole.longitudeMinutes, pole.longitudeSeconds);
    out.append("\n");
}

// Each pole as a point of its own: the field there at sea level, where the
// finder looked for it.
std::string polesJson(const MagneticModel& magneticModel, const CliOptions& options, float year,
                      const MagneticPoles& poles)
{
    const ModelProvenance model = modelProvenance(magneticModel, modelName(options));
    std::string text;
    for (const auto& [name, pole] : {std::pair{"north", poles.north}, std::pair{"south", poles.south}}) {
        const FieldResult result = magneticModel.point(year, pole.decimalLatitude, pole.decimalLongitude, 0.0f);
        appendPointJson(text, JsonPoint{pole.decimalLatitude, pole.decimalLongitude, 0.0f, year, name}, result,
                        model);
    }
    return text;
}

}  // namespace

int runPoles(const CliOptions& options, CliContext& context)
{
    const std::shared_ptr<const MagneticModel> model = loadModel(options, context.err);
    if (!model) {
        return kExitFailure;
    }
    const float year = options.decimalYear();
    warnOutsideLifeSpan(*model, year, context.err);
    const MagneticPoles poles = findMagneticPoles(*model, year);

    std::string text;
    if (options.csv) {
        // The calendar date of a decimal year is its nearest day.
        const CalendarDate date = options.date ? *options.date : decimalYearToDate(year, 1, 1);
        text = poleCsvHeader();
        text += poleCsvRow(date.day, date.month, date.year, year, poles);
    } else if (options.json) {
        text = polesJson(*model, options, year, poles);
    } else {
        text = "Model:      " + modelName(options) + "\n";
        // The decimal year the poles were found for, every digit it has.
        text += "Date:       " + formatShortestFixed(year) + " (decimal year)\n\n";
        appendPole(text, "North pole", poles.north);
        appendPole(text, "South pole", poles.south);
    }
    return writeOutput(context, text);
}

}  // namespace tellurim::cli
