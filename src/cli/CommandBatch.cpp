#include "cli/CliAccuracy.h"
#include "cli/CliCommon.h"
#include "cli/CliGridNorth.h"
#include "cli/CliOutput.h"
#include "engine/FieldRow.h"
#include "files/CsvWriter.h"
#include "grid/GridCsv.h"

#include <array>
#include <istream>
#include <limits>
#include <optional>
#include <string>

namespace tellurim::cli {

namespace {

// Output is handed on in blocks of about this size, never line by line.
constexpr size_t kFlushBytes = size_t{1} << 20;
// No point needs a longer line; the rest of a longer one is skipped unread.
constexpr size_t kMaxBatchLineBytes = 4096;

struct BatchPoint {
    double latitude = 0.0;   ///< degrees; a single unless it came from a grid position
    double longitude = 0.0;  ///< degrees
    float elevation = 0.0f;
    float year = 0.0f;
};

bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == ',' || c == '\r';
}

// Splits a line at runs of blanks and commas; up to five fields are kept,
// which is enough to tell that there are too many.
size_t splitFields(std::string_view line, std::array<std::string_view, 5>& fields)
{
    size_t count = 0;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isSeparator(line[at])) {
            ++at;
        }
        if (at == line.size()) {
            break;
        }
        const size_t start = at;
        while (at < line.size() && !isSeparator(line[at])) {
            ++at;
        }
        if (count == fields.size()) {
            return count + 1;
        }
        fields[count++] = line.substr(start, at - start);
    }
    return count;
}

// The place of a line: LAT LON, or EASTING NORTHING in the --crs system.
Checked<std::pair<double, double>> parsePlace(std::string_view first, std::string_view second,
                                              const CliOptions& options)
{
    using Result = Checked<std::pair<double, double>>;
    if (options.crs) {
        const auto easting = parseGridCoordinate(first, "easting");
        const auto northing = parseGridCoordinate(second, "northing");
        if (!easting || !northing) {
            return Result::fail(!easting ? easting.error : northing.error);
        }
        auto place = placeOnGrid(*options.crs, *easting.value, *northing.value);
        if (!place.value) {
            return Result::fail(std::move(place.problem));
        }
        return Result::ok({place.value->latitude, place.value->longitude});
    }
    const auto latitude = parseCoordinate(first, "latitude", Axis::Latitude);
    const auto longitude = parseCoordinate(second, "longitude", Axis::Longitude);
    if (!latitude || !longitude) {
        return Result::fail(!latitude ? latitude.error : longitude.error);
    }
    return Result::ok({static_cast<double>(*latitude.value), static_cast<double>(*longitude.value)});
}

// Reads one input line: the point, or why the line was refused.
Checked<BatchPoint> parseBatchLine(std::string_view line, const CliOptions& options)
{
    std::array<std::string_view, 5> fields;
    const size_t count = splitFields(line, fields);
    if (count < 2 || count > 4) {
        return Checked<BatchPoint>::fail(std::string(options.crs ? "expected EASTING NORTHING" : "expected LAT LON") +
                                         " [ELEVATION_M [DECIMAL_YEAR]], got " + std::to_string(count) +
                                         (count == 1 ? " value" : " values"));
    }
    const auto place = parsePlace(fields[0], fields[1], options);
    const auto elevation = count >= 3 ? parseBoundedReal(fields[2], "elevation", kMinElevation, kMaxElevation)
                                      : Checked<float>::ok(options.elevationMetres());
    const auto year = count == 4 ? parseBoundedReal(fields[3], "decimal year", kMinYear, kMaxYear)
                      : options.hasDate()
                          ? Checked<float>::ok(options.decimalYear())
                          : Checked<float>::fail("no decimal year on the line and no --date or --year option");
    // The first refusal in the order of the fields is the one reported.
    if (!place) {
        return Checked<BatchPoint>::fail(place.error);
    }
    for (const Checked<float>* part : {&elevation, &year}) {
        if (!*part) {
            return Checked<BatchPoint>::fail(part->error);
        }
    }
    return Checked<BatchPoint>::ok(
        BatchPoint{place.value->first, place.value->second, *elevation.value, *year.value});
}

enum class InputLine { Line, TooLong, End };

// Input lines without their line breaks, keeping at most the longest line
// allowed (and a carriage return after it) in memory. The rest of a line
// that is too long is skipped only when the next line is asked for, so that
// the refusal can be told first.
class InputLines {
public:
    explicit InputLines(std::istream& in) : m_in(in) {}

    InputLine next(std::string& line)
    {
        if (m_skipRest) {
            m_in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
            m_skipRest = false;
        }
        std::array<char, kMaxBatchLineBytes + 2> buffer{};
        m_in.getline(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        if (m_in.fail() && !m_in.bad() && !m_in.eof()) {
            // The buffer filled up before the line ended.
            m_in.clear();
            m_skipRest = true;
            return InputLine::TooLong;
        }
        if (m_in.gcount() == 0 && m_in.fail()) {
            return InputLine::End;
        }
        line.assign(buffer.data());
        if (line.size() > kMaxBatchLineBytes && line.back() != '\r') {
            return InputLine::TooLong;
        }
        return InputLine::Line;
    }

private:
    std::istream& m_in;
    bool m_skipRest = false;
};

bool skipped(std::string_view line)
{
    const size_t first = line.find_first_not_of(" \t\r");
    return first == std::string_view::npos || line[first] == '#';
}

// The batch header: two columns of its own, the grid file's, then the
// columns --with asks for, before the grid header's closing comma.
void appendBatchHeader(std::string& out, const std::vector<ExtraColumns>& extras)
{
    CsvRow(out).text("Julian Date").text("Elevation (m)");
    out.push_back(',');
    out += gridCsvHeader();
    extendHeader(out, extras);
}

Checked<BatchPoint> tooLong()
{
    return Checked<BatchPoint>::fail("longer than " + std::to_string(kMaxBatchLineBytes) + " bytes");
}

// What each output line is written with.
struct BatchOutput {
    const CliOptions& options;
    const ModelProvenance& model;
    const PublishedAccuracy* accuracy;
};

// One output line: a JSON object, or the CSV row with any --with columns.
void appendBatchPoint(std::string& out, const BatchPoint& point, const FieldResult& result, const BatchOutput& with)
{
    const auto latitude = static_cast<float>(point.latitude);
    const auto longitude = static_cast<float>(point.longitude);
    std::optional<CrsOutcome<GridNorth>> grid;
    if (with.options.json || wantsGrid(with.options.with)) {
        grid = gridNorthAt(with.options.crs, point.latitude, point.longitude);
    }
    if (with.options.json) {
        appendPointJson(out, JsonPoint{latitude, longitude, point.elevation, point.year, {}, &*grid}, result,
                        with.model);
        return;
    }
    CsvRow row(out);
    row.number(point.year).number(point.elevation);
    addGridFields(row, latitude, longitude, result);
    addExtraFields(row, with.options.with, with.accuracy, result, grid ? &*grid : nullptr);
    row.end(true);
}

// A position given on an explicit --crs grid but outside the system's
// area of use is computed all the same, with a warning.
void warnOutsideArea(CliContext& context, const CliOptions& options, const BatchPoint& point, uint64_t lineNumber)
{
    if (!options.crs) {
        return;
    }
    const CrsOutcome<GridNorth> grid = gridNorthAt(options.crs, point.latitude, point.longitude);
    if (!grid.warning.empty()) {
        context.err << kProgramName << ": line " << lineNumber << ": warning: " << grid.warning << '\n';
    }
}

}  // namespace

int runBatch(const CliOptions& options, CliContext& context)
{
    if (const std::string problem = crsProblem(options); !problem.empty()) {
        printError(context.err, problem);
        return kExitUsage;
    }
    const std::shared_ptr<const MagneticModel> magneticModel = loadModel(options, context.err);
    if (!magneticModel) {
        return kExitFailure;
    }
    StreamTarget target(context.out);
    std::string pending;
    if (!options.json) {
        appendBatchHeader(pending, options.with);
    }
    const ModelProvenance model = modelProvenance(*magneticModel, modelName(options));
    const PublishedAccuracy* accuracy = publishedAccuracy(model.headerName);

    bool badLine = false;
    bool warned = false;
    std::string line;
    uint64_t lineNumber = 0;
    InputLines lines(context.in);
    InputLine read = InputLine::End;
    while ((read = lines.next(line)) != InputLine::End) {
        ++lineNumber;
        if (read == InputLine::Line && skipped(line)) {
            continue;
        }
        const Checked<BatchPoint> parsed = read == InputLine::TooLong ? tooLong() : parseBatchLine(line, options);
        if (!parsed) {
            badLine = true;
            context.err << kProgramName << ": line " << lineNumber << ": " << parsed.error << '\n';
            continue;
        }
        const BatchPoint& point = *parsed.value;
        if (!warned) {
            // Once, at the first point, as the date of the first line decides.
            warnOutsideLifeSpan(*magneticModel, point.year, context.err);
            warned = true;
        }
        const FieldResult result = magneticModel->point(point.year, static_cast<float>(point.latitude),
                                                        static_cast<float>(point.longitude), point.elevation);
        appendBatchPoint(pending, point, result, BatchOutput{options, model, accuracy});
        warnOutsideArea(context, options, point, lineNumber);
        if (pending.size() >= kFlushBytes) {
            if (auto error = target.write(pending)) {
                return reportWriteError(context, *error);
            }
            pending.clear();
        }
    }
    if (context.in.bad()) {
        printError(context.err, "reading standard input failed");
        badLine = true;
    }
    if (auto error = target.write(pending)) {
        return reportWriteError(context, *error);
    }
    if (auto error = target.finish()) {
        return reportWriteError(context, *error);
    }
    return badLine ? kExitFailure : kExitOk;
}

}  // namespace tellurim::cli
